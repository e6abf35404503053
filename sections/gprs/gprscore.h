#pragma once

#include "files/sectioncore.h"

// GPRS connection and FTP settings: one "GPRS" line from the unit, eleven
// GPRS lines and six FTP lines to units that take them, the "GPRS" file keys.
class GprsCore : public SectionCore {
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
