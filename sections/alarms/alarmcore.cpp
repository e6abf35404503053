#include "alarmcore.h"

#include <QHash>

#include <algorithm>
#include <optional>

#include "files/inidocument.h"
#include "files/langtable.h"
#include "model/configstore.h"
#include "model/texthelpers.h"
#include "sections/common/downloadline.h"
#include "sections/common/fieldtext.h"
#include "sections/common/uploadline.h"

namespace {

const QString kAlmSuffix = QStringLiteral(".ALM");
const QString kActSuffix = QStringLiteral(".ACT");

constexpr int kActionSlots = std::tuple_size_v<ActionList>;
constexpr int kFirstValueField = 5; // ".ALM" after key, channel, slot and text
constexpr int kFirstCodeField = 4;  // ".ACT" after key, channel and slot
constexpr qint32 kSecondsPerDay = 86400;
constexpr int kMaxWeek = 255;
constexpr int kMaxEnableFlag = 16; // "F15"

// Notification bits of the unit's ".ALM" answer.
struct NotificationBit {
    int bit;
    bool AlarmConfig::*field;
};
constexpr NotificationBit kNotificationBits[] = {
    {1, &AlarmConfig::NotifySms},      {2, &AlarmConfig::NotifyVoice},
    {4, &AlarmConfig::RestoreMessage}, {8, &AlarmConfig::Resend},
    {16, &AlarmConfig::NotifyGprs},
};

struct BoolKey {
    QLatin1String word;
    bool AlarmConfig::*field;
};
constexpr BoolKey kBoolKeys[] = {
    {QLatin1String("HABIL("), &AlarmConfig::Enabled},
    {QLatin1String("REST("), &AlarmConfig::RestoreMessage},
    {QLatin1String("RENV("), &AlarmConfig::Resend},
    {QLatin1String("SMS("), &AlarmConfig::NotifySms},
    {QLatin1String("VOZ("), &AlarmConfig::NotifyVoice},
    {QLatin1String("GPRS("), &AlarmConfig::NotifyGprs},
};

// ---- File keys ----

QString slotKey(QLatin1String word, int slot)
{
    return word + NumStr(slot) + QLatin1Char(')');
}

QString actionKey(QLatin1String word, int slot, int action)
{
    return word + NumStr(slot) + NumStr(action) + QLatin1Char(')');
}

// Calls visit(key, field) for every file key of one slot, in file order. Save
// and restore walk the same keys through it, so their orders cannot drift apart.
template <typename Slot, typename Visit>
void visitKeys(const AlarmLayout &layout, int c, Slot &slot, Visit &&visit)
{
    for (const BoolKey &key : kBoolKeys)
        visit(slotKey(key.word, c), slot.*key.field);
    visit(slotKey(QLatin1String("TEXTO("), c), slot.Text);
    for (const AlarmNumber &number : layout.fileNumbers)
        visit(slotKey(number.key, c), slot.*number.field);
    visit(slotKey(QLatin1String("SIEMPRE("), c), slot.Window.Always);
    visit(slotKey(QLatin1String("INICIO("), c), slot.Window.Start);
    visit(slotKey(QLatin1String("FINAL("), c), slot.Window.Stop);
    visit(slotKey(QLatin1String("SEMANA("), c), slot.Window.Weekdays);
    if (layout.enableFlag)
        visit(slotKey(QLatin1String("FLAG("), c), slot.EnableFlag);
    for (const AlarmActions &list : layout.actions) {
        for (int s = 0; s < kActionSlots; ++s)
            visit(actionKey(list.fileKey, c, s), (slot.*list.field)[s]);
    }
}

QString fileText(bool value) { return BoolText(value); }
QString fileText(const QString &value) { return value; }
QString fileText(QTime value) { return TimeText(value); }
template <typename T> QString fileText(T value) { return NumStr(value); }

template <typename T> void keepIf(T &field, std::optional<T> value)
{
    if (value)
        field = *value;
}

void readFileText(const QString &text, bool &field) { field = TextBool(text); }
void readFileText(const QString &text, QString &field) { field = text; }
void readFileText(const QString &text, QTime &field) { keepIf(field, TimeFromText(text)); }
void readFileText(const QString &text, float &field)
{
    keepIf(field, ToFloat32(ParseNumber(text)));
}
void readFileText(const QString &text, quint8 &field)
{
    keepIf(field, ToWeekdays(ParseNumber(text)));
}
void readFileText(const QString &text, qint16 &field)
{
    keepIf(field, ToInt16(ParseNumber(text)));
}

// ---- Upload ----

QString uploadLine(const AlarmMemberRow &row, const AlarmConfig &slot, int channel, int c)
{
    const QString index = QStringLiteral(",INDEX=") + NumStr(c);
    if (!slot.Enabled)
        return QLatin1Char('-') + row.uploadKeyword + QString::number(channel) + index;

    const AlarmLayout &layout = *row.layout;
    QString line = QLatin1Char('+') + row.uploadKeyword + QString::number(channel)
                   + QLatin1Char('=') + slot.Text + index;
    for (const AlarmNumber &number : layout.segments)
        line += number.key + NumStr(slot.*number.field);
    if (slot.RestoreMessage)
        line += QStringLiteral(",SREST");
    if (slot.Resend)
        line += QStringLiteral(",RESEND");
    if (slot.NotifyVoice)
        line += QStringLiteral(",RING");
    if (slot.NotifyGprs)
        line += QStringLiteral(",GPRS");
    if (!slot.NotifyVoice && !slot.NotifySms && !slot.NotifyGprs)
        line += QStringLiteral(",NOSEND");
    const ScheduleWindow &window = slot.Window;
    if (!window.Always)
        line += QStringLiteral(",START=") + TimeText(window.Start) + QStringLiteral(",STOP=")
                + TimeText(window.Stop) + QStringLiteral(",WEEK=") + WeekBitsText(window.Weekdays);
    if (layout.enableFlag)
        line += QStringLiteral(",EQ=") + NumStr(slot.EnableFlag);
    for (const AlarmActions &list : layout.actions)
        line += list.segment + ActionListText(slot.*list.field);
    return line;
}

// ---- The unit's side of the upload ----

QString segmentKey(QLatin1String segment)
{
    return QString(segment).sliced(1); // ",MAX=" is the field "MAX=..."
}

qint32 secondsOfDay(QTime time)
{
    return time.isValid() ? time.msecsSinceStartOfDay() / 1000 : 0;
}

std::optional<int> takeSlotIndex(const AlarmMemberRow &row, UploadFields &fields)
{
    const std::optional<qint16> slot = UploadInt16(fields.take(u"INDEX="));
    if (!slot || *slot < 0 || *slot >= row.slotCount)
        return std::nullopt;
    return *slot;
}

// ",START=...,STOP=...,WEEK=..." all three, or none for a window that is always open.
bool takeWindow(UploadFields &fields, ScheduleWindow &window)
{
    const std::optional<QString> start = fields.take(u"START=");
    const std::optional<QString> stop = fields.take(u"STOP=");
    const std::optional<QString> week = fields.take(u"WEEK=");
    if (!start && !stop && !week) {
        window.Always = true;
        return true;
    }
    const std::optional<QTime> startTime = start ? TimeFromText(*start) : std::nullopt;
    const std::optional<QTime> stopTime = stop ? TimeFromText(*stop) : std::nullopt;
    const std::optional<quint8> weekdays = week ? WeekBitsFromText(*week) : std::nullopt;
    if (!startTime || !stopTime || !weekdays)
        return false;
    window.Start = *startTime;
    window.Stop = *stopTime;
    window.Weekdays = *weekdays;
    window.Always = CheckSiempre(secondsOfDay(*startTime), secondsOfDay(*stopTime), *weekdays);
    return true;
}

// The fields of an enabled slot's line after ",INDEX=".
bool takeEnabledSlot(const AlarmLayout &layout, UploadFields &fields, AlarmConfig &slot)
{
    for (const AlarmNumber &number : layout.segments) {
        const std::optional<float> value = UploadFloat(fields.take(segmentKey(number.key)));
        if (!value)
            return false;
        slot.*number.field = *value;
    }
    slot.RestoreMessage = fields.takeWord(u"SREST");
    slot.Resend = fields.takeWord(u"RESEND");
    slot.NotifyVoice = fields.takeWord(u"RING");
    slot.NotifyGprs = fields.takeWord(u"GPRS");
    // A unit that sends at all also sends the message: it reports the SMS bit
    // beside the call and GPRS bits.
    slot.NotifySms = !fields.takeWord(u"NOSEND");
    if (!takeWindow(fields, slot.Window))
        return false;
    if (layout.enableFlag) {
        const std::optional<qint16> flag = UploadInt16(fields.take(u"EQ="));
        if (!flag || *flag < 0 || *flag > kMaxEnableFlag)
            return false;
        slot.EnableFlag = *flag;
    }
    for (const AlarmActions &list : layout.actions) {
        const std::optional<QString> text = fields.take(segmentKey(list.segment));
        const std::optional<ActionList> codes = text ? ActionListFromText(*text) : std::nullopt;
        if (!codes)
            return false;
        slot.*list.field = *codes;
    }
    // A window without a day is how the unit holds a disabled slot.
    slot.Enabled = slot.Window.Always || slot.Window.Weekdays != 0;
    return true;
}

// ---- Download ----

std::optional<qint32> wholeField(const QString &text, qint32 low, qint32 high)
{
    const std::optional<qint32> value = ToInt32(ParseNumber(text));
    if (!value || *value < low || *value > high)
        return std::nullopt;
    return value;
}

std::optional<qint16> int16Field(const QString &text)
{
    return ToInt16(ParseNumber(text));
}

float AlarmConfig::*floatField(AlarmAnswerField field)
{
    switch (field) {
    case AlarmAnswerField::Low: return &AlarmConfig::Low;
    case AlarmAnswerField::High: return &AlarmConfig::High;
    case AlarmAnswerField::Hysteresis: return &AlarmConfig::Hysteresis;
    case AlarmAnswerField::Persistence: return &AlarmConfig::Persistence;
    case AlarmAnswerField::Rearm: return &AlarmConfig::Rearm;
    default: return nullptr;
    }
}

// The values of an ".ALM" answer that are not fields of the slot themselves.
struct AnswerWindow {
    qint32 start = 0;
    qint32 stop = 0;
    qint32 week = 0;
    qint32 notification = 0;
};

// Reads one answer value into the slot copy or the window values; false when
// it does not fit.
bool readAnswerValue(AlarmAnswerField field, const QString &text, AlarmConfig &slot,
                     AnswerWindow &window)
{
    std::optional<qint32> whole;
    switch (field) {
    case AlarmAnswerField::StartSOD:
        whole = wholeField(text, 0, kSecondsPerDay);
        window.start = whole.value_or(0);
        break;
    case AlarmAnswerField::StopSOD:
        whole = wholeField(text, 0, kSecondsPerDay);
        window.stop = whole.value_or(0);
        break;
    case AlarmAnswerField::Week:
        whole = wholeField(text, 0, kMaxWeek);
        window.week = whole.value_or(0);
        break;
    case AlarmAnswerField::Notification:
        whole = int16Field(text);
        window.notification = whole.value_or(0);
        break;
    case AlarmAnswerField::EnableFlag:
        whole = wholeField(text, 0, kMaxEnableFlag);
        slot.EnableFlag = qint16(whole.value_or(0));
        break;
    default: {
        const std::optional<float> value = ToFloat32(ParseNumber(text));
        if (value)
            slot.*floatField(field) = *value;
        return value.has_value();
    }
    }
    return whole.has_value();
}

void parseAlm(const AlarmMemberRow &row, AlarmConfig &target, const QString &line)
{
    AlarmConfig slot = target;
    AnswerWindow window;
    slot.Text = LineField(line, 4);
    const auto fields = row.layout->answerFields;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (!readAnswerValue(fields[i], LineField(line, kFirstValueField + int(i)), slot, window))
            return;
    }
    slot.Window.Start = *SecondsToTime(window.start);
    slot.Window.Stop = *SecondsToTime(window.stop);
    slot.Window.Weekdays = quint8(window.week);
    slot.Window.Always = CheckSiempre(window.start, window.stop, quint8(window.week));
    slot.Enabled = window.week >= 1;
    // A clear bit changes nothing: the download cleared the section first.
    for (const NotificationBit &bit : kNotificationBits) {
        if (window.notification & bit.bit)
            slot.*bit.field = true;
    }
    target = slot;
}

void parseAct(const AlarmMemberRow &row, AlarmConfig &target, const QString &line)
{
    AlarmConfig slot = target;
    const auto lists = row.layout->answerActions;
    const int perSlot = int(lists.size());
    for (int s = 0; s < kActionSlots; ++s) {
        for (int k = 0; k < perSlot; ++k) {
            // A short answer reads its missing codes as 0.
            const int field = kFirstCodeField + perSlot * s + k;
            const std::optional<qint16> code = int16Field(LineField(line, field));
            if (!code)
                return;
            (slot.*lists[k])[s] = *code;
        }
    }
    target = slot;
}

// ---- The unit's side ----

QString answerValue(AlarmAnswerField field, const AlarmConfig &slot)
{
    const ScheduleWindow &window = slot.Window;
    switch (field) {
    case AlarmAnswerField::StartSOD:
        return QString::number(window.Always ? 0 : secondsOfDay(window.Start));
    case AlarmAnswerField::StopSOD:
        return QString::number(window.Always ? kSecondsPerDay : secondsOfDay(window.Stop));
    case AlarmAnswerField::Week: {
        // An empty mask is how the unit reports a disabled slot.
        const int week =
            window.Always ? (window.Weekdays | ScheduleWindow::kAllDays) : window.Weekdays;
        return QString::number(slot.Enabled ? week : 0);
    }
    case AlarmAnswerField::Notification: {
        int bits = 0;
        for (const NotificationBit &bit : kNotificationBits) {
            if (slot.*bit.field)
                bits |= bit.bit;
        }
        return QString::number(bits);
    }
    case AlarmAnswerField::EnableFlag:
        return QString::number(slot.EnableFlag);
    default:
        return NumberText(slot.*floatField(field));
    }
}

QString almLine(const AlarmMemberRow &row, const AlarmConfig &slot, int channel, int c)
{
    QStringList fields{row.answerWord + kAlmSuffix, QString::number(channel), QString::number(c),
                       slot.Text};
    for (const AlarmAnswerField field : row.layout->answerFields)
        fields << answerValue(field, slot);
    return fields.join(QLatin1Char(','));
}

QString actLine(const AlarmMemberRow &row, const AlarmConfig &slot, int channel, int c)
{
    QStringList fields{row.answerWord + kActSuffix, QString::number(channel), QString::number(c)};
    for (int s = 0; s < kActionSlots; ++s) {
        for (const auto list : row.layout->answerActions)
            fields << QString::number((slot.*list)[s]);
    }
    return fields.join(QLatin1Char(','));
}

} // namespace

AlarmNotification notificationOf(const AlarmConfig &slot)
{
    if (slot.NotifyGprs)
        return AlarmNotification::Gprs;
    if (slot.NotifyVoice)
        return AlarmNotification::SmsAndVoice;
    return slot.NotifySms ? AlarmNotification::Sms : AlarmNotification::None;
}

void setNotification(AlarmConfig &slot, AlarmNotification choice)
{
    slot.NotifySms = choice != AlarmNotification::None;
    slot.NotifyVoice = choice == AlarmNotification::SmsAndVoice;
    slot.NotifyGprs = choice == AlarmNotification::Gprs;
}

void clearAlarms(const AlarmMemberRow &row, ConfigStore &store)
{
    for (int channel = 0; channel < row.records; ++channel) {
        for (AlarmConfig &slot : alarmSlots(row, store, channel))
            slot.clear();
    }
}

QString alarmFileSection(const AlarmMemberRow &row, int channel)
{
    return row.fileWord + NumStr(channel);
}

void saveAlarmKeys(const AlarmMemberRow &row, const ConfigStore &store, int channel,
                   IniDocument &doc)
{
    const QString section = alarmFileSection(row, channel);
    const auto alarms = alarmSlots(row, store, channel);
    for (int c = 0; c < int(alarms.size()); ++c) {
        visitKeys(*row.layout, c, alarms[c], [&](const QString &key, const auto &field) {
            doc.writeValue(section, key, fileText(field));
        });
    }
}

void restoreAlarmKeys(const AlarmMemberRow &row, ConfigStore &store, int channel,
                      const IniDocument &doc)
{
    const QString section = alarmFileSection(row, channel);
    const auto alarms = alarmSlots(row, store, channel);
    for (int c = 0; c < int(alarms.size()); ++c) {
        visitKeys(*row.layout, c, alarms[c], [&](const QString &key, auto &field) {
            readFileText(doc.readValue(section, key), field);
        });
    }
}

namespace {

// The alarm editor's caption of each file key word.
QString keyCaption(const AlarmMemberRow &row, QStringView word)
{
    static const QHash<QString, QString> captions = {
        {"HABIL(", "Habilitar alarma"}, {"REST(", "Mensaje restauracion"}, {"RENV(", "Reenviar"},
        {"SMS(", "SMS"}, {"VOZ(", "SMS y voz"}, {"GPRS(", "GPRS"}, {"TEXTO(", "Texto de alarma"},
        {"MINIMO(", "Minimo:"}, {"MAXIMO(", "Maximo:"}, {"HISTERESIS(", "Histeresis:"},
        {"SIEMPRE(", "Siempre"}, {"INICIO(", "Inicio:"}, {"FINAL(", "Final:"},
        {"SEMANA(", "Rango horario de habilitacion"}, {"FLAG(", "Flag"}, {"ACTHI(", "Valor alto"},
        {"ACTLO(", "Valor bajo"}, {"ACTNO(", "Valor nominal"}};
    QString caption = captions.value(word.toString());
    if (word == QLatin1String("PERSISTENCIA(") || word == QLatin1String("PERSIST("))
        caption = row.editor.persistCaption;
    else if (word == QLatin1String("REARM("))
        caption = row.editor.rearmCaption;
    return fieldCaption(caption);
}

} // namespace

std::optional<FieldTerm> alarmFieldTerm(const AlarmMemberRow &row, const IniDocument &side, const QString &item,
                                        const QString &key, float AlarmConfig::**number)
{
    const QString channel = recordNumber(item);
    if (channel.isEmpty() || item != alarmFileSection(row, channel.toInt()) || channel.toInt() >= row.records)
        return std::nullopt;
    const QString text = side.readValue(item, key);
    FieldTerm term{Translate(QString(row.editor.heading)).trimmed() + u' ' + channel, key.trimmed(),
                   editorValueText(text)};
    AlarmConfig probe;
    for (int c = 0; c < row.slotCount; ++c) {
        visitKeys(*row.layout, c, probe, [&](const QString &slotKey, auto &field) {
            if (slotKey != key)
                return;
            const QString word = key.left(key.indexOf(u'(') + 1);
            term.field = keyCaption(row, word);
            // An action key ends in its place in the list: "ACTHI( 0 3)".
            if (word.startsWith(QLatin1String("ACT")))
                term.field += QStringLiteral(" (%1)").arg(key.chopped(1).section(u' ', -1));
            if (row.slotCount > 1)
                term.field = alarmSlotCaption(c) + QStringLiteral(" - ") + term.field;
            for (const AlarmNumber &n : row.layout->fileNumbers) {
                if (number && static_cast<const void *>(&(probe.*n.field)) == static_cast<const void *>(&field))
                    *number = n.field;
            }
        });
    }
    return term;
}

int uploadedAlarmChannels(const AlarmMemberRow &row, const UploadContext &context)
{
    if (row.uploadKeyword.isEmpty())
        return 0;
    if (row.requiredFeature != 0 && !(context.features & row.requiredFeature))
        return 0;
    const int count = row.uploadCount ? int(context.limits.*row.uploadCount) : row.channels;
    return std::clamp(count, 0, row.channels);
}

QStringList alarmUploadLines(const AlarmMemberRow &row, const ConfigStore &store, int channel,
                             const UploadContext &context)
{
    if (channel < 0 || channel >= uploadedAlarmChannels(row, context))
        return {};
    QStringList lines;
    const auto alarms = alarmSlots(row, store, channel);
    for (int c = 0; c < int(alarms.size()); ++c)
        lines << uploadLine(row, alarms[c], channel, c);
    return lines;
}

bool applyAlarmUploadLine(const AlarmMemberRow &row, ConfigStore &store, const QString &line,
                          quint32 features)
{
    const int channels = uploadedAlarmChannels(row, UploadContext{features});
    const std::optional<UploadHead> off =
        ReadUploadHead(line, QLatin1Char('-') + row.uploadKeyword, channels, QLatin1Char(','));
    const std::optional<UploadHead> on =
        off ? std::nullopt
            : ReadUploadHead(line, QLatin1Char('+') + row.uploadKeyword, channels, QLatin1Char('='));
    if (!off && !on)
        return false;
    const UploadHead &head = off ? *off : *on;
    UploadFields fields(head.rest);
    const std::optional<QString> text = on ? fields.takeFirst() : std::nullopt;
    const std::optional<int> index = takeSlotIndex(row, fields);
    if (!index)
        return false;
    AlarmConfig slot = alarmSlots(row, store, head.index)[*index];
    if (on) {
        slot.Text = *text;
        if (!takeEnabledSlot(*row.layout, fields, slot))
            return false;
    } else {
        slot.Enabled = false;
    }
    if (!fields.empty())
        return false;
    alarmSlots(row, store, head.index)[*index] = slot;
    return true;
}

QStringList alarmKeywords(const AlarmMemberRow &row)
{
    return {row.answerWord + kAlmSuffix, row.answerWord + kActSuffix};
}

bool parseAlarmLine(const AlarmMemberRow &row, ConfigStore &store, const QString &keyword,
                    const QString &line)
{
    const bool alm = keyword == row.answerWord + kAlmSuffix;
    if (!alm && keyword != row.answerWord + kActSuffix)
        return false;
    const std::optional<int> channel = ItemIndex(line, row.records);
    const std::optional<int> slot = FieldIndex(line, 3, row.slotCount);
    if (!channel || !slot)
        return true;
    AlarmConfig &target = alarmSlots(row, store, *channel)[*slot];
    if (alm)
        parseAlm(row, target, line);
    else
        parseAct(row, target, line);
    return true;
}

QStringList alarmDownloadLines(const AlarmMemberRow &row, const ConfigStore &store, int channel)
{
    QStringList lines;
    const auto alarms = alarmSlots(row, store, channel);
    for (int c = 0; c < int(alarms.size()); ++c)
        lines << almLine(row, alarms[c], channel, c) << actLine(row, alarms[c], channel, c);
    return lines;
}
