// The service history's repository at fleet size: what a commit adds to an
// operation, the fleet list over every unit, and sharing new copies with a
// remote that holds many. Usage: history_bench [UNITS [COPIES [NEW]]]
// (defaults 2000 units, 10 copies each, 100 new copies).
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimeZone>
#include <memory>

#include "files/configfile.h"
#include "files/historyfleet.h"
#include "files/sectionregistry.h"
#include "files/servicehistory.h"
#include "model/configstore.h"
#include "sections/sectionlist.h"

namespace {

QTextStream out(stdout);

double msSince(const QElapsedTimer &t) { return double(t.nsecsElapsed()) / 1e6; }

struct Recorder {
    ServiceHistory history;
    QDateTime time{QDate(2026, 1, 1), QTime(0, 0), QTimeZone::utc()};
    explicit Recorder(const QString &root, const QString &name) : history(root)
    {
        history.technician = {name, name + QStringLiteral("@example.org")};
        history.clock = [this] { return time; };
        history.repositoryProblem = [](const QString &p) { out << "repository problem: " << p << Qt::endl; };
    }
    bool record(const QString &serial, ConfigStore &store, const SectionRegistry &sections)
    {
        time = time.addSecs(1);
        store.General.UnitName = serial;
        return history.record(serial, HistoryKind::Read, store, sections, nullptr, nullptr, QStringLiteral("2.15"));
    }
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int units = args.size() > 1 ? args[1].toInt() : 2000;
    const int copies = args.size() > 2 ? args[2].toInt() : 10;
    const int fresh = args.size() > 3 ? args[3].toInt() : 100;
    SectionRegistry sections;
    registerSections(sections);
    auto store = std::make_unique<ConfigStore>();
    sections.clearAll(*store);
    QTemporaryDir dir;

    // The file alone, as before the repository.
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < 100; ++i)
        saveConfigFile(dir.filePath(QStringLiteral("plain-%1.qcf").arg(i)), *store, sections);
    const double plainMs = msSince(t) / 100;

    Recorder seed(dir.filePath(QStringLiteral("seed")), QStringLiteral("Seed"));
    t.restart();
    for (int c = 0; c < copies; ++c)
        for (int u = 0; u < units; ++u)
            if (!seed.record(QStringLiteral("VS21-%1").arg(u, 6, 10, QLatin1Char('0')), *store, sections))
                return 1;
    const int total = units * copies;
    const double buildMs = msSince(t);
    out << "recorded " << total << " copies in " << buildMs / 1000 << " s: " << buildMs / total
        << " ms per operation, of which the file " << plainMs << " ms" << Qt::endl;

    t.restart();
    for (int i = 0; i < 50; ++i)
        seed.record(QStringLiteral("VS21-000001"), *store, sections);
    out << "commit overhead with " << total << " copies in the history: " << msSince(t) / 50 - plainMs
        << " ms per operation" << Qt::endl;

    ServiceHistory reader(seed.history.root());
    t.restart();
    const QList<FleetUnit> fleet = fleetUnits(reader);
    out << "units: " << fleet.size() << " units listed in " << msSince(t) << " ms" << Qt::endl;

    const QString remote = dir.filePath(QStringLiteral("team.git"));
    HistoryRepo::makeShared(remote);
    seed.history.repository().setRemote(remote);
    t.restart();
    SyncResult r = seed.history.repository().sync();
    out << "first share of " << r.sent << " copies: " << msSince(t) / 1000 << " s " << (r.ok ? "" : r.error)
        << Qt::endl;

    // Another technician, up to date, then offline for a while.
    Recorder other(dir.filePath(QStringLiteral("other")), QStringLiteral("Other"));
    other.history.repository().setRemote(remote);
    t.restart();
    r = other.history.repository().sync();
    out << "receiving " << r.received << " copies: " << msSince(t) / 1000 << " s " << (r.ok ? "" : r.error)
        << Qt::endl;
    other.time = QDateTime(QDate(2026, 6, 1), QTime(0, 0), QTimeZone::utc());
    for (int i = 0; i < fresh; ++i)
        other.record(QStringLiteral("VS21-%1").arg(i % units, 6, 10, QLatin1Char('0')), *store, sections);
    t.restart();
    r = other.history.repository().sync();
    out << "sharing " << r.sent << " new copies with a remote holding " << total + 50 << ": " << msSince(t) / 1000
        << " s " << (r.ok ? "" : r.error) << Qt::endl;

    // The seed meanwhile made copies of its own: its sync combines both sides.
    for (int i = 0; i < fresh; ++i)
        seed.record(QStringLiteral("VS21-%1").arg(i % units, 6, 10, QLatin1Char('0')), *store, sections);
    t.restart();
    r = seed.history.repository().sync();
    out << "sharing " << r.sent << " new copies and receiving " << r.received << " (" << r.renamed
        << " renamed): " << msSince(t) / 1000 << " s " << (r.ok ? "" : r.error) << Qt::endl;
    return 0;
}
