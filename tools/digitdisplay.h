#pragma once

#include <QLabel>

// A numeric display that shows the whole text it is given. It is made wide
// enough for the longest text its values can have (a counter's " 2147483647",
// a rate's " 1.234568E+07"), so no digit is ever cut.
class DigitDisplay : public QLabel {
    Q_OBJECT
public:
    // width: the longest text, in characters, the display must hold.
    explicit DigitDisplay(int width, QWidget *parent = nullptr);
};
