#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "configtransfer.h"
#include "devicevalues.h"
#include "files/servicehistory.h"
#include "linkerror.h"

class Comms;
class FirmwareTransfer;
struct FirmwareResult;
struct VoiceAuthList;
class SectionRegistry;
struct ConfigDifference;
class SimulatedUnit;
struct ConfigStore;

// What the operator asked to connect to, frozen when the connection starts.
struct ConnectRequest {
    QString port;          // device or COM name; ignored for the simulated unit
    bool simulated = false; // start velkan-sim and connect to it
    QString modemNumber;   // empty: cable; else the number the modem dials
};

// What became of a copy of the unit's configuration taken before a risky step.
struct ConfigBackup {
    enum Outcome { Kept, NotDownloaded, NotRecorded };
    Outcome outcome = NotDownloaded;
    HistoryEntry entry;  // where the copy is, when Kept
    FileFailure failure; // why it could not be written, when NotRecorded
};
// A long exchange that the windows follow: while one runs, nothing else may
// start one, and the live monitor and the identity poll pause.
enum class TransferKind { None, Download, Upload, Verify, VoiceListRead, VoiceListWrite, Firmware };

// The one connection to a unit, shared by every window and by velkan-cli:
// connecting by cable or modem call with the access-key login, the hang-up,
// the simulated unit's process, what the unit told about itself, and the
// transfers that depend on it. Windows are views of it.
class UnitConnection : public QObject {
    Q_OBJECT
public:
    explicit UnitConnection(Comms &comms, QObject *parent = nullptr);
    ~UnitConnection() override;

    Comms &comms() { return comms_; }

    bool isConnected() const { return connected_; }
    // The port of the running connection, or of the last attempt.
    QString portName() const { return request_.port; }
    // Whether the running connection is a modem call.
    bool modemCall() const { return !request_.modemNumber.isEmpty(); }
    bool downloading() const { return downloading_; }
    // The transfer running now, None between transfers.
    TransferKind transfer() const { return transfer_; }
    // Another exchange holds the link.
    bool linkBusy() const;
    // Why the last connect, transfer or the connection itself failed.
    LinkFailure lastError() const { return lastError_; }

    // Port names that open; none while connected, since trying one closes the port.
    QStringList scanPorts();
    QStringList scanPorts(const QStringList &candidates);

    bool connectUnit(const ConnectRequest &request);
    // Stops a connectUnit() that is still detecting the unit; it then fails
    // with no error of its own.
    void cancelConnect();
    bool connecting() const { return connecting_; }
    // Hangs up a modem call ("+++", "ATH") when the connection was one,
    // holding the link for the whole sequence. An exchange still running is
    // ended first; the hang-up follows as soon as it has let the link go.
    void disconnectUnit();
    // Ends the running transfer through the link's wait: it fails at once.
    void stopTransfer();
    // The program is closing: running waits end, the link closes without a
    // word to the unit, the simulated unit stops.
    void shutdown();

    // The identity poll ("#44"); infoChanged() follows. Paused during a transfer.
    bool readInfo();
    // One exchange of a device command for a window. Refused with the typed
    // "busy" failure (lastError(), refused()) while another exchange holds the link.
    bool exchange(const std::function<bool(Comms &)> &operation);
    // The terminal's raw text: written once, nothing awaited; and what the
    // unit has sent meanwhile, read without waiting (at most `maxChars`).
    bool sendText(const QString &text);
    QString readPending(int maxChars);
    // The voice-call list and the firmware, as transfers.
    bool readVoiceList(VoiceAuthList &list, const TransferProgress &progress = {});
    bool writeVoiceList(const VoiceAuthList &list, const TransferProgress &progress = {});
    FirmwareResult updateFirmware(FirmwareTransfer &transfer, const QByteArray &image, const QByteArray &loader);
    // The configuration transfers under this unit's capability flags. A
    // download that succeeds replaces `store` and emits configDownloaded().
    bool download(ConfigStore &store, const SectionRegistry &sections, const TransferProgress &progress = {});
    bool upload(const ConfigStore &store, const SectionRegistry &sections, const TransferProgress &progress = {});
    // An upload and its check: once the unit has confirmed it, verifying() is
    // emitted and the configuration is downloaded again into a scratch model
    // (the editors' model stays, no configDownloaded() follows) and compared
    // with what was sent over the upload lines; `differences` lists what the
    // unit holds otherwise. False when the upload or that download fails.
    bool uploadVerified(const ConfigStore &store, const SectionRegistry &sections,
                        QList<ConfigDifference> &differences, const TransferProgress &progress = {});

    // Downloads the configuration into a model of its own and keeps it in
    // `history` as a read, whether or not copies are kept otherwise; the
    // program's model and editors stay as they were.
    ConfigBackup backUpConfig(const ServiceHistory &history, const SectionRegistry &sections,
                              const TransferProgress &progress = {});

    // Where every successful download and upload leaves a copy under the
    // unit's serial number, a checked upload as verified or differing; none
    // while null. The copy never changes the
    // transfer's own result.
    void keepHistory(ServiceHistory *history) { history_ = history; }

    // The link's trace as a file's text: a header naming the program, the
    // port, the unit, the link timings and what was masked, then the last
    // exchanges of this connection (of every connection still in the trace
    // when `wholeRun`). A failed transfer keeps it in the history beside the
    // unit's copies (traceKept()).
    QByteArray traceText(bool wholeRun = false) const;
    // The secret texts of these sections are masked in the trace from now on;
    // every transfer that is given the sections does it too.
    void maskSecretsOf(const SectionRegistry &sections);
    ServiceHistory *history() const { return history_; }

    // Asks the operator for the access key; empty when cancelled. While it
    // asks, keyPrompt() tells how the login stands.
    std::function<QString()> askPassWord;
    struct KeyPrompt {
        int triesLeft = 0;    // this prompt included
        bool refused = false; // the unit refused the key given at the prompt before
    };
    KeyPrompt keyPrompt() const { return keyPrompt_; }
    // Where velkan-sim lives and what it is started with (tests change them).
    QString simulatorProgram;
    QStringList simulatorArguments;

    DeviceValues Device;

signals:
    void connected();
    void disconnected();
    void portLost(const LinkFailure &failure);
    void carrierLost();
    void busy();
    void idle();
    // A transfer began (kind) or ended (None), however it ended.
    void transferChanged(TransferKind kind);
    // An operation was refused because another exchange held the link.
    void refused(const LinkFailure &failure);
    void infoChanged();
    void configDownloaded();
    // An upload went through and its check begins.
    void verifying();
    void historyRecorded(const HistoryEntry &entry);
    // A copy could not be kept. Told once for a run of such failures; only
    // a copy kept again makes the next failure news.
    void historyFailed(const FileFailure &failure);
    // The trace of a failed transfer was kept there.
    void traceKept(const QString &path);

private:
    class Running;
    bool refuseWhileBusy();
    bool transferFailed();
    void keepTrace(TransferKind kind);
    void setTransfer(TransferKind kind);
    bool startSimulator();
    bool startComs();
    bool dial();
    bool logIn();
    void closeComs(bool hangUp);
    bool send(const ConfigStore &store, const SectionRegistry &sections, const TransferProgress &progress);
    void fail(LinkError error, const QString &detail = {});
    void onPortLost(const QString &reason);
    void keepCopy(HistoryKind kind, const ConfigStore &store, const SectionRegistry &sections);
    QString firmwareText() const;

    Comms &comms_;
    ConnectRequest request_;
    std::unique_ptr<SimulatedUnit> simulated_;
    ServiceHistory *history_ = nullptr;
    bool historyFailing_ = false;
    LinkFailure lastError_;
    KeyPrompt keyPrompt_;
    bool connected_ = false;
    bool downloading_ = false;
    TransferKind transfer_ = TransferKind::None;
    bool hangUpPending_ = false;
    bool transferStopped_ = false;
    bool simulatorStarting_ = false;
    bool connecting_ = false;
    bool cancelled_ = false;
    bool shutDown_ = false;
};
