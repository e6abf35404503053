// Medians of what the field catalogue costs over a full configuration: one
// keystroke of the search (the catalogue read once, then a text matched
// against every field), building the catalogue itself, and the commissioning
// report written as a PDF. Goals: a keystroke under 5 ms, a report under 1 s.
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLocale>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "files/configfile.h"
#include "files/fieldcatalogue.h"
#include "files/sectionregistry.h"
#include "model/configstore.h"
#include "report/commissioningreport.h"
#include "sections/sectionlist.h"

namespace {

double medianMs(int runs, const std::function<void()> &work)
{
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    SectionRegistry sections;
    registerSections(sections);
    auto store = std::make_unique<ConfigStore>();
    sections.clearAll(*store);
    if (restoreConfigFile(QStringLiteral(VELKAN_TEST_DATA "/rich_config.qcf"), *store, sections)
        != RestoreResult::Restored) {
        out << "cannot read the configuration\n";
        return 1;
    }

    FieldCatalogue catalogue;
    const double build = medianMs(11, [&] { catalogue = FieldCatalogue(sections, *store); });
    out << "catalogue of " << catalogue.fields().size() << " fields built: " << build << " ms (median of 11)\n";
    // Each keystroke of "telefono" as typed, the catalogue already read.
    const QStringList keystrokes = {"t", "te", "tel", "tele", "telef", "telefo", "telefon", "telefono"};
    qsizetype found = 0;
    const double keystroke = medianMs(101, [&] {
        for (const QString &text : keystrokes)
            found += catalogue.find(text).size();
    }) / double(keystrokes.size());
    out << "search keystroke: " << keystroke << " ms (median of 101 runs of 8 keystrokes; goal < 5 ms)\n";

    QTemporaryDir dir;
    const QString pdf = dir.filePath("informe.pdf");
    ReportFacts facts{"VS21-000123", store->General.UnitName, "2.15", {}, QDateTime::currentDateTime(),
                      "Ana Ruiz", "rich_config.qcf", "Verificada"};
    const double report = medianMs(5, [&] {
        writeCommissioningReport(pdf, FieldCatalogue(sections, *store), facts, QPageSize::A4);
    });
    out << "report of the full configuration: " << report << " ms (median of 5, catalogue included; goal < 1000 ms)\n";
    return found > 0 ? 0 : 1;
}
