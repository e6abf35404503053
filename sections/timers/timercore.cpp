#include "timercore.h"

#include <array>
#include <charconv>
#include <cmath>

#include "files/inidocument.h"
#include "files/langtable.h"
#include "model/configstore.h"
#include "model/texthelpers.h"
#include "sections/common/downloadline.h"
#include "sections/common/fieldtext.h"
#include "sections/common/uploadline.h"

namespace {

constexpr int kFirstNumberField = 3; // after the keyword and the index
constexpr qint32 kEndOfDay = 86399;  // the unit's "whole day" stop
constexpr int kFieldCount = int(TimerField::Actions) + 1;

template <typename T> void setIf(T &field, std::optional<T> value)
{
    if (value)
        field = *value;
}

QString actionKey(int slot)
{
    return QStringLiteral("ACT(") + NumStr(slot) + QLatin1Char(')');
}

qint32 secondsOfDay(QTime time)
{
    return time.isValid() ? time.msecsSinceStartOfDay() / 1000 : 0;
}

// The shortest text that reads back as the same float.
QString floatText(float value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

// ---- Text of one field in the upload line, the file and the unit's line ----

QString uploadText(const TimerValues &v, TimerField field)
{
    switch (field) {
    case TimerField::Seconds:
        return NumStr(v.Seconds);
    case TimerField::Days:
        return NumStr(qint64(v.Days) * LongTimer::kSecondsPerDay);
    case TimerField::Start:
        return TimeText(v.Start);
    case TimerField::Stop:
        return TimeText(v.Stop);
    case TimerField::Weekdays:
        return WeekBitsText(v.Weekdays);
    case TimerField::DayMask:
        return NumStr(v.DayMask);
    case TimerField::Flag:
        return NumStr(v.Flag);
    default:
        return {};
    }
}

QString fileText(const TimerValues &v, TimerField field)
{
    switch (field) {
    case TimerField::Enabled:
        return BoolText(v.Enabled);
    case TimerField::Always:
        return BoolText(v.Always);
    case TimerField::Days:
        return NumStr(v.Days);
    case TimerField::Weekdays:
        return NumStr(v.Weekdays);
    default:
        return uploadText(v, field);
    }
}

// A value that does not convert leaves the field as it was.
void readFileText(TimerValues &v, TimerField field, const QString &text)
{
    switch (field) {
    case TimerField::Enabled:
        v.Enabled = TextBool(text);
        return;
    case TimerField::Always:
        v.Always = TextBool(text);
        return;
    case TimerField::Seconds:
        setIf(v.Seconds, ToFloat32(ParseNumber(text)));
        return;
    case TimerField::Days:
        setIf(v.Days, ToInt16(ParseNumber(text)));
        return;
    case TimerField::Start:
        setIf(v.Start, TimeFromText(text));
        return;
    case TimerField::Stop:
        setIf(v.Stop, TimeFromText(text));
        return;
    case TimerField::Weekdays:
        setIf(v.Weekdays, ToWeekdays(ParseNumber(text)));
        return;
    case TimerField::DayMask:
        setIf(v.DayMask, ToUInt32(ParseNumber(text)));
        return;
    case TimerField::Flag:
        // Kept even outside 0 to 16, as the alarm sections keep theirs.
        setIf(v.Flag, ToInt16(ParseNumber(text)));
        return;
    case TimerField::Actions:
        return;
    }
}

// The unit's number for a field. A disabled timer sends its family's off
// field as 0; an "always" window goes out as the whole day on every day.
QString unitText(const TimerFamily &family, const TimerValues &v, TimerField field)
{
    if (!v.Enabled && field == family.offField)
        return QStringLiteral("0");
    const bool always = family.has(TimerField::Always) && v.Always;
    switch (field) {
    case TimerField::Seconds:
        return floatText(v.Seconds);
    case TimerField::Days:
        // At least one second, so that an enabled timer of 0 days reads back enabled.
        return QString::number(v.Days == 0 ? 1 : qint64(v.Days) * LongTimer::kSecondsPerDay);
    case TimerField::Start:
        return QString::number(always ? 0 : secondsOfDay(v.Start));
    case TimerField::Stop:
        return QString::number(always ? kEndOfDay : secondsOfDay(v.Stop));
    case TimerField::Weekdays:
        return QString::number(always ? ScheduleWindow::kAllDays : v.Weekdays);
    case TimerField::DayMask:
        return QString::number(v.DayMask);
    case TimerField::Flag:
        return QString::number(v.Flag);
    default:
        return {};
    }
}

// One number of the unit's line into its field. `wire` receives what the
// enabling and "always" tests look at. False when the number is outside the
// field's domain.
bool readUnitNumber(TimerValues &v, TimerField field, double number, double &wire)
{
    switch (field) {
    case TimerField::Seconds: {
        const std::optional<float> seconds = ToFloat32(number);
        if (!seconds)
            return false;
        v.Seconds = *seconds;
        wire = *seconds;
        return true;
    }
    case TimerField::Days: {
        // Cut toward zero before the 16-bit conversion, which would round.
        const std::optional<qint16> days = ToInt16(std::trunc(number / LongTimer::kSecondsPerDay));
        if (!days)
            return false;
        v.Days = *days;
        wire = std::trunc(number); // enabled from one whole second on
        return true;
    }
    case TimerField::Start:
    case TimerField::Stop: {
        const std::optional<qint32> seconds = ToInt32(number);
        const std::optional<QTime> time = seconds ? SecondsToTime(*seconds) : std::nullopt;
        if (!time)
            return false;
        (field == TimerField::Start ? v.Start : v.Stop) = *time;
        wire = *seconds;
        return true;
    }
    case TimerField::Weekdays: {
        const std::optional<quint8> days = ToWeekdays(number);
        if (!days)
            return false;
        v.Weekdays = *days;
        wire = *days;
        return true;
    }
    case TimerField::DayMask: {
        const std::optional<quint32> mask = ToUInt32(number);
        if (!mask)
            return false;
        v.DayMask = *mask;
        wire = *mask;
        return true;
    }
    case TimerField::Flag: {
        const std::optional<qint16> flag = ToInt16(number);
        if (!flag || *flag < 0 || *flag >= kFlagChoices)
            return false;
        v.Flag = *flag;
        wire = *flag;
        return true;
    }
    default:
        return false;
    }
}

// The numbers of the unit's line for one timer, in stream order.
QStringList unitNumbers(const TimerFamily &family, const TimerValues &values)
{
    QStringList numbers;
    for (const TimerStreamField &item : family.stream)
        numbers << unitText(family, values, item.field);
    return numbers;
}

// The unit's numbers into the values: Enabled and Always follow from them as
// the unit means them. False, the values partly written, when a number does
// not fit its field.
bool readUnitNumbers(const TimerFamily &family, TimerValues &values, const QStringList &numbers)
{
    std::array<double, kFieldCount> wire{};
    bool enabled = true;
    for (int n = 0; n < family.stream.size(); ++n) {
        const TimerStreamField &item = family.stream[n];
        double &number = wire[int(item.field)];
        if (!readUnitNumber(values, item.field, ParseNumber(numbers.value(n)), number))
            return false;
        if (item.enabling)
            enabled = enabled && number > 0;
    }
    values.Enabled = enabled;
    if (family.has(TimerField::Always)) {
        values.Always = CheckSiempre(qint32(wire[int(TimerField::Start)]), qint32(wire[int(TimerField::Stop)]),
                                     quint8(wire[int(TimerField::Weekdays)]));
    }
    return true;
}

// Stores a value read; false, leaving the field, when there is none.
template <typename T> bool storeRead(T &field, std::optional<T> value)
{
    setIf(field, value);
    return value.has_value();
}

// One part of an upload line back into its field; false when it does not read.
bool readUploadText(TimerValues &v, TimerField field, const QString &text)
{
    switch (field) {
    case TimerField::Seconds:
        return storeRead(v.Seconds, UploadFloat(text));
    case TimerField::Days: {
        const std::optional<double> seconds = UploadWhole(text);
        return storeRead(v.Days, seconds ? ToInt16(std::trunc(*seconds / LongTimer::kSecondsPerDay))
                                         : std::nullopt);
    }
    case TimerField::Start:
        return storeRead(v.Start, TimeFromText(text));
    case TimerField::Stop:
        return storeRead(v.Stop, TimeFromText(text));
    case TimerField::Weekdays:
        return storeRead(v.Weekdays, WeekBitsFromText(text));
    case TimerField::DayMask:
        return storeRead(v.DayMask, UploadUInt32(text));
    case TimerField::Flag: {
        const std::optional<qint16> flag = UploadInt16(text);
        return flag && *flag >= 0 && *flag < kFlagChoices && storeRead(v.Flag, flag);
    }
    default:
        return false;
    }
}

// An enabled timer's upload line after "CT3=": the family's parts, the
// window's all or none ("always"), then ",ACT=".
bool readUploadParts(const TimerFamily &family, const QString &text, TimerValues &values)
{
    UploadFields fields(text);
    int windowParts = 0;
    int windowPartsSent = 0;
    for (const TimerUploadPart &part : family.upload) {
        const std::optional<QString> value =
            part.label.isEmpty() ? fields.takeFirst() : fields.take(QString(part.label).sliced(1));
        windowParts += part.windowOnly;
        windowPartsSent += part.windowOnly && value;
        if (!value && part.windowOnly)
            continue;
        if (!value || !readUploadText(values, part.field, *value))
            return false;
    }
    const std::optional<QString> actions = fields.take(u"ACT=");
    const std::optional<ActionList> codes = actions ? ActionListFromText(*actions) : std::nullopt;
    if (!codes || !fields.empty() || (windowPartsSent != 0 && windowPartsSent != windowParts))
        return false;
    values.Actions = *codes;
    values.Enabled = true;
    values.Always = family.has(TimerField::Always) && windowPartsSent == 0;
    return true;
}

} // namespace

TimerCore::TimerCore(const TimerFamily &family) : family_(family) {}

QString TimerCore::name() const
{
    return family_.name;
}

void TimerCore::clear(ConfigStore &store) const
{
    clearTimers(store, family_);
}

QString TimerCore::actionKeyword() const
{
    return QString(family_.word) + QLatin1String(".ACTION");
}

QString TimerCore::fileSection(int index) const
{
    return QString(family_.word) + NumStr(index);
}

QStringList TimerCore::keywords() const
{
    return {family_.word, actionKeyword()};
}

// A line with an index or a number out of range is skipped whole: its numbers
// decide Enabled and Always together.
void TimerCore::parseLine(ConfigStore &store, DownloadState &, const QString &keyword,
                          const QString &line, quint32) const
{
    const std::optional<int> index = ItemIndex(line, kTimerCount);
    if (!index)
        return;
    if (keyword == actionKeyword()) {
        ActionList actions{};
        for (int slot = 0; slot < int(actions.size()); ++slot) {
            const std::optional<qint16> code = ToInt16(ParseNumber(LineField(line, kFirstNumberField + slot)));
            if (!code)
                return;
            actions[slot] = *code;
        }
        timerActions(store, family_, *index) = actions;
    } else {
        parseTimerLine(store, *index, line);
    }
}

void TimerCore::parseTimerLine(ConfigStore &store, int index, const QString &line) const
{
    QStringList numbers;
    for (int n = 0; n < family_.stream.size(); ++n)
        numbers << LineField(line, kFirstNumberField + n);
    TimerValues values = timerValues(store, family_, index);
    if (readUnitNumbers(family_, values, numbers))
        setTimerValues(store, family_, index, values);
}

QStringList TimerCore::downloadLines(const ConfigStore &store, quint32) const
{
    QStringList lines;
    for (int i = 0; i < kTimerCount; ++i) {
        const TimerValues values = timerValues(store, family_, i);
        lines << (QStringList{family_.word, QString::number(i)} + unitNumbers(family_, values))
                     .join(QLatin1Char(','));
        QStringList actions{actionKeyword(), QString::number(i)};
        for (const qint16 code : values.Actions)
            actions << QString::number(code);
        lines << actions.join(QLatin1Char(','));
    }
    return lines;
}

QStringList TimerCore::uploadLines(const ConfigStore &store, const UploadContext &context) const
{
    if (family_.feature && !(context.features & family_.feature))
        return {};
    QStringList lines;
    for (int i = 0; i < kTimerCount; ++i) {
        const TimerValues values = timerValues(store, family_, i);
        const QString head = QString(family_.prefix) + QString::number(i);
        if (!values.Enabled) {
            lines << QLatin1Char('-') + head;
            continue;
        }
        QString line = head + QLatin1Char('=');
        for (const TimerUploadPart &part : family_.upload) {
            if (!(part.windowOnly && values.Always)) {
                line += part.label;
                line += uploadText(values, part.field);
            }
        }
        lines << line + QStringLiteral(",ACT=") + ActionListText(values.Actions);
    }
    return lines;
}

// "-CT4" disables timer 4; "CT4=..." sets and enables it, held as the unit
// holds it (a period of 0 or a window without a day reads disabled).
bool TimerCore::applyUploadLine(ConfigStore &store, const QString &line, quint32 features) const
{
    if (family_.feature && !(features & family_.feature))
        return false;
    const QString prefix = family_.prefix;
    if (const auto off = ReadUploadHead(line, QLatin1Char('-') + prefix, kTimerCount, QChar())) {
        TimerValues values = timerValues(store, family_, off->index);
        values.Enabled = false;
        setTimerValues(store, family_, off->index, values);
        return true;
    }
    const std::optional<UploadHead> on = ReadUploadHead(line, prefix, kTimerCount, QLatin1Char('='));
    if (!on)
        return false;
    TimerValues values = timerValues(store, family_, on->index);
    if (!readUploadParts(family_, on->rest, values)
        || !readUnitNumbers(family_, values, unitNumbers(family_, values)))
        return false;
    setTimerValues(store, family_, on->index, values);
    return true;
}

void TimerCore::save(const ConfigStore &store, IniDocument &doc) const
{
    for (int i = 0; i < kTimerCount; ++i) {
        const TimerValues values = timerValues(store, family_, i);
        const QString section = fileSection(i);
        for (const TimerFileKey &key : family_.fileKeys)
            doc.writeValue(section, key.key, fileText(values, key.field));
        for (int slot = 0; slot < int(values.Actions.size()); ++slot)
            doc.writeValue(section, actionKey(slot), NumStr(values.Actions[slot]));
    }
}

void TimerCore::restore(ConfigStore &store, const IniDocument &doc) const
{
    clear(store);
    for (int i = 0; i < kTimerCount; ++i) {
        TimerValues values = timerValues(store, family_, i);
        const QString section = fileSection(i);
        for (const TimerFileKey &key : family_.fileKeys)
            readFileText(values, key.field, doc.readValue(section, key.key));
        for (int slot = 0; slot < int(values.Actions.size()); ++slot)
            setIf(values.Actions[slot], ToInt16(ParseNumber(doc.readValue(section, actionKey(slot)))));
        setTimerValues(store, family_, i, values);
    }
}

namespace {

// The timer window's caption of a field of the family.
QString timerFieldCaption(const TimerFamily &family, TimerField field)
{
    switch (field) {
    case TimerField::Enabled:
        return QStringLiteral("Habilitar temporiz.");
    case TimerField::Seconds:
    case TimerField::Days:
        return family.captions.period;
    case TimerField::Always:
        return QStringLiteral("Siempre");
    case TimerField::Start:
        return family.captions.start;
    case TimerField::Stop:
        return QStringLiteral("Final:");
    case TimerField::Weekdays:
    case TimerField::DayMask:
        return family.scheduleCaption;
    case TimerField::Flag:
        return QStringLiteral("Flag");
    case TimerField::Actions:
        break;
    }
    return QStringLiteral("Acciones a ejecutar");
}

} // namespace

std::optional<FieldTerm> TimerCore::fieldTerm(const IniDocument &side, const QString &item, const QString &key) const
{
    const QString number = recordNumber(item);
    if (number.isEmpty() || item != fileSection(number.toInt()))
        return std::nullopt;
    const QString text = side.readValue(item, key);
    FieldTerm term{{}, key.trimmed(), editorValueText(text)};
    for (const TimerFileKey &fileKey : family_.fileKeys) {
        if (key != fileKey.key)
            continue;
        term.field = fieldCaption(timerFieldCaption(family_, fileKey.field));
        const bool period = fileKey.field == TimerField::Seconds || fileKey.field == TimerField::Days;
        if (period && !family_.captions.periodUnit.isEmpty())
            term.value += u' ' + Translate(family_.captions.periodUnit);
    }
    for (int slot = 0; slot < int(std::tuple_size_v<ActionList>); ++slot) {
        if (key == actionKey(slot))
            term.field = fieldCaption(timerFieldCaption(family_, TimerField::Actions)) + QStringLiteral(" (%1)").arg(slot);
    }
    return term;
}
