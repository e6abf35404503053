#pragma once

#include <QGroupBox>

#include <array>

#include "model/schedulewindow.h"

class QCheckBox;
class QLabel;
class TimeBox;

// When an alarm or a timer may act: "Siempre" (`HorarioHabil`), or the daily
// window from `HoraInicio` to `HoraFinal` on the days ticked in `CheckLun` to
// `CheckDom`. The window's controls are enabled only while the owner enables
// the frame (setActive) and "Siempre" is clear; they follow every change of
// either, by a click or by showing another record.
class ScheduleFrame : public QGroupBox {
    Q_OBJECT
public:
    // Which controls a frame has besides the start picker and the day boxes.
    struct Parts {
        bool always = true; // HorarioHabil
        bool stop = true;   // HoraFinal
        bool weekdays = true; // CheckLun to CheckDom
        int dayColumns = 7;   // day boxes per row: a narrow frame wraps them
    };

    explicit ScheduleFrame(QWidget *parent = nullptr) : ScheduleFrame(Parts{}, parent) {}
    ScheduleFrame(Parts parts, QWidget *parent);

    // The captions; the frame's title is "Rango horario de habilitacion".
    void LoadText();
    // A caption of the start time other than "Inicio:" (a text of the
    // language table), on its label and in the time box's messages.
    void setStartCaption(const QString &caption);

    void showWindow(const ScheduleWindow &window);
    // `Always`, `Start`, `Stop` and `Weekdays` from the controls the frame
    // has; a time box that holds no time leaves its field as it was.
    void storeTo(ScheduleWindow &window) const;
    // Bit 0 Monday ... bit 6 Sunday.
    quint8 weekdays() const;
    void showWeekdays(quint8 weekdays);

    // Enables or disables every control of the frame, the window's controls
    // only while "Siempre" is also clear.
    void setActive(bool active);
    bool active() const { return active_; }

    QCheckBox *HorarioHabil;
    QLabel *LabelInicio;
    TimeBox *HoraInicio;
    QLabel *LabelFinal;
    TimeBox *HoraFinal;
    std::array<QCheckBox *, 7> Days; // CheckLun ... CheckDom

private:
    void applyEnabling();

    Parts parts_;
    QString startCaption_ = QStringLiteral("Inicio:");
    bool active_ = true;
};
