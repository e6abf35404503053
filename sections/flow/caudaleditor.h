#pragma once

#include <QPointer>
#include <functional>

#include "model/flowmeter.h"
#include "sections/alarms/alarmeditor.h"

class Ayuda;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class UnitConnection;

// Presets a meter's totalizer on the unit: the meter number in, back when the
// operator has closed the (modal) dialog.
using SetTotalizer = std::function<void(int meter)>;

// "Configuracion entrada caudal": one flow meter's settings and its alarms.
// The alarm limits are shown in engineering units (pulses × `Ratio`) and
// stored back in pulses; `Low` and `High` stay as typed on units that keep
// them unscaled (FlowLimitsRaw).
class Caudal : public AlarmEditor {
    Q_OBJECT
public:
    // Without setTotal, "Modificar" stays disabled.
    Caudal(UnitConnection &unit, ConfigStore &store, const SectionRegistry &sections,
           SetTotalizer setTotal = {}, ActionEditor actions = productActionEditor,
           QWidget *parent = nullptr);

    void LoadText() override;

    void BotonModificar_Click();
    void HelpBut_Click();
    // The meter's part of each Timer1 tick: `RatioUnit` follows `Unidad`.
    void refresh();
    // The calculator, once "Ayuda" has opened it.
    Ayuda *helper() const;
    // The serial number of the unit the editors' configuration came from
    // (empty when unknown). Set, the counter of the unit connected shows only
    // beside that unit's own configuration; unset, whenever one is connected.
    std::function<QString()> configSource;

    QLineEdit *Nombre;
    QLineEdit *Unidad;
    QRadioButton *Int_Habil;
    QRadioButton *Int_NoHabil;
    QLineEdit *TimeBase;
    QLineEdit *Ratio;
    QLabel *RatioUnit;
    QLabel *TotalText;
    QPushButton *BotonModificar;
    QPushButton *HelpBut;
    QLabel *Notice;

protected:
    void loadKindFields() override;
    void storeKindFields() override;
    std::optional<int> recordInterface() const override;
    void storeInterface(int value) override;
    float shownNumber(float AlarmConfig::*field, const AlarmConfig &slot) const override;
    void storeNumbers(AlarmConfig &slot, std::span<const AlarmNumberBox> boxes) override;

private:
    QWidget *buildKindFrame();
    FlowMeter &meter() const;
    // Pulses and engineering units differ for this field of the alarm block.
    bool scaled(float AlarmConfig::*field) const;
    void chooseInterface(int value);
    void showTotal();

    UnitConnection &unit_;
    SetTotalizer setTotal_;
    // Whether LoadData showed Low and High unscaled: the store-back converts
    // with what the operator saw, whatever the unit reports meanwhile.
    bool limitsRaw_ = false;
    QPointer<Ayuda> ayuda_;

    QGroupBox *frameNombre_;
    QGroupBox *frameUnidad_;
    QGroupBox *frameInterfaz_;
    QGroupBox *frameTimeBase_;
    QGroupBox *frameRatio_;
    QGroupBox *frameTotal_;
    QLabel *seconds_;
    QLabel *ratioLabel_;
};
