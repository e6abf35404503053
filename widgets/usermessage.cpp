#include "usermessage.h"

#include <QApplication>

#include "model/product.h"

QMessageBox::StandardButton productMessage(QMessageBox::Icon icon, const QString &text,
                                           QMessageBox::StandardButtons buttons)
{
    QMessageBox box(icon, Product::ProductTitle, text, buttons, QApplication::activeWindow());
    return static_cast<QMessageBox::StandardButton>(box.exec());
}
