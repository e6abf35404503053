#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>

// How a window tells the operator something or asks a question: the text
// (already translated), the icon and the buttons; the answer is the button
// pressed. Windows hold one so that tests can answer without a modal box.
using UserMessage = std::function<QMessageBox::StandardButton(
    QMessageBox::Icon icon, const QString &text, QMessageBox::StandardButtons buttons)>;

// The program's message box: modal, with the product title as its caption.
QMessageBox::StandardButton productMessage(QMessageBox::Icon icon, const QString &text,
                                           QMessageBox::StandardButtons buttons = QMessageBox::Ok);
