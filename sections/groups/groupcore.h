#pragma once

#include "files/sectioncore.h"

// The four analog channel groups: the unit's "GROUP" lines and the
// "GRUPO n" file sections. This product sends no group line to the unit.
class GroupCore : public SectionCore {
public:
    QString name() const override;
    void clear(ConfigStore &store) const override;

    QStringList keywords() const override;
    void parseLine(ConfigStore &store, DownloadState &state, const QString &keyword,
                   const QString &line, quint32 features) const override;
    QStringList downloadLines(const ConfigStore &store, quint32 features) const override;

    void save(const ConfigStore &store, IniDocument &doc) const override;
    void restore(ConfigStore &store, const IniDocument &doc) const override;

    std::optional<FieldTerm> fieldTerm(const IniDocument &side, const QString &item,
                                       const QString &key) const override;
};
