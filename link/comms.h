#pragma once

#include <QDeadlineTimer>
#include <QObject>
#include <QString>
#include <memory>

#include "linkerror.h"
#include "linktimings.h"
#include "linktrace.h"

class SerialPort;

// The link to the one connected unit: the serial port, the frame codec, the
// receive buffer and the waits. Device commands, the configuration transfers
// and the connection are built on it in their own files; each holds the link
// through a CommsBusyGuard for as long as its exchange runs.
class Comms : public QObject {
    Q_OBJECT
public:
    explicit Comms(std::unique_ptr<SerialPort> port, QObject *parent = nullptr);
    ~Comms() override;

    SerialPort &port();

    // Frames and waits. Each refuses (sends nothing, reads nothing) unless an
    // exchange holds the link through a CommsBusyGuard: only the operations of
    // link/ take one.
    void TxSer(QString &text, int timeOut); // text becomes the framed text
    void TxSer(const QString &text, int timeOut);
    bool RxSer(int timeOut);
    // One character outside any frame (the terminal's text); what it reads
    // is traced by the line, each line as the frame it is or as text.
    QString GetChar(int timeOut);
    void Delay(int timeOut);
    QString GetField(int field) const;
    QString GetField1(int field) const;
    // Modem lines: plain text ended by CR, outside the frames.
    void TxGsm(const QString &text, int timeOut);
    bool RxGsm(int timeOut);
    // Bytes as they are, outside any frame ("+++" of the hang-up).
    bool writeRaw(const QByteArray &bytes);

    // Reads away whatever the unit still sends, one read of `readTimeOut` at a
    // time, for at most the timings' drain limit.
    void drainFrames(int readTimeOut);

    // Sends a command until its answer begins with the expected code.
    bool answered(const QString &command, const QString &answer, int attempts);

    // Port open and no exchange running.
    bool linkFree() const;
    bool CommsBusy() const { return busy_; }

    // Ends every running wait and closes the port, without a word to the
    // unit: the program is closing.
    void shutdown();
    // Ends every running wait, and makes later ones return at once until
    // resumeWaits(): the operator cancelled what the link was doing.
    void stopWaits();
    void resumeWaits();

    // The last exchanges, always kept, secrets masked.
    LinkTrace &trace() { return trace_; }
    const LinkTrace &trace() const { return trace_; }

    QString RxBuf;
    QString TxBuf;
    qint32 LinkTimeout = 5000; // the answer time-out of this connection
    LinkTimings timings;

signals:
    void carrierLost();                   // the modem's carrier dropped
    void portLost(const QString &reason); // the port went away; it is closed
    void busyChanged(bool busy);
    void waitsEnded();

private:
    friend class CommsBusyGuard;
    void setBusy(bool busy);
    bool exchangeAllowed() const;

    bool waitForInput(const QDeadlineTimer &deadline);
    bool readByte(char &byte);
    bool readLine(int timeOut, bool (*starts)(unsigned char), QByteArray &line);
    bool acceptFrame(const QByteArray &frame);

    bool writeTraced(const QByteArray &bytes);
    void traceLoose(char byte);

    QByteArray loose_; // a line GetChar is reading, traced once it ends

    std::unique_ptr<SerialPort> port_;
    LinkTrace trace_;
    bool draining_ = false; // reads of a drain: what comes is stale, silence is no time-out
    bool busy_ = false;
    bool waitsStopped_ = false;
};

// Holds the link for one operation: acquired only while the port is open and
// no other exchange runs; released when it goes out of scope.
class CommsBusyGuard {
public:
    explicit CommsBusyGuard(Comms &comms);
    ~CommsBusyGuard();
    CommsBusyGuard(const CommsBusyGuard &) = delete;
    CommsBusyGuard &operator=(const CommsBusyGuard &) = delete;

    bool acquired() const { return acquired_; }
    explicit operator bool() const { return acquired_; }

private:
    Comms &comms_;
    bool acquired_;
};
