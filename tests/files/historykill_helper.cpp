// Records a unit's configuration into the service history named on the
// command line again and again until killed, one second apart in the
// history's clock. Prints "ready" once the first copy is committed.
#include <QCoreApplication>
#include <QTimeZone>
#include <cstdio>
#include <memory>

#include "files/sectionregistry.h"
#include "files/servicehistory.h"
#include "model/configstore.h"
#include "sections/sectionlist.h"

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2)
        return 2;
    SectionRegistry registry;
    registerSections(registry);
    auto store = std::make_unique<ConfigStore>();
    registry.clearAll(*store);
    ServiceHistory history(args[1]);
    history.technician = {QStringLiteral("Kill Helper"), QStringLiteral("kill@example.org")};
    QDateTime time(QDate(2026, 12, 10), QTime(8, 0), QTimeZone::utc());
    for (int n = 0;; ++n) {
        history.clock = [&] { return time; };
        store->General.UnitName = QStringLiteral("Pozo %1").arg(n);
        if (!history.record(QStringLiteral("VS21-000900"), HistoryKind::Read, *store, registry))
            return 1;
        time = time.addSecs(1);
        if (n == 0) {
            std::puts("ready");
            std::fflush(stdout);
        }
    }
}
