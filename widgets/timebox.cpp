#include "timebox.h"

#include <QKeyEvent>
#include <QLineEdit>

#include <algorithm>

#include "model/texthelpers.h"
#include "widgets/numberbox.h"

namespace {

constexpr int kSectionSeconds[] = {3600, 60, 1};
constexpr int kLastSecond = 24 * 3600 - 1;

} // namespace

TimeBox::TimeBox(const QString &caption, QWidget *parent) : QAbstractSpinBox(parent)
{
    lineEdit()->setText(TimeText(QTime(0, 0)));
    makeTimeField(lineEdit(), caption);
    // "18:30" typed reads "18:30:00" once the operator is done with it.
    connect(this, &QAbstractSpinBox::editingFinished, this, [this] {
        if (const std::optional<QTime> typed = time())
            setTime(*typed);
    });
}

void TimeBox::setCaption(const QString &caption)
{
    setFieldCaption(lineEdit(), caption);
}

void TimeBox::setTime(QTime time)
{
    lineEdit()->setText(TimeText(time));
    typing_ = false;
}

// A time is typed whole: the first character replaces the time shown, as a
// selection would, so that "18:30" typed before "0:00:00" is not "18:300:00".
void TimeBox::keyPressEvent(QKeyEvent *event)
{
    const QString typed = event->text();
    const bool printable = !typed.isEmpty() && typed.at(0).isPrint()
                           && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (printable && !typing_ && !lineEdit()->hasSelectedText())
        lineEdit()->selectAll();
    if (printable || event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete)
        typing_ = true;
    QAbstractSpinBox::keyPressEvent(event);
}

void TimeBox::focusInEvent(QFocusEvent *event)
{
    typing_ = false;
    QAbstractSpinBox::focusInEvent(event);
}

std::optional<QTime> TimeBox::time() const
{
    return TimeFromText(text());
}

void TimeBox::stepBy(int steps)
{
    const std::optional<QTime> shown = time();
    if (!shown)
        return;
    const int section = sectionAtCursor();
    const int seconds = std::clamp(shown->msecsSinceStartOfDay() / 1000 + steps * kSectionSeconds[section], 0,
                                   kLastSecond);
    setTime(QTime::fromMSecsSinceStartOfDay(seconds * 1000));
    selectSection(section);
}

QSize TimeBox::sizeHint() const
{
    QSize hint = QAbstractSpinBox::sizeHint();
    hint.rwidth() += fontMetrics().horizontalAdvance(QStringLiteral("23:59:59"));
    return hint;
}

QAbstractSpinBox::StepEnabled TimeBox::stepEnabled() const
{
    const std::optional<QTime> shown = time();
    if (!shown)
        return StepNone;
    StepEnabled enabled = StepNone;
    if (*shown > QTime(0, 0))
        enabled |= StepDownEnabled;
    if (*shown < QTime(23, 59, 59))
        enabled |= StepUpEnabled;
    return enabled;
}

int TimeBox::sectionAtCursor() const
{
    const QString before = text().left(lineEdit()->cursorPosition());
    return std::min(int(before.count(u':')), 2);
}

void TimeBox::selectSection(int section)
{
    const QStringList parts = text().split(u':');
    int start = 0;
    for (int i = 0; i < section; ++i)
        start += int(parts.at(i).size()) + 1;
    lineEdit()->setSelection(start, int(parts.at(section).size()));
}
