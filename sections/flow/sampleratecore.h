#pragma once

#include "files/sectioncore.h"

// The pulse settings shared by every flow meter: the sampling frequency
// (kept in the model only: neither uploaded nor saved) and each meter's
// totalizer weight, saved as "TOTALRATIO" in the meter's file section.
class SampleRateCore : public SectionCore {
public:
    static constexpr qint16 kLowRate = 64;
    static constexpr qint16 kHighRate = 256;

    QString name() const override;

    // The caption of meter `meter`'s weight in the language table's form
    // ("Totalizador 2, un pulso equivale a:"), and a weight as the page's
    // lists show it ("0.01m3").
    static QString totalizerCaption(int meter);
    static QString weightText(const QString &number);

    // 64 Hz and a weight of 1 for meters 0 to FlowCount - 1.
    void clear(ConfigStore &store) const override;

    QStringList keywords() const override;
    void parseLine(ConfigStore &store, DownloadState &state, const QString &keyword,
                   const QString &line, quint32 features) const override;
    QStringList downloadLines(const ConfigStore &store, quint32 features) const override;

    // Saved after the flow meters' own keys, restored after them.
    void save(const ConfigStore &store, IniDocument &doc) const override;
    void restore(ConfigStore &store, const IniDocument &doc) const override;

    std::optional<FieldTerm> fieldTerm(const IniDocument &side, const QString &item,
                                       const QString &key) const override;
};
