// Time of comparing two whole configurations that differ in one value. The
// sections built so far are padded with a stand-in section up to the size of
// the full model, as in the file benchmark, so the figure means the same at
// every stage.
#include <QElapsedTimer>
#include <QTextStream>

#include <algorithm>
#include <memory>
#include <vector>

#include "files/configcompare.h"
#include "files/inidocument.h"
#include "files/sectionregistry.h"
#include "model/configstore.h"
#include "model/texthelpers.h"
#include "sections/sectionlist.h"

namespace {

constexpr int kFullModelKeys = 6000;
constexpr int kKeysPerSection = 40;
constexpr int kRuns = 51;

// Numbered keys in numbered sections, like the channel sections write them.
class StandInSection : public SectionCore {
public:
    StandInSection(QString name, int keys) : name_(std::move(name)), keys_(keys) {}
    QString name() const override { return name_; }
    void clear(ConfigStore &) const override {}
    void save(const ConfigStore &, IniDocument &doc) const override
    {
        for (int k = 0; k < keys_; ++k)
            doc.writeValue(QStringLiteral("STANDIN") + NumStr(k / kKeysPerSection),
                           QStringLiteral("VALOR(") + NumStr(k % kKeysPerSection) + u')',
                           NumStr(float(k) * 0.25f));
    }

private:
    QString name_;
    int keys_;
};

int keysWritten(const SectionRegistry &registry, const ConfigStore &store)
{
    IniDocument doc;
    registry.saveAll(store, doc);
    return int(QString::fromLatin1(doc.serialize()).count(u'='));
}

QString freeSectionName(const SectionRegistry &registry)
{
    for (const QString &name : SectionRegistry::fileOrder()) {
        if (!registry.find(name))
            return name;
    }
    return {};
}

} // namespace

int main()
{
    QTextStream out(stdout);
    auto left = std::make_unique<ConfigStore>();
    auto right = std::make_unique<ConfigStore>();
    SectionRegistry registry;
    registerSections(registry);
    registry.clearAll(*left);
    registry.clearAll(*right);
    right->Flow[1].Ratio = 0.5f;

    const int sectionKeys = keysWritten(registry, *left);
    const int padding = std::max(0, kFullModelKeys - sectionKeys);
    const QString freeName = freeSectionName(registry);
    if (padding > 0 && !freeName.isEmpty())
        registry.add(std::make_unique<StandInSection>(freeName, padding));
    const int totalKeys = keysWritten(registry, *left);

    std::vector<double> times;
    qsizetype found = 0;
    QElapsedTimer timer;
    for (int run = 0; run < kRuns; ++run) {
        timer.start();
        found = compareConfigurations(*left, *right, registry).size();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    out << "keys: " << totalKeys << " (" << sectionKeys << " from the sections, " << totalKeys - sectionKeys
        << " stand-in); differences found: " << found << Qt::endl;
    out << "median of " << kRuns << " runs: compare " << QString::number(times[times.size() / 2], 'f', 2)
        << " ms" << Qt::endl;
    return 0;
}
