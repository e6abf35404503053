#pragma once

#include <QLabel>

// A status line of one line: a text too long for the room is cut short with
// "..." in its middle instead of wrapping, so that no status ever moves the
// controls around it, and both what happened (its start) and the port or
// file it names (its end) stay in view. Whoever sets the text puts the whole
// of it in the tooltip.
class StatusLabel : public QLabel {
    Q_OBJECT
public:
    explicit StatusLabel(QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
};
