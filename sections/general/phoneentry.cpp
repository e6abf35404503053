#include "phoneentry.h"

#include "model/channelcode.h"
#include "model/texthelpers.h"

namespace {

constexpr int kFirstMaskField = 5;

// "<prefix><digit>" with the digit from 0 to maxValue.
std::optional<qint16> digitItem(const QString &field, QLatin1String prefix, int maxValue)
{
    if (field.size() != prefix.size() + 1 || !field.startsWith(prefix))
        return std::nullopt;
    const int digit = field.back().unicode() - '0';
    if (digit < 0 || digit > maxValue)
        return std::nullopt;
    return qint16(digit);
}

} // namespace

std::optional<qint16> priorityItem(const QString &field)
{
    return digitItem(field, QLatin1String("Prio="), 8);
}

std::optional<qint16> privilegeItem(const QString &field)
{
    return digitItem(field, QLatin1String("PRV"), 3);
}

std::optional<qint16> maskModeItem(const QString &field)
{
    return digitItem(field, QLatin1String("MASKMODE"), 2);
}

std::optional<qint16> maskChannelCode(const QString &name)
{
    // NameToCode answers 0 (a real channel) for unknown names; check the way back.
    const qint16 code = NameToCode(name);
    if (name.isEmpty() || CodeToName(code) != name)
        return std::nullopt;
    return code;
}

QString phoneEntryText(const AuthorisedPhone &phone)
{
    QString text = phone.Number + QStringLiteral(",Prio=") + QString::number(phone.Priority)
                   + QStringLiteral(",PRV") + QString::number(phone.Privilege)
                   + QStringLiteral(",MASKMODE") + QString::number(phone.MaskMode);
    for (int slot = 0; slot < AuthorisedPhone::kMaskSlots; ++slot) {
        const QString name = CodeToName(phone.Mask[slot]);
        if (!name.isEmpty())
            text += QLatin1Char(',') + name;
    }
    return text;
}

void storePhoneEntry(const QString &entry, AuthorisedPhone &phone)
{
    phone.Number = CsvField(entry, 1);
    if (const auto value = priorityItem(CsvField(entry, 2)))
        phone.Priority = *value;
    if (const auto value = privilegeItem(CsvField(entry, 3)))
        phone.Privilege = *value;
    if (const auto value = maskModeItem(CsvField(entry, 4)))
        phone.MaskMode = *value;
    for (int slot = 0; slot < AuthorisedPhone::kMaskSlots; ++slot) {
        const auto code = maskChannelCode(CsvField(entry, slot + kFirstMaskField));
        phone.Mask[slot] = code.value_or(AuthorisedPhone::kEmptySlot);
    }
}
