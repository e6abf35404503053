#pragma once

#include "sections/alarms/channelkindeditor.h"
#include "widgets/usermessage.h"

class AddressBox;
class QPushButton;
struct OneWireProbe;
class UnitConnection;

// The 1-Wire probe window: name, unit, kind and the probe's address, above
// the probe's four alarm slots. "Leer ID" asks the connected unit for the
// identification number of the one probe on its bus.
class E_OneWire : public ChannelKindEditor {
    Q_OBJECT
public:
    E_OneWire(UnitConnection &unit, ConfigStore &store, const SectionRegistry &sections,
              UserMessage message = productMessage, ActionEditor actions = productActionEditor,
              QWidget *parent = nullptr);

    void LoadText() override;

    void OptionId_Click();   // the address boxes and "Leer ID" enabled
    void OptionNoId_Click(); // disabled, and both boxes all zeros
    void BotonLeerId_Click();

    QGroupBox *FrameID;
    QRadioButton *OptionId;
    QRadioButton *OptionNoId;
    AddressBox *ID0;
    AddressBox *ID1;
    QPushButton *BotonLeerId;

protected:
    void loadKindFields() override;
    void storeKindFields() override;
    std::optional<int> recordInterface() const override;
    void storeInterface(int value) override;

private:
    OneWireProbe *probe() const;
    void enableAddress(bool on);

    UnitConnection &unit_;
    UserMessage message_;
};
