#pragma once

#include "files/sectioncore.h"

// The flow meters FL0-FL7 and the spare record: name, unit, time base and
// pulse ratio, and their alarms through the alarm family. The totalizer
// weights ("TOTALRATIO") belong to the sample-rate section, but travel in the
// upload between each meter's line and its alarm lines, so they are sent here.
class FlowCore : public SectionCore {
public:
    QString name() const override;

    // Kind fields and alarm slots to their defaults; the totalizer weights stay.
    void clear(ConfigStore &store) const override;

    QStringList keywords() const override;
    void parseLine(ConfigStore &store, DownloadState &state, const QString &keyword,
                   const QString &line, quint32 features) const override;
    QStringList downloadLines(const ConfigStore &store, quint32 features) const override;

    QStringList uploadLines(const ConfigStore &store, const UploadContext &context) const override;
    bool applyUploadLine(ConfigStore &store, const QString &line, quint32 features) const override;

    void save(const ConfigStore &store, IniDocument &doc) const override;
    void restore(ConfigStore &store, const IniDocument &doc) const override;
    // The meter's keys as the flow meter window names them; its limits and
    // hysteresis, kept in pulses, in engineering units (times the ratio).
    std::optional<FieldTerm> fieldTerm(const IniDocument &side, const QString &item,
                                       const QString &key) const override;
};
