#pragma once

#include "files/sectioncore.h"

// The MODBUS bus settings: the unit's "MODBUS.PRM" line, the "MODBUS" file
// keys. This product sends no MODBUS line to the unit.
class ModbusCore : public SectionCore {
public:
    QString name() const override;
    void clear(ConfigStore &store) const override;

    QStringList keywords() const override;
    void parseLine(ConfigStore &store, DownloadState &state, const QString &keyword,
                   const QString &line, quint32 features) const override;
    QStringList downloadLines(const ConfigStore &store, quint32 features) const override;

    void save(const ConfigStore &store, IniDocument &doc) const override;
    void restore(ConfigStore &store, const IniDocument &doc) const override;
};

// A unit that cannot be a bus slave is always master: while such a unit is
// connected the settings say so, whatever a file brought. Called whenever the
// unit's identity arrives and after a file is restored.
void ForceModbusMaster(ConfigStore &store, bool unitConnected, quint32 unitFeatures);
