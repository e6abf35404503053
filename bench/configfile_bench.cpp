// Time of one whole-file save plus one restore of the configuration model.
// The sections built so far are padded with a stand-in section up to the
// size of the full model, so that the figure means the same at every stage.
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <ctime>
#include <memory>
#include <vector>

#include "files/configfile.h"
#include "files/inidocument.h"
#include "files/sectionregistry.h"
#include "model/configstore.h"
#include "model/texthelpers.h"
#include "sections/sectionlist.h"

namespace {

constexpr int kFullModelKeys = 6000;
constexpr int kKeysPerSection = 40;
constexpr int kRuns = 51;

// Writes and reads numbered keys in numbered sections, like the channel sections do.
class StandInSection : public SectionCore {
public:
    StandInSection(QString name, int keys) : name_(std::move(name)), keys_(keys) {}
    QString name() const override { return name_; }
    void clear(ConfigStore &) const override {}
    void save(const ConfigStore &, IniDocument &doc) const override
    {
        for (int k = 0; k < keys_; ++k)
            doc.writeValue(section(k), key(k), NumStr(float(k) * 0.25f));
    }
    void restore(ConfigStore &, const IniDocument &doc) const override
    {
        for (int k = 0; k < keys_; ++k)
            sum_ += ParseNumber(doc.readValue(section(k), key(k)));
    }
    double sum() const { return sum_; }

private:
    static QString section(int k) { return QStringLiteral("STANDIN") + NumStr(k / kKeysPerSection); }
    static QString key(int k) { return QStringLiteral("VALOR(") + NumStr(k % kKeysPerSection) + u')'; }

    QString name_;
    int keys_;
    mutable double sum_ = 0; // keeps the reads from being optimised away
};

int keysWritten(const SectionRegistry &registry, const ConfigStore &store)
{
    IniDocument doc;
    registry.saveAll(store, doc);
    return int(QString::fromLatin1(doc.serialize()).count(u'='));
}

// Milliseconds of processor time: on a busy machine the wall clock also counts other programs.
double processorMs()
{
    return double(std::clock()) * 1000.0 / CLOCKS_PER_SEC;
}

QString median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return QString::number(values[values.size() / 2], 'f', 2);
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
    ConfigStore store;
    SectionRegistry registry;
    registerSections(registry);
    registry.clearAll(store);

    const int sectionKeys = keysWritten(registry, store);
    const int padding = std::max(0, kFullModelKeys - sectionKeys);
    const QString freeName = freeSectionName(registry);
    if (padding > 0 && !freeName.isEmpty())
        registry.add(std::make_unique<StandInSection>(freeName, padding));
    const int totalKeys = keysWritten(registry, store);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.qcf"));
    FileFailure error;
    if (!saveConfigFile(path, store, registry, &error)) {
        out << "cannot save " << error.path << ": " << error.detail << Qt::endl;
        return 1;
    }

    std::vector<double> save, restore, total, processor;
    QElapsedTimer timer;
    for (int run = 0; run < kRuns; ++run) {
        const double processorStart = processorMs();
        timer.start();
        const bool saved = saveConfigFile(path, store, registry, &error);
        save.push_back(double(timer.nsecsElapsed()) / 1e6);
        const bool restored = restoreConfigFile(path, store, registry) == RestoreResult::Restored;
        total.push_back(double(timer.nsecsElapsed()) / 1e6);
        restore.push_back(total.back() - save.back());
        processor.push_back(processorMs() - processorStart);
        if (!saved || !restored) {
            out << "run " << run << " failed: " << error.path << ": " << error.detail << Qt::endl;
            return 1;
        }
    }
    out << "keys: " << totalKeys << " (" << sectionKeys << " from the sections, "
        << totalKeys - sectionKeys << " stand-in)" << Qt::endl;
    out << "medians of " << kRuns << " runs: save + restore " << median(total) << " ms (save "
        << median(save) << " ms, of which the disk sync is part; restore " << median(restore)
        << " ms); processor time " << median(processor) << " ms" << Qt::endl;
    return 0;
}
