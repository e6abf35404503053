// Saves a configuration over the file named on the command line again and
// again until killed, alternating the unit name between the defaults and the
// one given. Prints "ready" once it is about to start.
#include <QCoreApplication>
#include <cstdio>
#include <memory>

#include "files/configfile.h"
#include "files/sectionregistry.h"
#include "model/configstore.h"
#include "sections/sectionlist.h"

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3)
        return 2;
    SectionRegistry registry;
    registerSections(registry);
    auto plain = std::make_unique<ConfigStore>();
    registry.clearAll(*plain);
    auto named = std::make_unique<ConfigStore>();
    registry.clearAll(*named);
    named->General.UnitName = args[2];
    std::puts("ready");
    std::fflush(stdout);
    for (bool flip = true;; flip = !flip)
        saveConfigFile(args[1], flip ? *named : *plain, registry);
}
