#include "usermessage.h"

#include <QApplication>

#include "model/product.h"

QMessageBox::StandardButton productMessage(QMessageBox::Icon icon, const QString &text,
                                           QMessageBox::StandardButtons buttons)
{
    QMessageBox box(icon, Product::ProductTitle, text, buttons, QApplication::activeWindow());
    // A question is answered "No" by a stray Enter: nothing happens that was not chosen.
    if (icon == QMessageBox::Question && buttons.testFlag(QMessageBox::No))
        box.setDefaultButton(QMessageBox::No);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}
