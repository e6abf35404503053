#include "commissioningreport.h"

#include <QBuffer>
#include <QLocale>
#include <QPdfWriter>
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
        {"Fecha", QLocale().toString(facts.date, QLocale::ShortFormat)},
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
    html += tableStart() + QStringLiteral("<tr><td height=\"220\">&nbsp;</td></tr></table><p>&nbsp;</p>");
    html += tableStart()
            + row({Translate(QStringLiteral("Firma del tecnico")), Translate(QStringLiteral("Firma del cliente"))}, "th")
            + QStringLiteral("<tr><td height=\"110\">&nbsp;</td><td height=\"110\">&nbsp;</td></tr></table>");
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
    return result + QStringLiteral(" (%1)").arg(QLocale().toString(write.time.toLocalTime(), QLocale::ShortFormat));
}

} // namespace

void addHistoryFacts(ReportFacts &facts, const ServiceHistory &history, const ConfigStore &store,
                     const SectionRegistry &sections)
{
    for (const FleetUnit &unit : fleetUnits(history)) {
        if (facts.firmware.isEmpty() && normalSerial(unit.serial) == normalSerial(facts.serial))
            facts.firmware = unit.firmware;
    }
    facts.writeCheck = writeCheckText(lastWriteOf(history, facts.serial, store, sections));
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

QPageSize::PageSizeId reportPageSize(const QLocale &locale)
{
    static const QList<QLocale::Territory> letter = {
        QLocale::UnitedStates, QLocale::Canada,    QLocale::Mexico, QLocale::Philippines,
        QLocale::Chile,        QLocale::Colombia,  QLocale::Venezuela, QLocale::PuertoRico};
    return letter.contains(locale.territory()) ? QPageSize::Letter : QPageSize::A4;
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
