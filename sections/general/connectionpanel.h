#pragma once

#include <QWidget>
#include <functional>
#include <memory>

#include "sections/usermessage.h"

class Comms;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;
class SectionRegistry;
class SimulatedUnit;
struct ConfigStore;

// The connection controls of the General window and the one-second timer that
// carries out what their clicks request: connect or disconnect, upload,
// download, and the identity poll. Clicks only raise request flags, so long
// exchanges never run inside a click handler.
class ConnectionPanel : public QWidget {
    Q_OBJECT
public:
    struct Context {
        Comms &comms;
        ConfigStore &store;
        const SectionRegistry &sections;
        UserMessage message;
        QWidget *form;                 // disabled while a transfer runs
        std::function<bool()> active;  // the General window is the active window
    };

    explicit ConnectionPanel(Context context, QWidget *parent = nullptr);
    ~ConnectionPanel() override;

    void LoadText();
    // The text of the chosen port, as the per-user settings keep it.
    QString portText() const;

    void SearchBut_Click();
    void ModemCheck_Click();
    void IniCom_Click();
    void Leer_Click();
    void Escribir_Click();
    void TimerComms_Timer();
    // At the end of the program: closes the link without the modem's hang-up,
    // which also ends any exchange still waiting for the unit.
    void closeLink();

    QGroupBox *FramePuerto;
    QComboBox *Puerto;
    QPushButton *SearchBut;
    QCheckBox *ModemCheck;
    QLineEdit *CallNum;
    QPushButton *IniCom;
    QPushButton *Leer;
    QPushButton *Escribir;
    QLabel *ComStat;
    QProgressBar *PBar;
    QTimer *TimerComms;

private:
    bool simulatedChosen() const;
    void connectOrDisconnect();
    bool connectUnit();
    void disconnectUnit();
    void afterConnect();
    void showConnectionState();
    void runTransfer(bool &request, const QString &running, const QString &done,
                     const std::function<bool()> &operation);
    void setBusyPointer(bool busy);

    Context ctx_;
    std::unique_ptr<SimulatedUnit> simulated_;
    bool connectRequest_ = false;
    bool downloadRequest_ = false;
    bool uploadRequest_ = false;
    bool ticking_ = false;
    bool busyPointer_ = false;
};
