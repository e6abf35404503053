#include "gprscore.h"

#include <array>
#include <optional>
#include <type_traits>
#include <variant>

#include "files/inidocument.h"
#include "link/devicevalues.h"
#include "model/configstore.h"
#include "model/texthelpers.h"
#include "sections/common/fieldtext.h"
#include "sections/common/uploadline.h"

namespace {

const QString kSection = QStringLiteral("GPRS");
const QString kKeyword = QStringLiteral("GPRS");

using Member = std::variant<QString GprsConfig::*, qint16 GprsConfig::*, qint32 GprsConfig::*,
                            bool GprsConfig::*>;

// One setting. The table's order is the order of the unit's line, of the
// upload and of the file.
struct Setting {
    QLatin1String fileKey;
    QLatin1String linePrefix; // upload line, before the value
    Member member;
    // Switches: what follows the prefix when on and when off.
    QLatin1String on{""};
    QLatin1String off{""};
};

const std::array<Setting, 17> kSettings{{
    {QLatin1String("APN_SERVER"), QLatin1String("APNSERVER="), &GprsConfig::ApnServer},
    {QLatin1String("APN_PASS"), QLatin1String("APNPASS="), &GprsConfig::ApnPassword},
    {QLatin1String("APN_USER"), QLatin1String("APNUSER="), &GprsConfig::ApnUser},
    {QLatin1String("APN_RETRIES"), QLatin1String("APNRETRIES="), &GprsConfig::ApnRetries},
    {QLatin1String("APN_RETIME"), QLatin1String("APNRETRYTIME="), &GprsConfig::ApnRetryTime},
    {QLatin1String("APN_TIMEOUT"), QLatin1String("APNTIMEOUT="), &GprsConfig::ApnTimeout},
    {QLatin1String("ALWAYS_CON"), QLatin1String("APNALCON="), &GprsConfig::KeepConnected,
     QLatin1String("1"), QLatin1String("0")},
    {QLatin1String("SERVER_IP"), QLatin1String("SERVERIP="), &GprsConfig::ServerIp},
    {QLatin1String("SERVER_PORT"), QLatin1String("SERVERPORT="), &GprsConfig::ServerPort},
    {QLatin1String("SERVER_TIMEOUT"), QLatin1String("SERVERTIMEOUT="), &GprsConfig::ServerTimeout},
    {QLatin1String("ENABLED"), QLatin1String(""), &GprsConfig::GprsEnabled, QLatin1String("GPRSEN"),
     QLatin1String("GPRSDIS")},
    {QLatin1String("FTP_IP"), QLatin1String("FTPIP="), &GprsConfig::FtpIp},
    {QLatin1String("FTP_PATH"), QLatin1String("FTPPATH="), &GprsConfig::FtpPath},
    {QLatin1String("FTP_USER"), QLatin1String("FTPUSER="), &GprsConfig::FtpUser},
    {QLatin1String("FTP_PASS"), QLatin1String("FTPPASS="), &GprsConfig::FtpPassword},
    {QLatin1String("FTP_RETRIES"), QLatin1String("FTPRETRIES="), &GprsConfig::FtpRetries},
    {QLatin1String("FTP_RETIME"), QLatin1String("FTPRETRYTIME="), &GprsConfig::FtpRetryTime},
}};
constexpr int kGprsSettings = 11; // the FTP settings follow
constexpr int kFirstLineField = 2;

enum class Form { Upload, UnitLine, File };

QString valueText(const GprsConfig &gprs, const Setting &setting, Form form)
{
    return std::visit(
        [&](auto member) -> QString {
            const auto &value = gprs.*member;
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, QString>) {
                return value;
            } else if constexpr (std::is_same_v<T, bool>) {
                if (form == Form::Upload)
                    return value ? setting.on : setting.off;
                if (form == Form::UnitLine)
                    return QString::number(int(value));
                return BoolText(value);
            } else {
                return form == Form::UnitLine ? QString::number(value) : NumStr(value);
            }
        },
        setting.member);
}

std::optional<qint16> toField(double value, qint16) { return ToInt16(value); }
std::optional<qint32> toField(double value, qint32) { return ToInt32(value); }

// Texts are taken as they stand; a number that does not fit its field leaves
// the field as it was.
void setValue(GprsConfig &gprs, const Setting &setting, const QString &text, bool (*readSwitch)(const QString &))
{
    std::visit(
        [&](auto member) {
            auto &field = gprs.*member;
            using T = std::decay_t<decltype(field)>;
            if constexpr (std::is_same_v<T, QString>) {
                field = text;
            } else if constexpr (std::is_same_v<T, bool>) {
                field = readSwitch(text);
            } else if (const std::optional<T> value = toField(ParseNumber(text), T{})) {
                field = *value;
            }
        },
        setting.member);
}

bool unitSwitch(const QString &text)
{
    return ParseNumber(text) != 0;
}

bool fileSwitch(const QString &text)
{
    return TextBool(text);
}

// The settings a unit with these capability flags takes.
int uploadedSettings(quint32 features)
{
    if (!(features & Feature::GprsSettings))
        return 0;
    return (features & Feature::FtpSettings) ? int(kSettings.size()) : kGprsSettings;
}

// The value of a setting's upload line; none for another setting's line. A
// switch without a prefix is its on or off word alone.
std::optional<QString> settingValue(const Setting &setting, const QString &line)
{
    if (setting.linePrefix.isEmpty() && line != setting.on && line != setting.off)
        return std::nullopt;
    return UploadValue(line, QString(setting.linePrefix));
}

// One setting's upload value back into the field: a text as it stands, a
// number as NumStr writes it, a switch as exactly its on or off word.
bool setUploadValue(GprsConfig &gprs, const Setting &setting, const QString &text)
{
    return std::visit(
        [&](auto member) {
            auto &field = gprs.*member;
            using T = std::decay_t<decltype(field)>;
            if constexpr (std::is_same_v<T, QString>) {
                field = text;
                return true;
            } else if constexpr (std::is_same_v<T, bool>) {
                if (text != setting.on && text != setting.off)
                    return false;
                field = text == setting.on;
                return true;
            } else {
                const std::optional<double> number = UploadWhole(text);
                const std::optional<T> value = number ? toField(*number, T{}) : std::nullopt;
                if (value)
                    field = *value;
                return value.has_value();
            }
        },
        setting.member);
}

} // namespace

QString GprsCore::name() const
{
    return QStringLiteral("GPRS");
}

void GprsCore::clear(ConfigStore &store) const
{
    GprsConfig &gprs = store.Gprs;
    gprs = GprsConfig{};
    gprs.ApnRetries = 10;
    gprs.ApnRetryTime = 60;
    gprs.ApnTimeout = 120;
    gprs.ServerIp = QStringLiteral("0");
    gprs.ServerTimeout = 300;
    gprs.FtpIp = QStringLiteral("0");
    gprs.FtpRetries = 10;
    gprs.FtpRetryTime = 60;
}

QStringList GprsCore::keywords() const
{
    return {kKeyword};
}

// "GPRS,<17 values>": an absent field reads as empty (texts empty, numbers 0,
// switches off); extra fields are ignored.
void GprsCore::parseLine(ConfigStore &store, DownloadState &, const QString &, const QString &line,
                         quint32) const
{
    for (int i = 0; i < int(kSettings.size()); ++i)
        setValue(store.Gprs, kSettings[i], LineField(line, kFirstLineField + i), unitSwitch);
}

QStringList GprsCore::downloadLines(const ConfigStore &store, quint32) const
{
    QStringList fields{kKeyword};
    for (const Setting &setting : kSettings)
        fields << valueText(store.Gprs, setting, Form::UnitLine);
    return {fields.join(QLatin1Char(','))};
}

QStringList GprsCore::uploadLines(const ConfigStore &store, const UploadContext &context) const
{
    const int count = uploadedSettings(context.features);
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines << kSettings[i].linePrefix + valueText(store.Gprs, kSettings[i], Form::Upload);
    return lines;
}

bool GprsCore::applyUploadLine(ConfigStore &store, const QString &line, quint32 features) const
{
    for (int i = 0; i < uploadedSettings(features); ++i) {
        if (const std::optional<QString> value = settingValue(kSettings[i], line))
            return setUploadValue(store.Gprs, kSettings[i], *value);
    }
    return false;
}

void GprsCore::save(const ConfigStore &store, IniDocument &doc) const
{
    for (const Setting &setting : kSettings)
        doc.writeValue(kSection, setting.fileKey, valueText(store.Gprs, setting, Form::File));
}

// A missing key reads as empty, which gives an empty text, 0 or off rather
// than Clear's value; a number that does not fit keeps Clear's.
void GprsCore::restore(ConfigStore &store, const IniDocument &doc) const
{
    clear(store);
    for (const Setting &setting : kSettings)
        setValue(store.Gprs, setting, doc.readValue(kSection, setting.fileKey), fileSwitch);
}

std::optional<FieldTerm> GprsCore::fieldTerm(const IniDocument &side, const QString &item, const QString &key) const
{
    // The GPRS window's captions; the APN and FTP frames share some, so each
    // key of a frame is named with its frame.
    static constexpr const char *apn = "Parametros de la APN";
    static constexpr const char *gprs = "Parametros GPRS";
    static constexpr const char *ftp = "Parametros FTP";
    static constexpr const char *seconds = "Segundos";
    static const QHash<QString, KeyCaption> captions = {
        {"APN_SERVER", {"APN Server:", apn}},
        {"APN_PASS", {"APN Password:", apn}},
        {"APN_USER", {"APN User Name:", apn}},
        {"APN_RETRIES", {"Reintentos de conexion:", apn}},
        {"APN_RETIME", {"Tiempo entre reintentos:", apn, seconds}},
        {"APN_TIMEOUT", {"Timeout desconexion:", apn, seconds}},
        {"ALWAYS_CON", {"Mantener la conexion permanentemente", gprs}},
        {"SERVER_IP", {"Direccion IP del servidor:", gprs}},
        {"SERVER_PORT", {"Puerto:", gprs}},
        {"SERVER_TIMEOUT", {"Timeout:", gprs, seconds}},
        {"ENABLED", {"Habilitar comunicacion GPRS"}},
        {"FTP_IP", {"Direccion IP del servidor:", ftp}},
        {"FTP_PATH", {"Ruta:", ftp}},
        {"FTP_USER", {"Usuario:", ftp}},
        {"FTP_PASS", {"Contraseña:", ftp}},
        {"FTP_RETRIES", {"Reintentos de conexion:", ftp}},
        {"FTP_RETIME", {"Tiempo entre reintentos:", ftp, seconds}},
    };
    return captionedFieldTerm(side, kSection, item, key, captions);
}
