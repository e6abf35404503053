#pragma once

#include <QList>
#include <QPair>
#include <QString>

#include <array>
#include <optional>
#include <span>
#include <vector>

#include "alarmmembers.h"
#include "sections/actions/actionhandover.h"
#include "shell/sectioneditor.h"

class FlagChoice;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;
class QVBoxLayout;
class ScheduleFrame;
class SectionRegistry;
struct ConfigStore;

// One number box of the alarm block and the field it shows.
struct AlarmNumberBox {
    QLineEdit *box;
    float AlarmConfig::*field;
    bool edited; // the operator changed the text since LoadData put it there, and the box takes it
};

// The editor of an alarm-capable channel kind: the alarm block of one channel,
// one alarm slot at a time (`Config0`-`Config3`), shaped by the member's row.
// A kind with fields of its own derives from it: it adds its controls with
// addKindFrame, loads and stores its fields in the hooks below, and calls
// reload() at the end of its constructor (the hooks do not run while this
// class is being built).
class AlarmEditor : public SectionEditor {
    Q_OBJECT
public:
    static constexpr int kMaxSlots = 4;

    AlarmEditor(const AlarmMemberRow &member, ConfigStore &store, const SectionRegistry &sections,
                ActionEditor actions = productActionEditor, QWidget *parent = nullptr);

    void LoadText() override;
    void Clear() override;
    void LoadData() override;
    void StoreControls() override;

    const AlarmMemberRow &member() const { return member_; }
    // The alarm slot shown.
    int ConfigIndex() const { return configIndex_; }

    void AlarmaHabil_Click(); // enabling, also run by every change of AlarmaHabil
    void BotonAlto_Click();
    void BotonBajo_Click();
    void BotonNormal_Click();

    QLabel *Titulo;
    std::array<QRadioButton *, kMaxSlots> Config; // Config1-Config3 hidden for one-slot kinds
    QCheckBox *AlarmaHabil;
    QCheckBox *RestHabil;
    QCheckBox *ReenvHabil;
    QRadioButton *NotNone;
    QRadioButton *NotSMS;
    QRadioButton *NotVoz;
    QRadioButton *NotGPRS;
    QLineEdit *TextoAlarma;
    // The number boxes; null where the kind has none.
    QLineEdit *Minimo = nullptr;
    QLineEdit *Maximo = nullptr;
    QLineEdit *Histeresis = nullptr;
    QLineEdit *Persist = nullptr;
    QLineEdit *Rearm = nullptr;
    ScheduleFrame *Horario;         // HorarioHabil, HoraInicio, HoraFinal, CheckLun-CheckDom
    FlagChoice *Flag = nullptr;     // FlagCombo with its labels; null where the kind has none
    QPushButton *BotonAlto;
    QPushButton *BotonBajo;
    QPushButton *BotonNormal = nullptr;
    QTimer *Timer1;

protected:
    void reload() override;

    ConfigStore &store() const { return store_; }
    // The alarm slot shown; null for a channel the kind lacks.
    AlarmConfig *shownSlot() const;

    // ---- For the kinds ----
    // Places a frame of the kind's own controls above the alarm block.
    void addKindFrame(QWidget *frame);

    // The kind's fields of channel ChannelIndex(), first of LoadData and of StoreControls.
    virtual void loadKindFields() {}
    virtual void storeKindFields() {}

    // The value the kind's interface options stand for. LoadData takes it from
    // the record (recordInterface), the options change it, the store-back
    // writes it back (storeInterface). Kinds without an interface leave both alone.
    int InterfaceValue = 0;
    virtual std::optional<int> recordInterface() const { return std::nullopt; }
    virtual void storeInterface(int /*value*/) {}

    // The number boxes between the slot and the screen. By default a box shows
    // NumberText of its field, and an edited box stores ParseNumber of its
    // text when that fits the field. A kind that shows converted values
    // overrides both; boxes tells it which boxes the operator edited.
    virtual float shownNumber(float AlarmConfig::*field, const AlarmConfig &slot) const;
    virtual void storeNumbers(AlarmConfig &slot, std::span<const AlarmNumberBox> boxes);

private:
    QWidget *buildAlarmBlock();
    QWidget *buildSlotRow();
    QGroupBox *buildNumbers();
    QGroupBox *buildNotification();
    QGroupBox *buildActions();
    QLineEdit *numberBox(const char *objectName, float AlarmConfig::*field, const char *caption);
    void showSlot(int slot);
    void editList(ActionList AlarmConfig::*list);

    // The notification choice as LoadData showed it (0 none to 3 GPRS): the
    // store-back rewrites the slot's switches only when the operator changed it.
    int shownNotification_ = 0;
    int notificationChosen() const;

    const AlarmMemberRow &member_;
    ConfigStore &store_;
    const SectionRegistry &sections_;
    ActionEditor actions_;
    int configIndex_ = 0;

    struct NumberControl {
        QLineEdit *box;
        QLabel *label;
        float AlarmConfig::*field;
        const char *caption; // its label's text, untranslated
    };
    std::vector<NumberControl> numbers_;

    QVBoxLayout *kindArea_;
    QGroupBox *frameAlarma_;
    QGroupBox *frameConsigna_ = nullptr;
    QGroupBox *frameNotificacion_;
    QGroupBox *frameFlag_ = nullptr;
    QGroupBox *frameTexto_;
    QGroupBox *frameAcciones_;
};
