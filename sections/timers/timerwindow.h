#pragma once

#include <QList>
#include <array>
#include <utility>

#include "sections/actions/actionhandover.h"
#include "shell/sectioneditor.h"
#include "timerfamily.h"

class FlagChoice;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;
class QTimer;
class ScheduleFrame;
class SectionRegistry;
struct ConfigStore;

// The controls of one timer of the page; a control the family lacks is null.
struct TimerElement {
    QGroupBox *FrameTimer = nullptr;
    QCheckBox *TimerHabil = nullptr;
    QLineEdit *Period = nullptr;
    // HorarioHabil, HoraInicio, HoraFinal and the weekday boxes, as many as
    // the family has; null for a timer without a time of day.
    ScheduleFrame *Schedule = nullptr;
    std::array<QCheckBox *, 32> MonthDays{}; // Check1 to Check31, Check32 ("Ultimo del mes")
    FlagChoice *Flag = nullptr;              // FlagCombo between its labels
    QPushButton *BotonEditar = nullptr;

    QGroupBox *FrameHorario = nullptr; // the Schedule; none for a timer without a time of day
    QGroupBox *FrameAcciones = nullptr;
    // Every control that follows TimerHabil, with the field it shows.
    QList<std::pair<QWidget *, TimerField>> followers;
};

// The editor form of one timer family ("CTimer", "WTimer", "MTimer",
// "LTimer"): a page of four timers starting at ChannelIndex(), shaped by the
// family's row.
class TimerWindow : public SectionEditor {
    Q_OBJECT
public:
    TimerWindow(const TimerFamily &family, ConfigStore &store, const SectionRegistry &sections,
                ActionEditor actionEditor = productActionEditor, QWidget *parent = nullptr);

    void LoadText() override;
    void Clear() override;
    void LoadData() override;
    void StoreControls() override;
    // Only 0, 4, 8 and 12 start a page; any other index changes nothing.
    void ChangeIndex(int newIndex) override;

    // Edits the actions of element k's timer in the record itself; the
    // controls are not stored first.
    void BotonEditar_Click(int k);

    const TimerFamily &family() const { return family_; }
    int firstTimer() const { return ChannelIndex(); }
    const TimerElement &element(int k) const { return elements_[k]; }

    QLabel *Titulo;

private:
    QWidget *buildElement(int k);
    QLabel *caption(TimerElement &e, const QString &text, TimerField field);
    QLayout *periodRow(TimerElement &e, int k);
    QGroupBox *buildSchedule(TimerElement &e, int k);
    QWidget *buildMonthGrid(TimerElement &e, int k);
    void follow(TimerElement &e, QWidget *control, TimerField field);
    void applyEnabling(int k);
    void loadElement(int k);
    void storeElement(int k);

    const TimerFamily &family_;
    ConfigStore &store_;
    const SectionRegistry &sections_;
    ActionEditor actionEditor_;
    std::array<TimerElement, kTimersPerPage> elements_;
    // Caption labels, translated by LoadText: the label and its base text.
    QList<std::pair<QLabel *, QString>> labels_;
};
