#pragma once

#include "files/sectioncore.h"

// The macro and equation pool: rows kept as the unit lists them
// ("MACRO3={...}", "F2={...}"), filled from the download in arrival order and
// sent back unchanged.
class MacroCore : public SectionCore {
public:
    QString name() const override;
    void clear(ConfigStore &store) const override;

    QStringList keywords() const override;
    void parseLine(ConfigStore &store, DownloadState &state, const QString &keyword,
                   const QString &line, quint32 features) const override;
    QStringList downloadLines(const ConfigStore &store, quint32 features) const override;

    QStringList uploadLines(const ConfigStore &store, const UploadContext &context) const override;
    bool applyUploadLine(ConfigStore &store, const QString &line, quint32 features) const override;

    void save(const ConfigStore &store, IniDocument &doc) const override;
    void restore(ConfigStore &store, const IniDocument &doc) const override;

    std::optional<FieldTerm> fieldTerm(const IniDocument &side, const QString &item,
                                       const QString &key) const override;
};
