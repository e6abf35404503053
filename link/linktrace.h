#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <vector>

#include "files/linetexts.h"

// The link's reading of one traced item.
enum class TraceReading {
    Sent,       // written to the unit or the modem
    Accepted,   // a frame whose checksum holds
    BadChecksum,
    Unexpected, // a good frame, but not the answer the command calls for
    Drained,    // a frame read away before a command
    Line,       // a modem line
    TimeOut,    // nothing usable came in time
};

// One frame, modem line or raw write as it passed the link.
struct TraceItem {
    qint64 ms = 0;      // since the trace began, on a monotonic clock
    bool sent = false;  // tool to unit
    QByteArray bytes;   // as on the wire, secrets masked
    TraceReading reading = TraceReading::Sent;
    int connection = 0; // the connection it passed on (LinkTrace::beginConnection)
};

// What a trace file's header tells about the run.
struct TraceHeader {
    QString program;
    QString port;
    QString unit;    // the unit's identity, when known
    QString timings; // the link timings in force
};

// The last exchanges of the link, kept always in a ring of fixed size, so
// that a failed transfer can be handed to support as the bytes that passed.
// The access key, the text of the login, the dialled number (all but its
// last three digits) and the values of the secret configuration texts
// (maskValues(), also where a line or frame echoes an upload line's text),
// in both directions, are masked as they are recorded:
// nothing secret is ever kept. A masked frame gets the checksum of what it
// holds then, so that a trace played back still reads as it was read.
class LinkTrace {
public:
    static constexpr int kCapacity = 8192;

    LinkTrace();

    // The secret texts' upload lines and stream fields, masked from now on.
    void maskValues(const QList<SecretLineField> &fields);
    // Items from now on belong to a new connection on `port`; unitNamed()
    // tells which unit answered on it.
    void beginConnection(const QString &port);
    void unitNamed(const QString &unit);

    void sent(const QByteArray &bytes);
    void received(const QByteArray &bytes, TraceReading reading);
    void timedOut();
    // The latest item received turns out not to be the awaited answer.
    void markUnexpected();

    // Oldest first; those of the latest connection alone when `currentOnly`.
    QList<TraceItem> items(bool currentOnly = false) const;
    void clear();

    // The trace as text: the header, what was masked, then one line per item:
    // ISO time with milliseconds, ">" or "<", the bytes with control bytes
    // escaped, and the reading, separated by tabs. Each connection's items
    // follow a "# connection:" line naming its port and unit. When the ring
    // has let older items go, a "# dropped:" line says how many.
    QByteArray text(const TraceHeader &header, bool currentOnly = false) const;

    // The masked form of the login, the key and the dialled number.
    static QByteArray masked(const QByteArray &bytes);
    // And of the secret texts' values in upload lines and stream frames.
    static QByteArray masked(const QByteArray &bytes, const QList<SecretLineField> &fields);
    // "\r" -> "\\r", tab, backslash and bytes outside printable ASCII as escapes.
    static QByteArray escaped(const QByteArray &bytes);
    static QByteArray unescaped(const QByteArray &text);
    static const char *readingWord(TraceReading reading);

private:
    struct Connection {
        int number = 0;
        QString port;
        QString unit;
    };

    void add(TraceItem item);
    const Connection *connection(int number) const;

    QList<SecretLineField> secrets_;
    QList<Connection> connections_; // those whose items may still be in the ring
    int connection_ = 0;
    QElapsedTimer clock_;
    QDateTime started_;
    std::vector<TraceItem> ring_;
    std::size_t next_ = 0;
    bool full_ = false;
    qint64 dropped_ = 0; // items the ring has let go since the last clear()
};
