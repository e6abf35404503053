#pragma once

#include "sections/alarms/channelkindeditor.h"

struct MathChannel;

// The math channel window: name, unit, enable and the equation the unit
// evaluates, above the channel's one alarm slot. The equation is carried as
// typed and never checked.
class E_Math : public ChannelKindEditor {
    Q_OBJECT
public:
    E_Math(ConfigStore &store, const SectionRegistry &sections,
           ActionEditor actions = productActionEditor, QWidget *parent = nullptr);

    void LoadText() override;

    QLineEdit *Ecuacion;

protected:
    void loadKindFields() override;
    void storeKindFields() override;
    std::optional<int> recordInterface() const override;
    void storeInterface(int value) override;

private:
    MathChannel *channel() const;

    QGroupBox *frameEcuacion_;
};
