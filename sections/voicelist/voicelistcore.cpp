#include "voicelistcore.h"

#include <optional>

#include "files/inidocument.h"
#include "files/langtable.h"
#include "model/configstore.h"
#include "model/texthelpers.h"
#include "sections/common/fieldtext.h"

namespace {

const QString kSection = QStringLiteral("AUT_VOZ");
const QString kMacroKey = QStringLiteral("MACRO");
const QString kSendAckKey = QStringLiteral("SEND_ACK");

QString numberKey(int slot)
{
    return QStringLiteral("TEL") + NumStr(slot);
}

// Only a whole number naming a macro selects one. Anything else, a missing
// key included, means none: a file without the key holds no macro, and a
// wrong one must not make every authorised call run macro 0.
qint16 macroValue(const QString &text)
{
    if (!IsIntegerText(text))
        return VoiceAuthList::kNoMacro;
    const std::optional<qint16> macro = ToInt16(ParseNumber(text));
    if (!macro || *macro < VoiceAuthList::kNoMacro || *macro > VoiceAuthList::kLastMacro)
        return VoiceAuthList::kNoMacro;
    return *macro;
}

} // namespace

QString VoiceListCore::name() const
{
    return QStringLiteral("Aut_Voz");
}

QString VoiceListCore::fileSection()
{
    return kSection;
}

void VoiceListCore::clear(ConfigStore &store) const
{
    VoiceAuthList &list = store.VoiceList;
    list.Numbers.fill(QString());
    list.Count = 0;
    list.CallMacro = VoiceAuthList::kNoMacro;
    list.ListCrc = VoiceListCrc(list);
}

void VoiceListCore::save(const ConfigStore &store, IniDocument &doc) const
{
    const VoiceAuthList &list = store.VoiceList;
    doc.writeValue(kSection, kMacroKey, NumStr(list.CallMacro));
    doc.writeValue(kSection, kSendAckKey, BoolText(list.SendAck));
    for (int slot = 0; slot < VoiceAuthList::kSlots; ++slot)
        doc.writeValue(kSection, numberKey(slot), list.Numbers[slot]);
}

// Each number goes back to the slot it was saved from; Count and the CRC
// follow when the list is next packed.
void VoiceListCore::restore(ConfigStore &store, const IniDocument &doc) const
{
    clear(store);
    VoiceAuthList &list = store.VoiceList;
    list.CallMacro = macroValue(doc.readValue(kSection, kMacroKey));
    list.SendAck = TextBool(doc.readValue(kSection, kSendAckKey));
    for (int slot = 0; slot < VoiceAuthList::kSlots; ++slot)
        list.Numbers[slot] = doc.readValue(kSection, numberKey(slot));
}

std::optional<FieldTerm> VoiceListCore::fieldTerm(const IniDocument &side, const QString &item, const QString &key) const
{
    static const QHash<QString, KeyCaption> captions = {
        {"MACRO", {"Macro a ejecutar por llamada de voz:"}},
        {"SEND_ACK", {"Habilitar acuse de recibo"}},
        {"TEL", {"Telefono:"}},
    };
    std::optional<FieldTerm> term = captionedFieldTerm(side, kSection, item, key, captions);
    // The macro is a choice of the window's list, whose first item is "No".
    if (term && key == kMacroKey) {
        const qint16 macro = macroValue(side.readValue(item, key));
        term->value = macro == VoiceAuthList::kNoMacro ? Translate(QStringLiteral("No")) : QString::number(macro);
    }
    return term;
}
