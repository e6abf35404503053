#pragma once

#include <QObject>
#include <QString>
#include <functional>

class FileCommands;
class SectionRegistry;
class UnitConnection;
struct ConfigStore;

// "Informe": the commissioning report of the configuration in the editors,
// as a PDF the operator names. The unit connected (else the one the
// configuration came from) gives the identity; the technician's name is
// asked once and kept in the settings the service history uses.
class ReportCommand : public QObject {
    Q_OBJECT
public:
    ReportCommand(UnitConnection &unit, ConfigStore &store, const SectionRegistry &sections, FileCommands &files,
                  QObject *parent = nullptr);

    // True when a report was written. A cancelled dialog does nothing.
    bool run();

    // The technician's name, asked when the settings hold none; empty when
    // the operator cancels. Tests replace it.
    std::function<QString()> askTechnician;
    // The per-user data folder of the service history; tests replace it.
    QString historyRoot;

signals:
    void reportWritten(const QString &path);

private:
    QString technician();

    UnitConnection &unit_;
    ConfigStore &store_;
    const SectionRegistry &sections_;
    FileCommands &files_;
};
