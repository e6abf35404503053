#pragma once

#include <QString>

class QLabel;
class QWidget;

// Tells the operator, in a balloon under the box, why a keystroke or a paste
// was refused. Unlike a tooltip it stays while the operator goes on typing,
// and goes by itself after a few seconds or when the box loses the focus.
void showBoxNotice(QWidget *box, const QString &text);
// The balloon of the box; null while none was shown.
QLabel *boxNotice(const QWidget *box);
