#include "sectionregistry.h"

#include "model/texthelpers.h"
#include "sectionnames.h"

const QStringList &SectionRegistry::clearOrder()
{
    return SectionNames::clearOrder();
}

const QStringList &SectionRegistry::fileOrder()
{
    return SectionNames::fileOrder();
}

const QStringList &SectionRegistry::uploadOrder()
{
    return SectionNames::uploadOrder();
}

void SectionRegistry::add(std::unique_ptr<SectionCore> core)
{
    const SectionCore *raw = core.get();
    byName_.insert(raw->name(), raw);
    for (const QString &keyword : raw->keywords())
        byKeyword_.insert(keyword, raw);
    cores_.push_back(std::move(core));
}

const SectionCore *SectionRegistry::find(const QString &name) const
{
    return byName_.value(name, nullptr);
}

const SectionCore *SectionRegistry::forKeyword(const QString &keyword) const
{
    return byKeyword_.value(keyword, nullptr);
}

QStringList SectionRegistry::names() const
{
    QStringList all;
    for (const auto &core : cores_)
        all << core->name();
    return all;
}

QStringList SectionRegistry::nameFaults() const
{
    return SectionNames::faults({{"Clear order", clearOrder()},
                                 {"File order", fileOrder()},
                                 {"Upload order", uploadOrder()}},
                                SectionNames::sections(), names());
}

template <typename F> void SectionRegistry::walk(const QStringList &order, F &&f) const
{
    for (const QString &name : order) {
        if (const SectionCore *core = find(name))
            f(*core);
    }
}

void SectionRegistry::clearAll(ConfigStore &store) const
{
    walk(clearOrder(), [&](const SectionCore &c) { c.clear(store); });
}

QStringList SectionRegistry::uploadLines(const ConfigStore &store, const UploadContext &context) const
{
    QStringList lines;
    walk(uploadOrder(), [&](const SectionCore &c) { lines += c.uploadLines(store, context); });
    return lines;
}

void SectionRegistry::readStreamLine(ConfigStore &store, DownloadState &state, const QString &line,
                                     quint32 features) const
{
    const QString keyword = LineField(line, 1).mid(6); // after "#BDnnn"
    if (const SectionCore *core = forKeyword(keyword))
        core->parseLine(store, state, keyword, line, features);
}

bool SectionRegistry::applyUploadLine(ConfigStore &store, const QString &line, quint32 features) const
{
    bool applied = false;
    walk(uploadOrder(), [&](const SectionCore &c) {
        applied = applied || c.applyUploadLine(store, line, features);
    });
    return applied;
}

void SectionRegistry::saveAll(const ConfigStore &store, IniDocument &doc) const
{
    walk(fileOrder(), [&](const SectionCore &c) { c.save(store, doc); });
}

void SectionRegistry::restoreAll(ConfigStore &store, const IniDocument &doc) const
{
    walk(fileOrder(), [&](const SectionCore &c) { c.restore(store, doc); });
}
