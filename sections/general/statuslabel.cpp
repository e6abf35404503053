#include "statuslabel.h"

#include <QPainter>
#include <QStyle>

StatusLabel::StatusLabel(QWidget *parent) : QLabel(parent)
{
    // The layout gives the width; the text never asks for more.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

QSize StatusLabel::sizeHint() const
{
    const QMargins margins = contentsMargins();
    return {fontMetrics().averageCharWidth() * 10 + margins.left() + margins.right(),
            fontMetrics().height() + margins.top() + margins.bottom()};
}

QSize StatusLabel::minimumSizeHint() const
{
    return sizeHint();
}

void StatusLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect room = contentsRect();
    const QString line = text().simplified();
    style()->drawItemText(&painter, room, int(alignment()), palette(), isEnabled(),
                          fontMetrics().elidedText(line, Qt::ElideMiddle, room.width()), foregroundRole());
}
