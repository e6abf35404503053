#pragma once

#include <QAbstractSpinBox>
#include <QTime>

#include <optional>

// A time of day, 0:00:00 to 23:59:59, shown as "H:MM:SS". The operator types
// a time ("18:30:00" or "18:30") over the shown one: the first character
// typed replaces the whole text, wherever the cursor stands. Or the operator steps the hour,
// minute or second under the cursor with the arrows. A text that is no time
// turns the box red with the reason as its tooltip, stores nothing, and stops
// the save and the upload as a refused number box does (numberBoxFaults).
class TimeBox : public QAbstractSpinBox {
    Q_OBJECT
public:
    // caption: the field's name in messages, a text of the language table.
    explicit TimeBox(const QString &caption, QWidget *parent = nullptr);

    void setCaption(const QString &caption);
    void setTime(QTime time);
    // The time typed or shown; none while the text is no time of day.
    std::optional<QTime> time() const;

    void stepBy(int steps) override;
    // Room for the widest time besides the arrows.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    StepEnabled stepEnabled() const override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;

private:
    // 0 hours, 1 minutes, 2 seconds: the part of the text the cursor is in.
    int sectionAtCursor() const;
    void selectSection(int section);

    bool typing_ = false; // the operator has begun to edit the time shown
};
