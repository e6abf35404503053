#pragma once

#include <QLabel>

// A numeric display that shows the whole text it is given. It is made wide
// enough for the longest text its values can have (a counter's " 2147483647",
// a rate's " 1.234568E+07"), so no digit is ever cut, and it measures that
// text in the font it has now: a larger or wider fixed font, or a change of
// font while it is shown, grows it instead of cutting it.
//
// Its font is the application's font for the class "DigitDisplay": the
// program sets the system's fixed-pitch font there at start-up.
class DigitDisplay : public QLabel {
    Q_OBJECT
public:
    // width: the longest text, in characters, the display must hold.
    explicit DigitDisplay(int width, QWidget *parent = nullptr);

    // Marks the value shown as one to look at twice, with the reason as its
    // tooltip (amber digits); an empty reason takes the mark away.
    void setMark(const QString &reason);
    bool marked() const { return !mark_.isEmpty(); }

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

private:
    void colour();

    int width_;
    QString mark_;
};
