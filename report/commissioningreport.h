#pragma once

#include <QDateTime>
#include <QPageSize>
#include <QString>
#include <QStringList>

class FieldCatalogue;
class QLocale;
class QProcessEnvironment;
class SectionRegistry;
class ServiceHistory;
struct ConfigStore;

// What the title page of a commissioning report says of the unit and of the
// configuration's origin, every text in the program's language.
struct ReportFacts {
    QString serial;
    QString unitName;
    QString firmware;     // empty when not known
    QStringList features; // the unit's capabilities as words; empty when not known
    QDateTime date;
    QString technician;
    QString source;       // the file or the history copy the configuration came from
    QString writeCheck;   // how the last write of this configuration ended
};

// What the service history of facts.serial knows: the firmware the unit
// last reported (when facts has none) and how the newest write of `store`
// to it ended. Gives the history copies that could not be read on the way.
QStringList addHistoryFacts(ReportFacts &facts, const ServiceHistory &history, const ConfigStore &store,
                     const SectionRegistry &sections);

// The report as rich text: the title page, one table per section (enabled
// records only, each on a new page, the heading row repeated on each page),
// and the block for remarks and signatures.
QString commissioningReportHtml(const FieldCatalogue &catalogue, const ReportFacts &facts);

// Writes the report as a PDF at path, numbered pages of the given size;
// false, with error saying why, when the file cannot be written.
bool writeCommissioningReport(const QString &path, const FieldCatalogue &catalogue, const ReportFacts &facts,
                              QPageSize::PageSizeId size, QString *error = nullptr);

// Why a report may not be written at `output`, in the program's language;
// empty when it may. It may not replace the configuration it describes
// (`input`, through any path or link), anything in the service history's
// folder, or an existing file that is not a PDF.
QString reportTargetProblem(const QString &output, const QString &input, const QString &historyRoot);

// Letter where the locale's country uses it, A4 everywhere else.
QPageSize::PageSizeId reportPageSize(const QLocale &locale);
// The same for the locale the environment sets for paper: LC_ALL, else
// LC_PAPER, else LANG, as the C library reads them.
QPageSize::PageSizeId reportPageSize(const QProcessEnvironment &environment);

// The unit's capability flags as words ("Temporizadores mensuales"), translated.
QStringList featureWords(quint32 features);
