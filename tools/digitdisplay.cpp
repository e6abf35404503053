#include "digitdisplay.h"

#include <QFontDatabase>

DigitDisplay::DigitDisplay(int width, QWidget *parent) : QLabel(parent)
{
    // Every character of a fixed font is as wide as a digit, so the widest
    // text of `width` characters fits whatever its signs and exponent.
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setTextFormat(Qt::PlainText);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(16, 32, 16));
    colours.setColor(QPalette::WindowText, QColor(120, 255, 120));
    setPalette(colours);
    const int margins = 2 * frameWidth() + 2 * 3;
    setMinimumWidth(fontMetrics().horizontalAdvance(QString(width, QLatin1Char('8'))) + margins);
    setMinimumHeight(fontMetrics().height() + margins);
    setContentsMargins(3, 0, 3, 0);
}
