#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "sectioncore.h"

// Every section core, walked in the orders of SectionNames.
// Sections not built into this program are simply absent from the walk.
class SectionRegistry {
public:
    // Order of Clear at start-up and before a download.
    static const QStringList &clearOrder();
    // Order of the file save and restore.
    static const QStringList &fileOrder();
    // Order of the upload stream.
    static const QStringList &uploadOrder();

    void add(std::unique_ptr<SectionCore> core);

    const SectionCore *find(const QString &name) const;
    const SectionCore *forKeyword(const QString &keyword) const;
    // The registered cores' names, in the order registered.
    QStringList names() const;
    // Faults of the three orders against the product's section names and the
    // registered cores (see SectionNames::faults); empty when none.
    QStringList nameFaults() const;

    void clearAll(ConfigStore &store) const;
    QStringList uploadLines(const ConfigStore &store, const UploadContext &context) const;
    // One line of a configuration download ("#BD012DNAME,Tank3") through the
    // section that knows its keyword; lines of unknown keywords are skipped.
    void readStreamLine(ConfigStore &store, DownloadState &state, const QString &line,
                        quint32 features) const;
    // The unit's side: one upload line through the section that reads it;
    // false when no section does.
    bool applyUploadLine(ConfigStore &store, const QString &line, quint32 features) const;
    void saveAll(const ConfigStore &store, IniDocument &doc) const;
    void restoreAll(ConfigStore &store, const IniDocument &doc) const;

private:
    template <typename F> void walk(const QStringList &order, F &&f) const;

    std::vector<std::unique_ptr<SectionCore>> cores_;
    QHash<QString, const SectionCore *> byName_;
    QHash<QString, const SectionCore *> byKeyword_;
};
