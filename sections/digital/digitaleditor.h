#pragma once

#include "model/digitalinput.h"
#include "sections/alarms/alarmeditor.h"

class QGroupBox;
class QLineEdit;
class QRadioButton;

// One digital input's name, contact type and alarms (DI0-DI7; DI8 is never shown).
class E_Digital : public AlarmEditor {
    Q_OBJECT
public:
    static constexpr int kClosedValue = -1; // `InterfaceValue` of "N.C."

    E_Digital(ConfigStore &store, const SectionRegistry &sections,
              ActionEditor actions = productActionEditor, QWidget *parent = nullptr);

    void LoadText() override;

    QLineEdit *Nombre;
    QRadioButton *Int_NA;
    QRadioButton *Int_NC;

protected:
    void loadKindFields() override;
    void storeKindFields() override;
    std::optional<int> recordInterface() const override;
    void storeInterface(int value) override;

private:
    DigitalInput &input() const;

    QGroupBox *frameNombre_;
    QGroupBox *frameInterfaz_;
};
