#pragma once

#include <QDateTime>
#include <QList>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>

#include "model/product.h"

class DigitDisplay;
class Led;
class QCheckBox;
class QGroupBox;
class QLabel;
class QTabWidget;
class QTimer;
class TrendPanel;
class UnitConnection;

// "Tiempo real": the unit's live values, states, labels and clock, polled
// twice a second while the monitor is the window the operator works in, and
// a box per output that shows its state and asks for the other one when
// clicked.
class T_Real_Zelmor : public QWidget {
    Q_OBJECT
public:
    explicit T_Real_Zelmor(UnitConnection &unit, QWidget *parent = nullptr);

    void LoadText();
    // Switches the output on or off; true once the command went out (false
    // while another exchange holds the link).
    bool OutputChange(int index, bool on);
    void Timer1_Timer();

    // Whether the monitor is the window in use: shown, with its frame active.
    std::function<bool()> active;

    QLabel *Titulo;
    QTabWidget *SSTab1;
    QGroupBox *Frame1;
    QList<QLabel *> Label_AN_Name;
    QList<QLabel *> Label_AN_Unit;
    QList<DigitDisplay *> Digit_AN;
    QGroupBox *Frame2;
    QList<Led *> Led_D;
    QList<Led *> Led_O;
    QList<QLabel *> Label2;
    QList<QCheckBox *> CheckCambiarEstado;
    QGroupBox *Frame3;
    QList<QLabel *> Label_CNT_Name;
    QList<DigitDisplay *> Digit_CNT;
    QList<QLabel *> Label_FL_Name;
    QList<QLabel *> Label_FL_Unit;
    QList<DigitDisplay *> Digit_FL;
    QGroupBox *Frame4;
    QList<Led *> Led_F;
    QGroupBox *FrameCMat;
    QList<QLabel *> Label_MAT_Name;
    QList<QLabel *> Label_MAT_Unit;
    QList<DigitDisplay *> Digit_MAT;
    QGroupBox *FrameRMat;
    QList<DigitDisplay *> Digit_RMAT;
    QGroupBox *FrameModbus;
    TrendPanel *Trends;
    QLabel *RTCText;
    QTimer *Timer1;

private:
    QWidget *buildGeneralTab();
    QWidget *buildMathTab();
    QGroupBox *buildProbes();
    QGroupBox *buildStates();
    QGroupBox *buildCounters();
    QGroupBox *buildFlags();
    void sendOutputRequests();
    void showLive();
    void showOutputs();
    void showClock();

    UnitConnection &unit_;
    QLabel *inputsCaption_;
    QLabel *outputsCaption_;
    // What a click on each output box asked for, until its command has gone out.
    std::array<std::optional<bool>, kProductLimits.OutputCount> wanted_;
    QDateTime clockShown_; // the unit's clock as RTCText shows it
    bool ticking_ = false;
};
