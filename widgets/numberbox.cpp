#include "numberbox.h"

#include <QApplication>
#include <QLineEdit>
#include <QPalette>

#include "model/texthelpers.h"

bool CheckNumberBox(QLineEdit *box, const QString &kind)
{
    return ShowNumberValid(box, CheckNumberText(box->text(), kind));
}

bool ShowNumberValid(QLineEdit *box, bool valid)
{
    QPalette palette = QApplication::palette(box);
    if (!valid)
        palette.setColor(QPalette::Base, QColor(255, 0, 0));
    if (box->palette().color(QPalette::Base) != palette.color(QPalette::Base))
        box->setPalette(palette);
    return valid;
}
