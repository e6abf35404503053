// The service history's repository at fleet size: what a commit adds to an
// operation, the fleet list over every unit, and sharing new copies with a
// remote that holds many, as medians. Usage: history_bench [UNITS [COPIES [NEW]]]
// (defaults 2000 units, 10 copies each, 100 new copies).
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimeZone>
#include <algorithm>
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

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

// The median time of `runs` calls of f, in ms.
template <typename F> double medianMs(int runs, F f)
{
    QList<double> times;
    QElapsedTimer t;
    for (int i = 0; i < runs; ++i) {
        t.restart();
        f(i);
        times << msSince(t);
    }
    return median(times);
}

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
    const double plainMs = medianMs(100, [&](int i) {
        saveConfigFile(dir.filePath(QStringLiteral("plain-%1.qcf").arg(i)), *store, sections);
    });
    Recorder seed(dir.filePath(QStringLiteral("seed")), QStringLiteral("Seed"));
    QElapsedTimer t;
    t.start();
    for (int c = 0; c < copies; ++c)
        for (int u = 0; u < units; ++u)
            if (!seed.record(QStringLiteral("VS21-%1").arg(u, 6, 10, QLatin1Char('0')), *store, sections))
                return 1;
    const int total = units * copies;
    const double buildMs = msSince(t);
    out << "recorded " << total << " copies in " << buildMs / 1000 << " s: " << buildMs / total
        << " ms per operation, of which the file " << plainMs << " ms" << Qt::endl;

    const double recordMs = medianMs(50, [&](int) { seed.record(QStringLiteral("VS21-000001"), *store, sections); });
    out << "commit overhead with " << total << " copies in the history: " << recordMs - plainMs
        << " ms per operation (median of 50; the file alone " << plainMs << " ms)" << Qt::endl;

    // As velkan-cli runs it: one operation per process, which opens the
    // repository, looks for files left uncommitted and writes the index at the end.
    const double coldMs = medianMs(5, [&](int i) {
        Recorder once(seed.history.root(), QStringLiteral("Seed"));
        once.time = seed.time.addSecs(100 + i);
        once.record(QStringLiteral("VS21-000001"), *store, sections);
    });
    out << "commit overhead of one operation in a process of its own: " << coldMs - plainMs << " ms (median of 5)"
        << Qt::endl;

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
