#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <vector>

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
// The access key, the text of the login and the dialled number (all but its
// last three digits) are masked as they are recorded: nothing secret is ever kept.
class LinkTrace {
public:
    static constexpr int kCapacity = 8192;

    LinkTrace();

    void sent(const QByteArray &bytes);
    void received(const QByteArray &bytes, TraceReading reading);
    void timedOut();
    // The latest item received turns out not to be the awaited answer.
    void markUnexpected();

    // Oldest first.
    QList<TraceItem> items() const;
    void clear();

    // The trace as text: the header, then one line per item: ISO time with
    // milliseconds, ">" or "<", the bytes with control bytes escaped, and
    // the reading, separated by tabs.
    QByteArray text(const TraceHeader &header) const;

    // The masked form of what the tool writes.
    static QByteArray masked(const QByteArray &bytes);
    // "\r" -> "\\r", tab, backslash and bytes outside printable ASCII as escapes.
    static QByteArray escaped(const QByteArray &bytes);
    static QByteArray unescaped(const QByteArray &text);
    static const char *readingWord(TraceReading reading);

private:
    void add(TraceItem item);

    QElapsedTimer clock_;
    QDateTime started_;
    std::vector<TraceItem> ring_;
    std::size_t next_ = 0;
    bool full_ = false;
};
