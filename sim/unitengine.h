#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

#include "faultplan.h"
#include "tracereplay.h"
#include "unitconfiguration.h"
#include "unitstate.h"

class UnitLog;

// Bytes the unit sends, after a pause (milliseconds after the previous reply
// of the same batch, or after the input for the first one).
struct SimReply {
    int delayMs = 0;
    QByteArray bytes;
};

// How the unit is reached and how long its slow steps take.
struct EngineSetup {
    bool modem = false;                              // a Hayes modem sits in front of the unit
    QString dialResult = QStringLiteral("CONNECT 9600"); // the modem's answer to ATD
    int dialDelayMs = 100;
    int eraseDelayMs = 200;                          // "#DWLD_ERASING" to "#DWLD_READY"
    // Upload lines the unit applies after every accepted configuration upload,
    // so that it holds something else than was sent ("RETRYMAX= 9").
    QStringList alterations;
    FaultPlan faults;
};

// The unit's side of the link: fed the bytes the tool writes, it answers with
// the bytes the unit would send. Pure request and reply; whoever hosts it
// (the pseudo-terminal program, an in-memory port) delivers the replies.
class UnitEngine {
public:
    UnitEngine(UnitState state, QStringList configLines, EngineSetup setup = {},
               UnitLog *log = nullptr);

    // From now on the unit only plays back the answers of a saved trace.
    void replay(TraceReplay script) { replay_ = std::move(script); replaying_ = true; }

    // nowMs: a monotonic time stamp of the arrival, for the modem's guard time.
    QList<SimReply> feed(const QByteArray &bytes, qint64 nowMs);
    // The line has been quiet for a while: a loader stream is over.
    void lineQuiet();
    // How long its hosts wait for quiet.
    static constexpr int kQuietMs = 500;

    // The computer's clock, against which the unit's clock offset runs.
    void setClock(std::function<QDateTime()> clock) { clock_ = std::move(clock); }
    QDateTime unitClock() const;

    const UnitState &state() const { return state_; }
    bool online() const { return !setup_.modem || dataMode_; }

    // The unit's framing of an answer payload ("BF" -> "#88;BF" CR).
    static QByteArray frame(const QString &payload);
    // CRC-16 of the voice list as the unit reports it.
    static quint16 listCrc(const QStringList &numbers);

private:
    TraceReplay replay_;
    bool replaying_ = false;
    enum class Raw { None, Image, Loader };

    void feedModemCommand(char c, QList<SimReply> &out);
    bool escapeSeen(char c, qint64 nowMs);
    void feedFrameByte(char c, QList<SimReply> &out);
    void feedRawByte(char c, QList<SimReply> &out);
    void rawArrived(char c);
    void endRaw();

    void handleFrame(const QString &text, QList<SimReply> &out);
    void answer(const QString &code, const QStringList &payloads, QList<SimReply> &out,
                int firstDelayMs = 0);
    QStringList answerFor(const QString &code, const QString &args);

    QStringList infoStream() const;
    QStringList configStream();
    QString liveStates() const;
    QStringList voiceListAnswer();
    QString setting(const QString &args);
    QString uploadLine(const QString &args);
    QString uploadClosing(const QString &args);
    QString setClock(const QString &digits);
    QString switchOutput(const QString &code, const QString &args);
    QString login(const QString &key);

    UnitState state_;
    UnitConfiguration config_;
    EngineSetup setup_;
    UnitLog *log_;
    std::function<QDateTime()> clock_;

    // Input framing.
    QByteArray frame_;
    bool inFrame_ = false;
    QByteArray modemLine_;
    qint64 lastInputMs_ = -1;
    int plusCount_ = 0;
    qint64 lastPlusMs_ = 0;

    // Modem and login.
    bool dataMode_ = false; // online with the unit (modem)
    bool callUp_ = false;
    bool echo_ = true;
    bool loggedIn_ = false;
    bool trace_ = false;

    // Upload: lines of the attempt under way, and whether it carries the voice list.
    QStringList uploadLines_;
    bool uploading_ = false;
    bool voiceSession_ = false;
    int uploadAttempts_ = 0;

    // Raw firmware streams.
    Raw raw_ = Raw::None;
    QByteArray rawBytes_;
    QByteArray heldFrame_;
    qint64 nowMs_ = 0;        // arrival of the bytes being fed
    qint64 rawFirstMs_ = -1;  // arrival of the stream's first and last bytes
    qint64 rawLastMs_ = -1;

    // Fault bookkeeping.
    QHash<QString, int> answered_; // frames sent per command code
    int framesReceived_ = 0;
    int downloadAttempts_ = 0;
    int closings_ = 0;
    bool crcSpoiled_ = false;
};
