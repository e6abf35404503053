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
// A pasted time is taken the same way. Only a key that changed the text
// counts as the start of an edit (a Backspace at the start deletes nothing).
void TimeBox::keyPressEvent(QKeyEvent *event)
{
    const QString typed = event->text();
    const bool printable = !typed.isEmpty() && typed.at(0).isPrint()
                           && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if ((printable || event->matches(QKeySequence::Paste)) && !typing_ && !lineEdit()->hasSelectedText())
        lineEdit()->selectAll();
    const QString before = lineEdit()->text();
    QAbstractSpinBox::keyPressEvent(event);
    if (lineEdit()->text() != before)
        typing_ = true;
}

// Coming back to a box that shows a time starts a new one; coming back to
// fix a time half typed (red) goes on with it.
void TimeBox::focusInEvent(QFocusEvent *event)
{
    typing_ = !time().has_value();
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
