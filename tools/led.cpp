#include "led.h"

#include <QPainter>

namespace {

constexpr int kDiameter = 14;

} // namespace

Led::Led(QWidget *parent) : QWidget(parent)
{
    setFixedSize(sizeHint());
}

void Led::setLit(bool lit)
{
    if (lit_ == lit)
        return;
    lit_ = lit;
    update();
}

QSize Led::sizeHint() const
{
    return {kDiameter, kDiameter};
}

void Led::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF lamp = QRectF(rect()).adjusted(1, 1, -1, -1);
    QRadialGradient glow(lamp.center() - QPointF(2, 2), lamp.width() / 2);
    const QColor colour = lit_ ? QColor(40, 220, 40) : QColor(30, 70, 30);
    glow.setColorAt(0, colour.lighter(160));
    glow.setColorAt(1, colour);
    painter.setPen(QPen(QColor(20, 20, 20), 1));
    painter.setBrush(glow);
    painter.drawEllipse(lamp);
}
