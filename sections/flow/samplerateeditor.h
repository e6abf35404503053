#pragma once

#include <QList>

#include "shell/sectioneditor.h"

class QComboBox;
class QLabel;
class QTimer;
class SectionRegistry;
class UnitConnection;
struct ConfigStore;

// "Configuracion global de caudalimetros": the pulse sampling frequency and
// the totalizer weight of every flow meter.
class SampleRate : public SectionEditor {
    Q_OBJECT
public:
    // The weights a totalizer offers, in item order.
    static constexpr float kWeights[] = {0.001f, 0.01f, 0.1f, 1, 10};

    // Shows the model as it is: the program's start-up reset clears it.
    SampleRate(UnitConnection &unit, ConfigStore &store, const SectionRegistry &sections,
               QWidget *parent = nullptr);

    void LoadText() override;
    void Clear() override;
    void LoadData() override;
    void StoreControls() override;

    void Timer1_Timer();

    QComboBox *ComboSampleRate;
    QLabel *WarningMsg;
    QList<QLabel *> LabelT;
    QList<QComboBox *> ComboT;
    QLabel *Warning;
    QLabel *WarningText;
    QTimer *Timer1;

private:
    // The battery warning, while the high rate is chosen.
    void showRateWarning();

    UnitConnection &unit_;
    ConfigStore &store_;
    const SectionRegistry &sections_;
    QLabel *titulo_;
    QLabel *rateLabel_;
};
