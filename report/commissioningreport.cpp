#include "commissioningreport.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QPdfWriter>
#include <QProcessEnvironment>
#include <QTextDocument>

#include "files/atomicsave.h"
#include "files/configfile.h"
#include "files/fieldcatalogue.h"
#include "files/historyfleet.h"
#include "files/lastwrite.h"
#include "files/langtable.h"
#include "link/devicevalues.h"
#include "model/product.h"

namespace {

// Lines of the report's 9-point text that make about 4 cm and 2.5 cm.
constexpr int kRemarkLines = 10;
constexpr int kSignatureLines = 6;

QString escaped(const QString &text)
{
    return text.toHtmlEscaped();
}

QString row(const QStringList &cells, const char *cell = "td")
{
    QString html = QStringLiteral("<tr>");
    for (const QString &text : cells)
        html += QStringLiteral("<%1>%2</%1>").arg(QLatin1String(cell), escaped(text));
    return html + QStringLiteral("</tr>");
}

// A table with lines around every cell, the width of the page.
QString tableStart()
{
    return QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\" width=\"100%\" "
                          "style=\"border-collapse: collapse;\">");
}

// A date as the report's language writes it, the year in full ("11/12/2026 13:11").
QString reportDate(const QDateTime &date)
{
    return date.toString(Translate(QStringLiteral("dd/MM/yyyy HH:mm")));
}

QString titlePage(const ReportFacts &facts)
{
    const QString unknown = Translate(QStringLiteral("No disponible"));
    const auto orUnknown = [&unknown](const QString &text) { return text.trimmed().isEmpty() ? unknown : text; };
    QString html = QStringLiteral("<h1>%1</h1>").arg(escaped(Translate(QStringLiteral("Informe de puesta en marcha"))));
    html += tableStart();
    const std::pair<const char *, QString> lines[] = {
        {"Numero de serie", orUnknown(facts.serial)},
        {"Nombre del equipo", orUnknown(facts.unitName)},
        {"Firmware", orUnknown(facts.firmware)},
        {"Funciones", orUnknown(facts.features.join(QStringLiteral(", ")))},
        {"Fecha", reportDate(facts.date)},
        {"Tecnico", orUnknown(facts.technician)},
        {"Origen de la configuracion", orUnknown(facts.source)},
        {"Ultima escritura", orUnknown(facts.writeCheck)},
    };
    for (const auto &[caption, value] : lines)
        html += row({Translate(QString::fromLatin1(caption)), value});
    return html + QStringLiteral("</table>");
}

// A section's table: its enabled records only, the record named on its first row.
QString sectionTable(const QString &caption, const QList<const CatalogueField *> &fields)
{
    QString html = QStringLiteral("<h2 style=\"page-break-before: always;\">%1</h2>").arg(escaped(caption));
    html += tableStart() + QStringLiteral("<thead>")
            + row({Translate(QStringLiteral("Registro")), Translate(QStringLiteral("Campo")),
                   Translate(QStringLiteral("Valor"))},
                  "th")
            + QStringLiteral("</thead>");
    QString record;
    for (const CatalogueField *field : fields) {
        html += row({field->record == record ? QString() : field->record, field->caption, field->shownValue()});
        record = field->record;
    }
    return html + QStringLiteral("</table>");
}

QString closingBlock()
{
    QString html = QStringLiteral("<h2 style=\"page-break-before: always;\">%1</h2>")
                       .arg(escaped(Translate(QStringLiteral("Observaciones"))));
    // The text layout keeps no height asked of a cell: empty lines make the room
    // to write in, about 4 cm for the remarks and 2.5 cm for each signature.
    const auto room = [](int lines) { return QStringLiteral("<td>&nbsp;%1</td>").arg(QStringLiteral("<br>").repeated(lines)); };
    html += tableStart() + QStringLiteral("<tr>%1</tr></table><p>&nbsp;</p>").arg(room(kRemarkLines));
    html += tableStart()
            + row({Translate(QStringLiteral("Firma del tecnico")), Translate(QStringLiteral("Firma del cliente"))}, "th")
            + QStringLiteral("<tr>%1%1</tr></table>").arg(room(kSignatureLines));
    return html;
}

// How the history's newest write of the configuration ended, in words.
QString writeCheckText(const LastWrite &write)
{
    if (!write.found)
        return Translate(QStringLiteral("Sin comprobar (ninguna escritura de esta configuracion en el historial)"));
    QString result;
    switch (write.kind) {
    case HistoryKind::VerifiedWrite:
        result = Translate(QStringLiteral("Verificada"));
        break;
    case HistoryKind::DifferingWrite:
        result = Translate(QStringLiteral("Con diferencias"));
        break;
    default:
        result = Translate(QStringLiteral("Sin comprobar"));
    }
    return result + QStringLiteral(" (%1)").arg(reportDate(write.time.toLocalTime()));
}

} // namespace

QStringList addHistoryFacts(ReportFacts &facts, const ServiceHistory &history, const ConfigStore &store,
                            const SectionRegistry &sections)
{
    for (const FleetUnit &unit : fleetUnits(history)) {
        if (facts.firmware.isEmpty() && !facts.serial.trimmed().isEmpty() && normalSerial(unit.serial) == normalSerial(facts.serial))
            facts.firmware = unit.firmware;
    }
    const LastWrite last = lastWriteOf(history, facts.serial, store, sections);
    facts.writeCheck = writeCheckText(last);
    return last.unreadable;
}

QString commissioningReportHtml(const FieldCatalogue &catalogue, const ReportFacts &facts)
{
    QString html = QStringLiteral("<html><body>") + titlePage(facts);
    QString caption;
    QList<const CatalogueField *> fields;
    const auto closeSection = [&] {
        if (!fields.isEmpty())
            html += sectionTable(caption, fields);
        fields.clear();
    };
    for (const CatalogueField &field : catalogue.fields()) {
        if (field.sectionCaption != caption) {
            closeSection();
            caption = field.sectionCaption;
        }
        if (field.enabled)
            fields << &field;
    }
    closeSection();
    return html + closingBlock() + QStringLiteral("</body></html>");
}

bool writeCommissioningReport(const QString &path, const FieldCatalogue &catalogue, const ReportFacts &facts,
                              QPageSize::PageSizeId size, QString *error)
{
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setPageSize(QPageSize(size));
        // The document keeps its own margins and numbers the pages inside them.
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setTitle(Translate(QStringLiteral("Informe de puesta en marcha")) + u' ' + facts.serial);
        writer.setCreator(Product::ProductTitle);
        QTextDocument document;
        QFont font = document.defaultFont();
        font.setPointSizeF(9);
        document.setDefaultFont(font);
        document.setHtml(commissioningReportHtml(catalogue, facts));
        document.print(&writer);
    }
    return SaveWholeFile(path, pdf.data(), error);
}

namespace {

// The path with every link and "." resolved, for a file that need not exist yet.
QString resolvedPath(const QString &path)
{
    const QFileInfo info(path);
    if (info.exists())
        return info.canonicalFilePath();
    const QString folder = info.absoluteDir().canonicalPath();
    return folder.isEmpty() ? info.absoluteFilePath() : QDir(folder).filePath(info.fileName());
}

bool startsAsPdf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(4) == "%PDF";
}

} // namespace

QString reportTargetProblem(const QString &output, const QString &input, const QString &historyRoot)
{
    const QString target = resolvedPath(output);
    if (!input.isEmpty() && target == resolvedPath(input))
        return Translate(QStringLiteral("El informe no puede escribirse sobre la configuracion que describe"));
    if (target.startsWith(resolvedPath(historyRoot) + u'/'))
        return Translate(QStringLiteral("El informe no puede escribirse en la carpeta del historial de servicio"));
    const QFileInfo existing(output);
    if (existing.isFile() && !startsAsPdf(output))
        return Translate(QStringLiteral("Ya existe un archivo con ese nombre que no es un PDF; no se reemplaza"));
    return {};
}

QPageSize::PageSizeId reportPageSize(const QLocale &locale)
{
    static const QList<QLocale::Territory> letter = {
        QLocale::UnitedStates, QLocale::Canada,    QLocale::Mexico, QLocale::Philippines,
        QLocale::Chile,        QLocale::Colombia,  QLocale::Venezuela, QLocale::PuertoRico};
    return letter.contains(locale.territory()) ? QPageSize::Letter : QPageSize::A4;
}

QPageSize::PageSizeId reportPageSize(const QProcessEnvironment &environment)
{
    for (const char *variable : {"LC_ALL", "LC_PAPER", "LANG"}) {
        // "en_US.UTF-8@euro": the language and territory before the codeset and modifier.
        const QString name = environment.value(QString::fromLatin1(variable)).section(u'.', 0, 0).section(u'@', 0, 0);
        if (!name.isEmpty())
            return reportPageSize(QLocale(name));
    }
    return reportPageSize(QLocale::system());
}

QStringList featureWords(quint32 features)
{
    static const std::pair<quint32, const char *> words[] = {
        {Feature::RetrySettings, "Reenvios de alarmas"},
        {Feature::GprsSettings, "GPRS"},
        {Feature::FlagAlarms, "Alarmas en flags"},
        {Feature::FtpSettings, "FTP"},
        {Feature::MathChannels, "Canales matematicos"},
        {Feature::DigitalNormallyClosed, "Entradas normalmente cerradas"},
        {Feature::WideChannelMask, "Mascara de canales ampliada"},
        {Feature::FastLineAck, "Confirmacion rapida de lineas"},
        {Feature::MonthlyTimers, "Temporizadores mensuales"},
        {Feature::MissedCallMacro, "Macro por llamada perdida"},
        {Feature::ModbusSlave, "Esclavo MODBUS"},
        {Feature::ExtendedPhoneMask, "Mascara de telefonos ampliada"},
        {Feature::PulseWeight, "Peso de pulso"},
        {Feature::FlowLimitsRaw, "Limites de caudal en pulsos"},
    };
    QStringList list;
    for (const auto &[bit, word] : words) {
        if (features & bit)
            list << Translate(QString::fromLatin1(word));
    }
    return list;
}
