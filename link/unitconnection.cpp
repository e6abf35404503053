#include "unitconnection.h"

#include "comms.h"
#include "connection.h"
#include "devicecommands.h"
#include "files/sectionregistry.h"
#include "firmwaretransfer.h"
#include "files/uploadcompare.h"
#include "model/configstore.h"
#include "model/dialnumber.h"
#include "model/product.h"
#include "serialport.h"
#include "simulatedunit.h"
#include "voicelisttransfer.h"

namespace {

constexpr int kLoginAttempts = 3;

QString timingsText(const LinkTimings &t)
{
    const std::pair<const char *, int> values[] = {
        {"cableAnswer", t.cableAnswer}, {"modemAnswer", t.modemAnswer}, {"dialExtra", t.dialExtra},
        {"modemSetup", t.modemSetup}, {"hangUp", t.hangUp}, {"cableDetectRead", t.cableDetectRead},
        {"drainRead", t.drainRead}, {"modemDrainRead", t.modemDrainRead}, {"drainLimit", t.drainLimit},
        {"lineReply", t.lineReply}, {"fastLineReply", t.fastLineReply}, {"voiceListClear", t.voiceListClear},
        {"voiceLinePause", t.voiceLinePause}, {"firmwareErase", t.firmwareErase},
        {"firmwareReady", t.firmwareReady}, {"firmwareRamReady", t.firmwareRamReady},
        {"firmwareDots", t.firmwareDots}, {"firmwareBaud", t.firmwareBaud},
    };
    QStringList parts;
    for (const auto &[name, value] : values)
        parts << QLatin1String(name) + u'=' + QString::number(value);
    return parts.join(u' ');
}

const char *operationWord(TransferKind kind)
{
    switch (kind) {
    case TransferKind::None:
        return "exchange";
    case TransferKind::Download:
        return "download";
    case TransferKind::Upload:
        return "upload";
    case TransferKind::Verify:
        return "verify";
    case TransferKind::VoiceListRead:
        return "voice-list-read";
    case TransferKind::VoiceListWrite:
        return "voice-list-write";
    case TransferKind::Firmware:
        return "firmware";
    }
    return "exchange";
}

} // namespace

// Marks a transfer for as long as it runs; a transfer inside another (the
// upload of a checked upload) gives the outer one back when it ends.
class UnitConnection::Running {
public:
    Running(UnitConnection &unit, TransferKind kind) : unit_(unit), outer_(unit.transfer_) { unit_.setTransfer(kind); }
    ~Running() { unit_.setTransfer(outer_); }
    Running(const Running &) = delete;
    Running &operator=(const Running &) = delete;
    void become(TransferKind kind) { unit_.setTransfer(kind); }

private:
    UnitConnection &unit_;
    TransferKind outer_;
};

LinkError ModemCallError(const QString &answer)
{
    static const std::pair<const char *, LinkError> answers[] = {
        {"BUSY", LinkError::ModemBusy},
        {"NO CARRIER", LinkError::ModemNoCarrier},
        {"NO DIALTONE", LinkError::ModemNoDialtone},
        {"NO DIAL TONE", LinkError::ModemNoDialtone},
        {"NO ANSWER", LinkError::ModemNoAnswer},
        {"ERROR", LinkError::ModemError},
    };
    for (const auto &[text, error] : answers) {
        if (answer.startsWith(QLatin1String(text)))
            return error;
    }
    return LinkError::NoAnswer;
}

UnitConnection::UnitConnection(Comms &comms, QObject *parent)
    : QObject(parent),
      comms_(comms),
      simulatorProgram(SimulatedUnit::defaultProgram())
{
    connect(&comms_, &Comms::portLost, this, &UnitConnection::onPortLost);
    connect(&comms_, &Comms::carrierLost, this, &UnitConnection::carrierLost);
    connect(&comms_, &Comms::busyChanged, this, [this](bool isBusy) {
        if (isBusy) {
            emit busy();
            return;
        }
        emit idle();
        // Queued: the exchange that let the link go is still unwinding.
        if (hangUpPending_)
            QMetaObject::invokeMethod(this, &UnitConnection::disconnectUnit, Qt::QueuedConnection);
    });
}

UnitConnection::~UnitConnection() = default;

QStringList UnitConnection::scanPorts()
{
    return scanPorts(PortCandidates());
}

QStringList UnitConnection::scanPorts(const QStringList &candidates)
{
    SerialPort &port = comms_.port();
    if (connected_ || port.isOpen())
        return {};
    QStringList found;
    for (const QString &name : candidates) {
        if (port.open(name)) {
            port.close();
            found << name;
        }
    }
    return found;
}

bool UnitConnection::connectUnit(const ConnectRequest &request)
{
    if (connected_ || shutDown_ || comms_.CommsBusy())
        return false;
    request_ = request;
    lastError_ = {};
    // A new connection may reach another unit: nothing of the last one stays.
    Device = DeviceValues{};
    emit infoChanged();
    comms_.resumeWaits();
    // A number from a file or a table must not carry a command of its own.
    if (modemCall() && !isDialable(request_.modemNumber)) {
        fail(LinkError::BadNumber);
        return false;
    }
    connecting_ = true;
    cancelled_ = false;
    connected_ = (!request_.simulated || startSimulator()) && startComs();
    connecting_ = false;
    if (cancelled_) {
        lastError_ = {};
        comms_.resumeWaits();
    }
    if (!connected_) {
        simulated_.reset();
        return false;
    }
    emit connected();
    return true;
}

void UnitConnection::cancelConnect()
{
    if (!connecting_ || cancelled_)
        return;
    cancelled_ = true;
    comms_.stopWaits();
    if (simulatorStarting_)
        simulated_->cancelStart();
}

bool UnitConnection::startSimulator()
{
    simulated_ = std::make_unique<SimulatedUnit>();
    simulated_->setProgram(simulatorProgram);
    simulated_->setArguments(simulatorArguments);
    simulatorStarting_ = true;
    const bool started = simulated_->start(comms_.timings.simulatedStart);
    simulatorStarting_ = false;
    if (shutDown_ || cancelled_ || !started) {
        if (!shutDown_ && !cancelled_)
            fail(LinkError::SimulatorFailed, simulated_->errorString());
        simulated_.reset();
        return false;
    }
    request_.port = simulated_->devicePath();
    return true;
}

// Opens the port; a modem dials and logs in; then the unit must answer "#40".
bool UnitConnection::startComs()
{
    comms_.trace().beginConnection(request_.port);
    SerialPort &port = comms_.port();
    if (!port.open(request_.port)) {
        fail(port.openError(), port.errorString());
        return false;
    }
    CommsBusyGuard busy(comms_);
    const LinkTimings &t = comms_.timings;
    if (modemCall()) {
        comms_.LinkTimeout = t.modemAnswer;
        if (!dial())
            return port.close(), false;
        const bool keyAccepted = logIn();
        comms_.TxSer(QStringLiteral("#40"), comms_.LinkTimeout);
        if (port.isOpen() && comms_.RxBuf.startsWith(QLatin1String("#BF")))
            return true;
        fail(keyAccepted ? LinkError::NoAnswer : LinkError::Refused);
    } else {
        comms_.LinkTimeout = t.cableAnswer;
        comms_.drainFrames(t.cableDetectRead);
        comms_.TxSer(QStringLiteral("#40"), comms_.LinkTimeout);
        if (port.isOpen() && comms_.RxBuf.startsWith(QLatin1String("#BF")))
            return true;
        fail(LinkError::NoAnswer);
    }
    closeComs(modemCall());
    return false;
}

bool UnitConnection::dial()
{
    const LinkTimings &t = comms_.timings;
    for (const char *setup : {"ATE0", "AT\\Q3", "AT\\N5", "AT+IFC=2,2"})
        comms_.TxGsm(QString::fromLatin1(setup), t.modemSetup);
    comms_.TxGsm(QStringLiteral("ATD") + request_.modemNumber, comms_.LinkTimeout + t.dialExtra);
    if (comms_.RxBuf.startsWith(QLatin1String("CONNECT")))
        return true;
    fail(ModemCallError(comms_.RxBuf), comms_.RxBuf);
    return false;
}

// Up to three prompts; the key is kept only for the exchange that sends it.
bool UnitConnection::logIn()
{
    keyPrompt_ = {kLoginAttempts, false};
    for (int attempt = 1; attempt <= kLoginAttempts; ++attempt) {
        const QString key = askPassWord ? askPassWord() : QString();
        if (!key.isEmpty()) {
            comms_.TxSer(QStringLiteral("#11") + key, comms_.LinkTimeout);
            if (comms_.RxBuf == QLatin1String("#PassWord=1"))
                return true;
        }
        keyPrompt_ = {kLoginAttempts - attempt, !key.isEmpty()};
    }
    return false;
}

void UnitConnection::disconnectUnit()
{
    if (!connected_) {
        hangUpPending_ = false;
        return;
    }
    if (comms_.CommsBusy()) {
        // No poll or tick may fall inside the modem's silence: the running
        // exchange ends now, and the hang-up follows once it lets the link go.
        hangUpPending_ = true;
        comms_.stopWaits();
        return;
    }
    if (hangUpPending_) {
        hangUpPending_ = false;
        comms_.resumeWaits();
    }
    {
        CommsBusyGuard busy(comms_);
        closeComs(modemCall());
    }
    connected_ = false;
    simulated_.reset();
    emit disconnected();
}

void UnitConnection::stopTransfer()
{
    if (transfer_ == TransferKind::None)
        return;
    transferStopped_ = true;
    comms_.stopWaits();
}

// The caller holds the link.
void UnitConnection::closeComs(bool hangUp)
{
    SerialPort &port = comms_.port();
    if (hangUp && port.isOpen()) {
        // The modem leaves data mode on "+++" framed by a second of silence.
        comms_.Delay(1000);
        for (int plus = 0; plus < 3; ++plus) {
            comms_.writeRaw("+");
            comms_.Delay(plus < 2 ? 200 : 1000);
        }
        comms_.TxGsm(QStringLiteral("ATH"), comms_.timings.hangUp);
    }
    port.close();
}

void UnitConnection::setTransfer(TransferKind kind)
{
    if (transfer_ == kind)
        return;
    transfer_ = kind;
    if (kind == TransferKind::None && transferStopped_) {
        transferStopped_ = false;
        if (!shutDown_ && !hangUpPending_)
            comms_.resumeWaits();
    }
    emit transferChanged(kind);
}

bool UnitConnection::linkBusy() const
{
    return comms_.CommsBusy();
}

bool UnitConnection::refuseWhileBusy()
{
    if (!comms_.CommsBusy())
        return false;
    fail(LinkError::Busy);
    emit refused(lastError_);
    return true;
}

bool UnitConnection::transferFailed()
{
    fail(comms_.port().isOpen() ? LinkError::NoAnswer : LinkError::PortLost);
    keepTrace(transfer_);
    return false;
}

void UnitConnection::maskSecretsOf(const SectionRegistry &sections)
{
    comms_.trace().maskValues(secretLineFields(sections));
}

QByteArray UnitConnection::traceText(bool wholeRun) const
{
    TraceHeader header;
    header.program = Product::CompanyName + u' ' + Product::ProductTitle + QStringLiteral(" v")
                     + QString::number(Product::VersionMajor) + u'.' + QString::number(Product::VersionMinor);
    header.port = request_.port;
    if (!Device.SerialNumber.isEmpty())
        header.unit = Device.SerialNumber + QStringLiteral(" firmware ")
                      + QString::number(Device.FirmwareVersion / 100.0, 'f', 2);
    header.timings = timingsText(comms_.timings) + QStringLiteral(" answer=") + QString::number(comms_.LinkTimeout);
    return comms_.trace().text(header, !wholeRun);
}

void UnitConnection::keepTrace(TransferKind kind)
{
    QString path;
    if (history_ && history_->recordTrace(Device.SerialNumber, QLatin1String(operationWord(kind)), traceText(),
                                          nullptr, &path))
        emit traceKept(path);
}

void UnitConnection::shutdown()
{
    shutDown_ = true;
    comms_.shutdown();
    // A start that waits for the simulated unit ends first; the connect that
    // called it then lets it go.
    if (simulatorStarting_)
        simulated_->cancelStart();
    else
        simulated_.reset();
    connected_ = false;
}

bool UnitConnection::readInfo()
{
    if (transfer_ != TransferKind::None)
        return false;
    const bool read = ReadInfo(comms_, Device);
    if (read && !Device.SerialNumber.isEmpty())
        comms_.trace().unitNamed(Device.SerialNumber + QStringLiteral(" firmware ")
                                 + QString::number(Device.FirmwareVersion / 100.0, 'f', 2));
    emit infoChanged();
    return read;
}

bool UnitConnection::exchange(const std::function<bool(Comms &)> &operation)
{
    return !refuseWhileBusy() && operation(comms_);
}

bool UnitConnection::sendText(const QString &text)
{
    if (refuseWhileBusy())
        return false;
    CommsBusyGuard busy(comms_);
    if (busy)
        comms_.TxSer(text, 0);
    return busy.acquired();
}

QString UnitConnection::readPending(int maxChars)
{
    CommsBusyGuard busy(comms_);
    QString received;
    while (busy && received.size() < maxChars) {
        const QString c = comms_.GetChar(0);
        if (c.isEmpty())
            break;
        received += c;
    }
    return received;
}

bool UnitConnection::readVoiceList(VoiceAuthList &list, const TransferProgress &progress)
{
    if (refuseWhileBusy())
        return false;
    Running running(*this, TransferKind::VoiceListRead);
    return ReadAutVozList(comms_, list, progress) || transferFailed();
}

bool UnitConnection::writeVoiceList(const VoiceAuthList &list, const TransferProgress &progress)
{
    if (refuseWhileBusy())
        return false;
    Running running(*this, TransferKind::VoiceListWrite);
    return WriteAutVoz(comms_, list, Device.DeviceFeatures, progress) || transferFailed();
}

FirmwareResult UnitConnection::updateFirmware(FirmwareTransfer &transfer, const QByteArray &image,
                                              const QByteArray &loader)
{
    if (refuseWhileBusy())
        return {FirmwareFailure::LinkBusy};
    Running running(*this, TransferKind::Firmware);
    const FirmwareResult result = transfer.run(image, loader);
    // A run the program itself ended has nothing to tell support.
    if (!result.ok() && result.failure != FirmwareFailure::Ended)
        keepTrace(TransferKind::Firmware);
    return result;
}

bool UnitConnection::download(ConfigStore &store, const SectionRegistry &sections, const TransferProgress &progress)
{
    if (refuseWhileBusy())
        return false;
    maskSecretsOf(sections);
    Running running(*this, TransferKind::Download);
    downloading_ = true;
    const bool ok = ReadConf(comms_, store, sections, Device.DeviceFeatures, progress);
    downloading_ = false;
    if (!ok)
        return transferFailed();
    emit configDownloaded();
    keepCopy(HistoryKind::Read, store, sections);
    return true;
}

ConfigBackup UnitConnection::backUpConfig(const ServiceHistory &history, const SectionRegistry &sections,
                                          const TransferProgress &progress)
{
    ConfigBackup backup;
    if (refuseWhileBusy())
        return backup;
    maskSecretsOf(sections);
    Running running(*this, TransferKind::Download);
    // Cleared first: nothing of the program's model may pass into the copy.
    auto copy = std::make_unique<ConfigStore>();
    sections.clearAll(*copy);
    downloading_ = true;
    const bool read = ReadConf(comms_, *copy, sections, Device.DeviceFeatures, progress);
    downloading_ = false;
    if (!read) {
        transferFailed();
        return backup;
    }
    if (!history.record(Device.SerialNumber, HistoryKind::Read, *copy, sections, &backup.failure, &backup.entry,
                        firmwareText())) {
        backup.outcome = ConfigBackup::NotRecorded;
        return backup;
    }
    backup.outcome = ConfigBackup::Kept;
    emit historyRecorded(backup.entry);
    return backup;
}

// The lines alone: the caller holds the transfer and keeps the copy.
bool UnitConnection::send(const ConfigStore &store, const SectionRegistry &sections, const TransferProgress &progress)
{
    maskSecretsOf(sections);
    return WriteConf(comms_, store, sections, Device.DeviceFeatures, progress) || transferFailed();
}

bool UnitConnection::upload(const ConfigStore &store, const SectionRegistry &sections, const TransferProgress &progress)
{
    if (refuseWhileBusy())
        return false;
    Running running(*this, TransferKind::Upload);
    if (!send(store, sections, progress))
        return false;
    keepCopy(HistoryKind::Write, store, sections);
    return true;
}

bool UnitConnection::uploadVerified(const ConfigStore &store, const SectionRegistry &sections,
                                    QList<ConfigDifference> &differences, const TransferProgress &progress)
{
    differences.clear();
    if (refuseWhileBusy())
        return false;
    Running running(*this, TransferKind::Upload);
    // What was sent is kept apart, so that nothing edited meanwhile changes the check.
    const auto sent = std::make_unique<ConfigStore>(store);
    if (!send(*sent, sections, progress))
        return false;
    running.become(TransferKind::Verify);
    emit verifying();
    const quint32 features = Device.DeviceFeatures;
    auto held = std::make_unique<ConfigStore>(*sent);
    if (!ReadConf(comms_, *held, sections, features, progress)) {
        // Written, but not checked: the history says no more than that.
        keepCopy(HistoryKind::Write, *sent, sections);
        return transferFailed();
    }
    differences = compareUploads(*sent, *held, sections, {features, kProductLimits});
    keepCopy(differences.isEmpty() ? HistoryKind::VerifiedWrite : HistoryKind::DifferingWrite, *sent, sections);
    return true;
}

void UnitConnection::fail(LinkError error, const QString &detail)
{
    lastError_ = {error, request_.port, detail};
}

void UnitConnection::onPortLost(const QString &reason)
{
    fail(LinkError::PortLost, reason);
    const bool wasConnected = connected_;
    connected_ = false;
    if (!simulatorStarting_)
        simulated_.reset();
    emit portLost(lastError_);
    if (wasConnected)
        emit disconnected();
}

// The firmware as the history's commits name it; "" before the unit said.
QString UnitConnection::firmwareText() const
{
    return Device.FirmwareVersion > 0 ? QString::number(Device.FirmwareVersion / 100.0, 'f', 2) : QString();
}

void UnitConnection::keepCopy(HistoryKind kind, const ConfigStore &store, const SectionRegistry &sections)
{
    if (!history_)
        return;
    FileFailure failure;
    HistoryEntry entry;
    if (history_->record(Device.SerialNumber, kind, store, sections, &failure, &entry, firmwareText())) {
        historyFailing_ = false;
        emit historyRecorded(entry);
    } else if (!historyFailing_) {
        historyFailing_ = true;
        emit historyFailed(failure);
    }
}
