#include "numberbox.h"

#include <QApplication>
#include <QLineEdit>
#include <QPalette>

#include "model/texthelpers.h"

bool CheckNumberBox(QLineEdit *box, const QString &kind)
{
    const bool valid = CheckNumberText(box->text(), kind);
    QPalette palette = QApplication::palette(box);
    if (!valid)
        palette.setColor(QPalette::Base, QColor(255, 0, 0));
    if (box->palette().color(QPalette::Base) != palette.color(QPalette::Base))
        box->setPalette(palette);
    return valid;
}
