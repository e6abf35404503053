#include "generalcore.h"

#include <algorithm>
#include <array>
#include <optional>

#include "files/inidocument.h"
#include "link/devicevalues.h"
#include "model/configstore.h"
#include "model/channelcode.h"
#include "model/texthelpers.h"
#include "phoneentry.h"
#include "sections/common/downloadline.h"
#include "sections/common/fieldtext.h"
#include "sections/common/uploadline.h"

namespace {

const QString kSection = QStringLiteral("GENERAL");
const QString kClearPhones = QStringLiteral("CLRTLF");
const QString kPhonePrefix = QStringLiteral("+TLF=");

// The settings that travel as plain text, in upload order.
struct TextSetting {
    QLatin1String keyword;  // received from the unit
    QLatin1String prefix;   // sent to the unit
    QString GeneralSettings::*member;
};

const std::array<TextSetting, 4> kTextSettings{{
    {QLatin1String("DNAME"), QLatin1String("ID="), &GeneralSettings::UnitName},
    {QLatin1String("SMC"), QLatin1String("CSM="), &GeneralSettings::SmsCentre},
    {QLatin1String("PTLF"), QLatin1String("PTLF="), &GeneralSettings::OwnNumber},
    {QLatin1String("REST"), QLatin1String("REST="), &GeneralSettings::RestoreText},
}};

// Units without the extended phone mask know only these channels, as bits 0
// to 11 of a bit mask and as the items "D0".."D7", "A0".."A3".
const QStringList kLegacyChannels = {"DI0", "DI1", "DI2", "DI3", "DI4", "DI5",
                                     "DI6", "DI7", "AI0", "AI1", "AI2", "AI3"};

constexpr int kNoLegacyBit = -1; // what indexOf answers for other channels

// Bit of a channel code in the legacy mask.
int legacyBit(qint16 code)
{
    return kLegacyChannels.indexOf(CodeToName(code));
}

// "DI3" travels as "D3", "AI1" as "A1".
QString legacyItem(int bit)
{
    const QString name = kLegacyChannels[bit];
    return name.left(1) + name.mid(2);
}

std::optional<qint16> legacyItemCode(const QString &item)
{
    for (int bit = 0; bit < kLegacyChannels.size(); ++bit) {
        if (legacyItem(bit) == item)
            return NameToCode(kLegacyChannels[bit]);
    }
    return std::nullopt;
}

qint32 noMaskValue(quint32 features)
{
    return (features & Feature::WideChannelMask) ? -1 : 65535;
}

template <typename T> void setIf(T &field, std::optional<T> value)
{
    if (value)
        field = *value;
}

std::optional<qint16> int16Field(const QString &text)
{
    return ToInt16(ParseNumber(text));
}

void emptyMask(AuthorisedPhone &phone)
{
    std::fill_n(phone.Mask.begin(), AuthorisedPhone::kMaskSlots, AuthorisedPhone::kEmptySlot);
}

void parseLegacyMask(AuthorisedPhone &phone, const QString &text, quint32 features)
{
    const auto bits = ToInt32(ParseNumber(text));
    if (!bits)
        return;
    if (*bits == noMaskValue(features)) {
        phone.MaskMode = 0;
        return;
    }
    phone.MaskMode = 1;
    int slot = 0;
    for (int bit = 0; bit < kLegacyChannels.size(); ++bit) {
        if (*bits & (1 << bit))
            phone.Mask[slot++] = NameToCode(kLegacyChannels[bit]);
    }
}

// "TLF,<slot>,<number>,<priority>,<privilege>,<bit mask>[,<mask mode>,<16 codes>]"
void parsePhoneLine(GeneralSettings &general, const QString &line, quint32 features)
{
    const auto slot = ItemIndex(line, GeneralSettings::kPhoneSlots);
    const QString number = LineField(line, 3);
    if (!slot || number.size() <= 2)
        return;
    AuthorisedPhone &phone = general.Phones[*slot];
    emptyMask(phone);
    phone.Number = number;
    setIf(phone.Priority, int16Field(LineField(line, 4)));
    setIf(phone.Privilege, int16Field(LineField(line, 5)));
    if (!(features & Feature::ExtendedPhoneMask)) {
        parseLegacyMask(phone, LineField(line, 6), features);
        return;
    }
    setIf(phone.MaskMode, int16Field(LineField(line, 7)));
    for (int j = 0; j < AuthorisedPhone::kMaskSlots; ++j) {
        // An absent code leaves the slot empty rather than naming channel 0.
        const QString code = LineField(line, 8 + j);
        if (!code.trimmed().isEmpty())
            setIf(phone.Mask[j], int16Field(code));
    }
}

// The mask's legacy channels as bits, whatever its mode.
qint32 legacyBits(const AuthorisedPhone &phone)
{
    qint32 bits = 0;
    for (int j = 0; j < AuthorisedPhone::kMaskSlots; ++j) {
        const int bit = legacyBit(phone.Mask[j]);
        if (bit != kNoLegacyBit)
            bits |= 1 << bit;
    }
    return bits;
}

qint32 legacyBitMask(const AuthorisedPhone &phone, quint32 features)
{
    return phone.MaskMode == 0 ? noMaskValue(features) : legacyBits(phone);
}

QString phoneLine(const AuthorisedPhone &phone, bool extended)
{
    QString line = phone.Number + QStringLiteral(",Prio=")
                   + QString::number(phone.Priority) + QStringLiteral(",PRV")
                   + QString::number(phone.Privilege);
    if (extended) {
        if (phone.MaskMode > 0) {
            line += QStringLiteral(",MASK=");
            for (int j = 0; j < AuthorisedPhone::kMaskSlots; ++j)
                line += QLatin1Char(' ') + QString::number(phone.Mask[j]);
        }
        return line + QStringLiteral(",MASKMODE") + QString::number(phone.MaskMode);
    }
    // The unit keeps these items as a bit mask: they go in bit order, once each,
    // so that what it reports back reads as what was sent.
    const qint32 bits = legacyBits(phone);
    for (int bit = 0; bit < kLegacyChannels.size(); ++bit) {
        if (bits & (1 << bit))
            line += QLatin1Char(',') + legacyItem(bit);
    }
    return line;
}

// The unit's "TLF" line; field 6 carries the bit mask in both forms.
QString unitPhoneLine(int slot, const AuthorisedPhone &phone, quint32 features)
{
    QStringList fields{QStringLiteral("TLF"), QString::number(slot), phone.Number,
                       QString::number(phone.Priority), QString::number(phone.Privilege),
                       QString::number(legacyBitMask(phone, features))};
    if (features & Feature::ExtendedPhoneMask) {
        fields << QString::number(phone.MaskMode);
        for (int j = 0; j < AuthorisedPhone::kMaskSlots; ++j)
            fields << QString::number(phone.Mask[j]);
    }
    return fields.join(QLatin1Char(','));
}

// ---- The unit's side of the upload ----

// "MASK= c1 c2 ... c16": exactly one code per mask slot.
bool readMaskCodes(const QString &text, AuthorisedPhone &phone)
{
    const QStringList codes = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (codes.size() != AuthorisedPhone::kMaskSlots)
        return false;
    for (int j = 0; j < AuthorisedPhone::kMaskSlots; ++j) {
        const std::optional<qint16> code = UploadInt16(codes[j]);
        if (!code)
            return false;
        phone.Mask[j] = *code;
    }
    return true;
}

// A "+TLF=" line after its prefix, as phoneLine writes it. A unit without the
// extended mask keeps the legacy items as a bit mask: in bit order, mode 1
// while any is set.
std::optional<AuthorisedPhone> uploadedPhone(const QString &text, quint32 features)
{
    UploadFields fields(text);
    AuthorisedPhone phone;
    phone.Number = *fields.takeFirst();
    const std::optional<qint16> priority = UploadInt16(fields.take(u"Prio="));
    const std::optional<qint16> privilege = UploadInt16(fields.take(u"PRV"));
    if (phone.Number.isEmpty() || !priority || !privilege)
        return std::nullopt;
    phone.Priority = *priority;
    phone.Privilege = *privilege;
    if (features & Feature::ExtendedPhoneMask) {
        const std::optional<qint16> mode = UploadInt16(fields.take(u"MASKMODE"));
        const std::optional<QString> codes = fields.take(u"MASK=");
        if (!mode || (codes && !readMaskCodes(*codes, phone)))
            return std::nullopt;
        phone.MaskMode = *mode;
    } else {
        int slot = 0;
        for (int bit = 0; bit < kLegacyChannels.size(); ++bit) {
            if (fields.takeWord(legacyItem(bit)))
                phone.Mask[slot++] = NameToCode(kLegacyChannels[bit]);
        }
        phone.MaskMode = slot > 0 ? 1 : 0;
    }
    if (!fields.empty())
        return std::nullopt;
    return phone;
}

// The phone takes the first free slot of the list the unit keeps.
bool addPhone(GeneralSettings &general, const AuthorisedPhone &phone)
{
    const auto used = general.Phones.begin() + GeneralSettings::kUsedPhoneSlots;
    const auto free = std::find_if(general.Phones.begin(), used,
                                   [](const AuthorisedPhone &p) { return p.Number.isEmpty(); });
    if (free == used)
        return false;
    *free = phone;
    return true;
}

// "RETRYMAX=<count>", "RETRYTIME=<seconds>", for units with retry settings.
bool applyRetryLine(GeneralSettings &general, const QString &line, quint32 features)
{
    if (!(features & Feature::RetrySettings))
        return false;
    if (const std::optional<QString> count = UploadValue(line, u"RETRYMAX=")) {
        const std::optional<qint16> value = UploadInt16(count);
        if (value)
            general.ResendCount = *value;
        return value.has_value();
    }
    const std::optional<double> seconds = UploadWhole(UploadValue(line, u"RETRYTIME="));
    // Held in seconds; the tool reads minutes from them as from the unit's report.
    const std::optional<qint32> minutes = seconds ? ToInt32(*seconds / 60) : std::nullopt;
    if (minutes)
        general.ResendMinutes = *minutes;
    return minutes.has_value();
}

// Older files: "number,Prio=<p>,PRV<v>" and up to 16 items "D0".."D7", "A0".."A3".
void storeOldPhoneValue(const QString &value, AuthorisedPhone &phone)
{
    constexpr int kFirstItemField = 4;
    phone.Number = CsvField(value, 1);
    phone.MaskMode = 0;
    setIf(phone.Priority, priorityItem(CsvField(value, 2)));
    setIf(phone.Privilege, privilegeItem(CsvField(value, 3)));
    for (int j = 0; j < AuthorisedPhone::kMaskSlots; ++j) {
        const QString item = CsvField(value, j + kFirstItemField);
        if (!item.isEmpty())
            phone.MaskMode = 1;
        // An item that names no channel empties the slot instead of keeping
        // whatever an earlier configuration left there.
        phone.Mask[j] = legacyItemCode(item).value_or(AuthorisedPhone::kEmptySlot);
    }
}

QString slotKey(const char *word, int slot)
{
    return QLatin1String(word) + NumStr(slot);
}

template <typename F> void forEachUsedPhone(const GeneralSettings &general, F &&f)
{
    for (int slot = 0; slot < GeneralSettings::kUsedPhoneSlots; ++slot) {
        if (!general.Phones[slot].Number.isEmpty())
            f(slot, general.Phones[slot]);
    }
}

} // namespace

QString GeneralCore::name() const
{
    return QStringLiteral("General");
}

void GeneralCore::clear(ConfigStore &store) const
{
    GeneralSettings &general = store.General;
    for (const TextSetting &setting : kTextSettings)
        (general.*setting.member).clear();
    general.ResendMinutes = kDefaultResendMinutes;
    general.ResendCount = kDefaultResendCount;
    for (AuthorisedPhone &phone : general.Phones)
        phone.Number.clear();
}

QStringList GeneralCore::keywords() const
{
    QStringList result;
    for (const TextSetting &setting : kTextSettings)
        result << setting.keyword;
    return result << QStringLiteral("RENVT") << QStringLiteral("RENVN") << QStringLiteral("TLF");
}

void GeneralCore::parseLine(ConfigStore &store, DownloadState &, const QString &keyword,
                            const QString &line, quint32 features) const
{
    GeneralSettings &general = store.General;
    const QString value = LineField(line, 2);
    for (const TextSetting &setting : kTextSettings) {
        if (keyword == setting.keyword) {
            general.*setting.member = value;
            return;
        }
    }
    if (keyword == QLatin1String("RENVT"))
        setIf(general.ResendMinutes, ToInt32(ParseNumber(value) / 60)); // seconds on the wire
    else if (keyword == QLatin1String("RENVN"))
        setIf(general.ResendCount, int16Field(value));
    else if (keyword == QLatin1String("TLF"))
        parsePhoneLine(general, line, features);
}

QStringList GeneralCore::downloadLines(const ConfigStore &store, quint32 features) const
{
    const GeneralSettings &general = store.General;
    QStringList lines;
    for (const TextSetting &setting : kTextSettings)
        lines << setting.keyword + QLatin1Char(',') + general.*setting.member;
    lines << QStringLiteral("RENVT,") + QString::number(qint64(general.ResendMinutes) * 60)
          << QStringLiteral("RENVN,") + QString::number(general.ResendCount);
    forEachUsedPhone(general, [&](int slot, const AuthorisedPhone &phone) {
        lines << unitPhoneLine(slot, phone, features);
    });
    return lines;
}

QStringList GeneralCore::uploadLines(const ConfigStore &store, const UploadContext &context) const
{
    const GeneralSettings &general = store.General;
    QStringList lines;
    for (const TextSetting &setting : kTextSettings)
        lines << setting.prefix + general.*setting.member;
    if (context.features & Feature::RetrySettings) {
        lines << QStringLiteral("RETRYMAX=") + NumStr(general.ResendCount)
              << QStringLiteral("RETRYTIME=") + NumStr(qint64(general.ResendMinutes) * 60);
    }
    lines << kClearPhones;
    const bool extended = context.features & Feature::ExtendedPhoneMask;
    forEachUsedPhone(general, [&](int, const AuthorisedPhone &phone) {
        lines << kPhonePrefix + phoneLine(phone, extended);
    });
    return lines;
}

bool GeneralCore::applyUploadLine(ConfigStore &store, const QString &line, quint32 features) const
{
    GeneralSettings &general = store.General;
    for (const TextSetting &setting : kTextSettings) {
        if (const std::optional<QString> value = UploadValue(line, QString(setting.prefix))) {
            general.*setting.member = *value;
            return true;
        }
    }
    if (line == kClearPhones) {
        std::fill_n(general.Phones.begin(), GeneralSettings::kUsedPhoneSlots, AuthorisedPhone{});
        return true;
    }
    if (const std::optional<QString> text = UploadValue(line, kPhonePrefix)) {
        const std::optional<AuthorisedPhone> phone = uploadedPhone(*text, features);
        return phone && addPhone(general, *phone);
    }
    return applyRetryLine(general, line, features);
}

void GeneralCore::save(const ConfigStore &store, IniDocument &doc) const
{
    const GeneralSettings &general = store.General;
    auto write = [&](const QString &key, const QString &value) {
        doc.writeValue(kSection, key, value);
    };
    write(QStringLiteral("NOMBRE"), general.UnitName);
    write(QStringLiteral("CSM"), general.SmsCentre);
    write(QStringLiteral("RENVT"), NumStr(general.ResendMinutes));
    write(QStringLiteral("RENVN"), NumStr(general.ResendCount));
    write(QStringLiteral("PTLF"), general.OwnNumber);
    write(QStringLiteral("RESTORE"), general.RestoreText);
    for (int slot = 0; slot < GeneralSettings::kUsedPhoneSlots; ++slot) {
        const AuthorisedPhone &phone = general.Phones[slot];
        write(slotKey("TLFM", slot), phone.Number.isEmpty() ? QString() : phoneEntryText(phone));
    }
}

void GeneralCore::restore(ConfigStore &store, const IniDocument &doc) const
{
    clear(store);
    GeneralSettings &general = store.General;
    auto read = [&](const QString &key) { return doc.readValue(kSection, key); };
    general.UnitName = read(QStringLiteral("NOMBRE"));
    general.SmsCentre = read(QStringLiteral("CSM"));
    setIf(general.ResendMinutes, ToInt32(ParseNumber(read(QStringLiteral("RENVT")))));
    setIf(general.ResendCount, int16Field(read(QStringLiteral("RENVN"))));
    general.OwnNumber = read(QStringLiteral("PTLF"));
    general.RestoreText = read(QStringLiteral("RESTORE"));

    QStringList entries;
    for (int slot = 0; slot < GeneralSettings::kUsedPhoneSlots; ++slot)
        entries << read(slotKey("TLFM", slot));
    const bool anyEntry = std::any_of(entries.cbegin(), entries.cend(),
                                      [](const QString &entry) { return !entry.isEmpty(); });
    for (int slot = 0; slot < GeneralSettings::kUsedPhoneSlots; ++slot) {
        AuthorisedPhone &phone = general.Phones[slot];
        if (anyEntry) {
            if (!entries[slot].isEmpty())
                storePhoneEntry(entries[slot], phone);
        } else if (const QString old = read(slotKey("TLF", slot)); !old.isEmpty()) {
            storeOldPhoneValue(old, phone);
        }
    }
}

std::optional<FieldTerm> GeneralCore::fieldTerm(const IniDocument &side, const QString &item, const QString &key) const
{
    // The frames of the General window; each phone entry shows as the phone list does.
    static const QHash<QString, KeyCaption> captions = {
        {"NOMBRE", {"Nombre del equipo"}},
        {"CSM", {"Centro servicio SMS"}},
        {"RENVT", {"Tiempo reenvios", nullptr, "Min."}},
        {"RENVN", {"Numero reenvios"}},
        {"PTLF", {"Numero propio"}},
        {"RESTORE", {"Texto restauracion"}},
        {"TLFM", {"Telefono:"}},
        {"TLF", {"Telefono:"}},
    };
    return captionedFieldTerm(side, kSection, item, key, captions);
}
