#pragma once

#include <QList>
#include <QWidget>
#include <functional>

#include "statuslabel.h"
#include "widgets/usermessage.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;
class SectionRegistry;
class UnitConnection;
struct ConnectRequest;
struct ConfigDifference;
struct LinkFailure;
struct ConfigStore;

// The connection controls of the General window, a view of the unit
// connection, and the one-second timer that carries out what their clicks
// request: connect or disconnect, upload, download, and the identity poll.
// Clicks only raise request flags, so long exchanges never run inside a click
// handler.
class ConnectionPanel : public QWidget {
    Q_OBJECT
public:
    struct Context {
        UnitConnection &unit;
        ConfigStore &store;
        const SectionRegistry &sections;
        UserMessage message;
        QWidget *form;                 // disabled while a transfer runs
        std::function<bool()> active;  // the General window is the active window
        // Where the differences of a verified upload go; unset, a message gives their count.
        std::function<void(const QString &title, const QList<ConfigDifference> &)> showDifferences;
        // Asked before an upload starts: false (a field that cannot be sent,
        // already told to the operator) stops it. Unset: nothing to check.
        std::function<bool()> readyToSend;
        // Asked before a download replaces the editors (unsaved changes):
        // false stops it. Unset: nothing to ask.
        std::function<bool()> readyToReplace;
        // The serial number of the unit the configuration came from (empty
        // when unknown): writing it to another unit is asked first.
        std::function<QString()> configSource;
    };

    explicit ConnectionPanel(Context context, QWidget *parent = nullptr);
    ~ConnectionPanel() override;

    void LoadText();
    // The text of the chosen port, as the per-user settings keep it.
    QString portText() const;
    // The operator's choice in the port list, the simulated unit included,
    // as the per-user settings keep it between runs; choosePort() takes it back.
    QString portChoice() const;
    void choosePort(const QString &choice);
    // What "Iniciar comunicacion" connects to: the chosen port or the
    // simulated unit, by cable or calling the number given.
    ConnectRequest connectRequest() const;

    void SearchBut_Click();
    void ModemCheck_Click();
    void IniCom_Click();
    void Leer_Click();
    void Escribir_Click();
    void TimerComms_Timer();
    // The editors took a configuration from elsewhere (a file): what the
    // status told of an earlier operation no longer applies to them.
    void sourceChanged();

    QGroupBox *FramePuerto;
    QComboBox *Puerto;
    QPushButton *SearchBut;
    QCheckBox *ModemCheck;
    QLabel *CallNumLabel;
    QLineEdit *CallNum;
    QPushButton *IniCom;
    QPushButton *Leer;
    QPushButton *Escribir;
    StatusLabel *ComStat;
    QProgressBar *PBar;
    QTimer *TimerComms;

    // Runs on the tick that starts an upload, before anything is sent: false
    // refuses the upload (the shell stores every editor and checks the model).
    std::function<bool()> beforeUpload;

private:
    void refuseUpload();
    bool confirmOtherUnit();
    bool simulatedChosen() const;
    bool refuseMissingNumber();
    void connectOrDisconnect();
    bool connectUnit();
    void afterConnect();
    void showConnectionState();
    void showButtons();
    void linkDropped();
    void showFailure(const LinkFailure &failure);
    void runTransfer(bool &request, const QString &running, const QString &done,
                     const std::function<bool()> &operation);
    static QString transferFailureText(const LinkFailure &failure);
    void showDifferences(const QList<ConfigDifference> &differences);
    void setBusyPointer(bool busy);
    void showRequested(QPushButton *button, const QString &status);
    void showDetection();
    void setStatus(std::function<QString()> text);

    Context ctx_;
    bool connectRequest_ = false;
    bool downloadRequest_ = false;
    bool uploadRequest_ = false;
    bool ticking_ = false;
    bool busyPointer_ = false;
    std::function<QString()> status_;
};
