#pragma once

#include <QWidget>

// A lamp that is lit or unlit, for the unit's inputs, outputs and flags.
class Led : public QWidget {
    Q_OBJECT
public:
    explicit Led(QWidget *parent = nullptr);

    bool isLit() const { return lit_; }
    void setLit(bool lit);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool lit_ = false;
};
