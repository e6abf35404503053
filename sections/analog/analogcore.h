#pragma once

#include "files/sectioncore.h"

// The four analog inputs with their alarm slots: the unit's "ANALOG",
// "ANALOG.ALM" and "ANALOG.ACT" lines and the "ANALOG n" file sections. This
// product has no analog editor and sends no analog line to the unit.
class AnalogCore : public SectionCore {
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
