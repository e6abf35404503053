#include "digitdisplay.h"

#include <QFontMetricsF>
#include <QtMath>

namespace {

constexpr int kPadding = 3;

// Every character a value's text can hold.
const QString kValueCharacters = QStringLiteral(" +-.0123456789E");

} // namespace

DigitDisplay::DigitDisplay(int width, QWidget *parent) : QLabel(parent), width_(width)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setTextFormat(Qt::PlainText);
    setAutoFillBackground(true);
    colour();
    setContentsMargins(kPadding, 0, kPadding, 0);
}

void DigitDisplay::setMark(const QString &reason)
{
    if (reason == mark_)
        return;
    mark_ = reason;
    setToolTip(reason);
    colour();
}

void DigitDisplay::colour()
{
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(16, 32, 16));
    colours.setColor(QPalette::WindowText, mark_.isEmpty() ? QColor(120, 255, 120) : QColor(255, 190, 0));
    setPalette(colours);
}

// The widest character of a value times the longest text: whatever the
// font, even one that is not truly fixed-pitch, no text of that length is cut.
QSize DigitDisplay::minimumSizeHint() const
{
    const QFontMetricsF metrics(font());
    qreal widest = 0;
    for (QChar c : kValueCharacters)
        widest = qMax(widest, metrics.horizontalAdvance(c));
    const int frame = 2 * frameWidth();
    return {qCeil(width_ * widest) + frame + 2 * kPadding + 2, qCeil(metrics.height()) + frame + 2};
}

QSize DigitDisplay::sizeHint() const
{
    return minimumSizeHint();
}
