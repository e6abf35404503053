#pragma once

#include "files/sectioncore.h"

// 1-Wire probes: name, unit, kind and address of each probe, then its four
// alarm slots.
class OneWireCore : public SectionCore {
public:
    QString name() const override;
    // Clear keeps each probe's address mode (UseId).
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

// The address both halves of a probe hold when it is alone on the bus.
inline const QString kSingleProbeAddress = QStringLiteral("000.000.000.000");
