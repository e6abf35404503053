#include "digitalcore.h"

#include <optional>

#include "files/inidocument.h"
#include "link/devicevalues.h"
#include "model/configstore.h"
#include "model/texthelpers.h"
#include "sections/alarms/alarmcore.h"
#include "sections/common/downloadline.h"
#include "sections/common/uploadline.h"

namespace {

const QString kAnswer = QStringLiteral("DIGITAL");

const AlarmMemberRow &digitalRow()
{
    return alarmMember(AlarmMember::Digital);
}

// "DIGITAL,<index>,<name>,<contact>": any contact value but 0 is normally closed.
void parseInput(ConfigStore &store, const QString &line)
{
    const std::optional<int> index = ItemIndex(line, int(store.Digital.size()));
    if (!index)
        return;
    DigitalInput &input = store.Digital[*index];
    input.Name = LineField(line, 3);
    input.NC = ParseNumber(LineField(line, 4)) != 0;
}

// "DINAME<i>=<name>[,NC]"; only a unit that knows contact types takes ",NC".
bool applyNameLine(ConfigStore &store, const QString &line, quint32 features)
{
    const std::optional<UploadHead> head = ReadUploadHead(
        line, QStringLiteral("DINAME"), uploadedAlarmChannels(digitalRow(), UploadContext{features}),
        QLatin1Char('='));
    if (!head)
        return false;
    UploadFields fields(head->rest);
    const QString name = *fields.takeFirst();
    const bool nc = (features & Feature::DigitalNormallyClosed) && fields.takeWord(u"NC");
    if (!fields.empty())
        return false;
    store.Digital[head->index].Name = name;
    store.Digital[head->index].NC = nc;
    return true;
}

} // namespace

QString DigitalCore::name() const
{
    return QStringLiteral("E_Digital");
}

void DigitalCore::clear(ConfigStore &store) const
{
    for (DigitalInput &input : store.Digital) {
        input.Name.clear();
        input.NC = false;
    }
    clearAlarms(digitalRow(), store);
}

QStringList DigitalCore::keywords() const
{
    return QStringList{kAnswer} + alarmKeywords(digitalRow());
}

void DigitalCore::parseLine(ConfigStore &store, DownloadState &, const QString &keyword,
                            const QString &line, quint32) const
{
    if (keyword == kAnswer)
        parseInput(store, line);
    else
        parseAlarmLine(digitalRow(), store, keyword, line);
}

QStringList DigitalCore::downloadLines(const ConfigStore &store, quint32) const
{
    QStringList lines;
    for (int i = 0; i < int(store.Digital.size()); ++i) {
        const DigitalInput &input = store.Digital[i];
        lines << QStringList{kAnswer, QString::number(i), input.Name,
                             QString::number(input.NC ? -1 : 0)}
                     .join(QLatin1Char(','));
        lines << alarmDownloadLines(digitalRow(), store, i);
    }
    return lines;
}

QStringList DigitalCore::uploadLines(const ConfigStore &store, const UploadContext &context) const
{
    QStringList lines;
    // The inputs uploaded are the ones whose alarm lines go: DI0 to DigitalCount - 1.
    const int count = uploadedAlarmChannels(digitalRow(), context);
    const bool contactType = context.features & Feature::DigitalNormallyClosed;
    for (int i = 0; i < count; ++i) {
        const DigitalInput &input = store.Digital[i];
        QString line = QStringLiteral("DINAME") + QString::number(i) + QLatin1Char('=') + input.Name;
        if (contactType && input.NC)
            line += QStringLiteral(",NC");
        lines << line << alarmUploadLines(digitalRow(), store, i, context);
    }
    return lines;
}

bool DigitalCore::applyUploadLine(ConfigStore &store, const QString &line, quint32 features) const
{
    return applyNameLine(store, line, features) || applyAlarmUploadLine(digitalRow(), store, line, features);
}

void DigitalCore::save(const ConfigStore &store, IniDocument &doc) const
{
    for (int i = 0; i < int(store.Digital.size()); ++i) {
        const QString section = alarmFileSection(digitalRow(), i);
        doc.writeValue(section, QStringLiteral("NOMBRE"), store.Digital[i].Name);
        doc.writeValue(section, QStringLiteral("NC"), BoolText(store.Digital[i].NC));
        saveAlarmKeys(digitalRow(), store, i, doc);
    }
}

void DigitalCore::restore(ConfigStore &store, const IniDocument &doc) const
{
    clear(store);
    for (int i = 0; i < int(store.Digital.size()); ++i) {
        const QString section = alarmFileSection(digitalRow(), i);
        store.Digital[i].Name = doc.readValue(section, QStringLiteral("NOMBRE"));
        store.Digital[i].NC = TextBool(doc.readValue(section, QStringLiteral("NC")));
        restoreAlarmKeys(digitalRow(), store, i, doc);
    }
}

std::optional<FieldTerm> DigitalCore::fieldTerm(const IniDocument &side, const QString &item, const QString &key) const
{
    return alarmFieldTerm(digitalRow(), side, item, key);
}
