#pragma once

#include <QString>

#include <span>
#include <vector>

#include "sections/alarms/alarmeditor.h"

class QGroupBox;
class QHBoxLayout;
class QLineEdit;
class QRadioButton;

// An alarm editor whose channels also carry a name, a unit and an interface
// choice: `Nombre` and `Unidad` in their frames and the `Int_` options in the
// frame "Interfaz", on one row above the alarm block. Names and units refuse
// a comma, which would split the unit's answer; stored texts are shown whole
// and stay as they are unless edited.
class ChannelKindEditor : public AlarmEditor {
    Q_OBJECT
public:
    // One `Int_` option and the InterfaceValue it stands for.
    struct InterfaceOption {
        const char *objectName;
        const char *caption;
        int value;
    };

    ChannelKindEditor(const AlarmMemberRow &member, ConfigStore &store,
                      const SectionRegistry &sections, std::span<const InterfaceOption> options,
                      ActionEditor actions, QWidget *parent);

    void LoadText() override;

    QLineEdit *Nombre;
    QLineEdit *Unidad;
    QGroupBox *FrameInterfaz;

protected:
    // The row of the kind's frames; a kind may add frames of its own to it.
    QHBoxLayout *kindRow() const { return row_; }

    void showNameUnit(const QString &name, const QString &unit);
    void storeNameUnit(QString &name, QString &unit) const;
    // Selects the option of InterfaceValue; none when no option has it.
    void showInterface();

private:
    struct Option {
        QRadioButton *button;
        const char *caption;
        int value;
    };

    QGroupBox *frameNombre_;
    QGroupBox *frameUnidad_;
    QHBoxLayout *row_;
    std::vector<Option> options_;
};
