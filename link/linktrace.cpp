#include "linktrace.h"

#include "framecodec.h"

namespace {

const QByteArray kLoginCode = "11";
const QByteArray kDial = "ATD";
constexpr int kDialKept = 3;

// "#CS;11KEY": the checksum would tell about the key, so it goes too.
QByteArray maskedLogin(const QByteArray &frame)
{
    const int separator = frame.indexOf(';');
    if (!frame.startsWith('#') || separator < 0 || frame.mid(separator + 1, 2) != kLoginCode)
        return frame;
    const bool ended = frame.endsWith('\r');
    return "#**;" + kLoginCode + "****" + (ended ? "\r" : "");
}

QByteArray maskedDial(const QByteArray &line)
{
    const int at = line.toUpper().indexOf(kDial);
    if (at < 0)
        return line;
    QByteArray masked = line;
    // The number ends with its line: an echo may be followed by the modem's answer.
    int end = at + kDial.size();
    while (end < masked.size() && masked.at(end) != '\r' && masked.at(end) != '\n')
        ++end;
    for (int i = at + kDial.size(); i < end - kDialKept; ++i)
        masked[i] = '*';
    return masked;
}

const QByteArray kHidden = "****";

QByteArray hidden(const QByteArray &value)
{
    return value.isEmpty() ? value : kHidden;
}

// An upload line's payload: "45", the line number (three digits or more),
// the line. The value runs to the line's end, or to a comma after it.
QByteArray maskedUploadLine(const QByteArray &payload, const QList<SecretLineField> &fields)
{
    if (!payload.startsWith("45"))
        return payload;
    qsizetype start = 2;
    while (start < payload.size() && payload.at(start) >= '0' && payload.at(start) <= '9')
        ++start;
    if (start < 5)
        return payload;
    for (const SecretLineField &field : fields) {
        const QByteArray prefix = field.uploadPrefix.toLatin1();
        if (prefix.isEmpty() || payload.mid(start, prefix.size()) != prefix)
            continue;
        const qsizetype from = start + prefix.size();
        qsizetype to = payload.indexOf(',', from);
        if (to < 0)
            to = payload.size();
        return payload.left(from) + hidden(payload.mid(from, to - from)) + payload.mid(to);
    }
    return payload;
}

// Upload lines' texts anywhere in `bytes`, as a unit's trace echoes the lines
// it takes ("TRC 45211APNPASS=..."): the value runs to a comma or the line's end.
QByteArray maskedEchoes(const QByteArray &bytes, const QList<SecretLineField> &fields)
{
    QByteArray masked = bytes;
    for (const SecretLineField &field : fields) {
        const QByteArray prefix = field.uploadPrefix.toLatin1();
        if (prefix.isEmpty())
            continue;
        for (qsizetype at = masked.indexOf(prefix); at >= 0; at = masked.indexOf(prefix, at)) {
            const qsizetype from = at + prefix.size();
            qsizetype to = from;
            while (to < masked.size() && masked.at(to) != ',' && masked.at(to) != '\r' && masked.at(to) != '\n')
                ++to;
            const QByteArray value = hidden(masked.mid(from, to - from));
            masked = masked.left(from) + value + masked.mid(to);
            at = from + value.size();
        }
    }
    return masked;
}

// A stream line's payload: "BD", its three-digit number, the keyword and
// the comma-separated fields.
QByteArray maskedStreamLine(const QByteArray &payload, const QList<SecretLineField> &fields)
{
    if (!payload.startsWith("BD") || payload.size() < 5)
        return payload;
    QList<QByteArray> cells = payload.split(',');
    const QByteArray keyword = cells.first().mid(5);
    for (const SecretLineField &field : fields) {
        if (field.streamField > 1 && field.streamField <= cells.size() && keyword == field.streamKeyword.toLatin1())
            cells[field.streamField - 1] = hidden(cells.at(field.streamField - 1));
    }
    return cells.join(',');
}

// "#CS;payload", with or without its CR. A frame that was good gets the sum
// of its masked payload; one that was bad stays bad.
QByteArray maskedValues(const QByteArray &frame, const QList<SecretLineField> &fields)
{
    const bool ended = frame.endsWith('\r');
    const QByteArray held = ended ? frame.chopped(1) : frame;
    if (fields.isEmpty())
        return frame;
    if (held.size() < 4 || !held.startsWith('#') || held.at(3) != ';')
        return maskedEchoes(frame, fields);
    const QByteArray payload = held.mid(4);
    const QByteArray masked = maskedEchoes(maskedStreamLine(maskedUploadLine(payload, fields), fields), fields);
    if (masked == payload)
        return frame;
    const QByteArray sum = FrameCodec::checksum(FrameCodec::verify(held) ? masked : masked + '\x01');
    return '#' + sum + ';' + masked + (ended ? "\r" : "");
}

} // namespace

LinkTrace::LinkTrace()
    : started_(QDateTime::currentDateTimeUtc())
{
    clock_.start();
    ring_.resize(kCapacity);
}

void LinkTrace::maskValues(const QList<SecretLineField> &fields)
{
    secrets_ = fields;
}

void LinkTrace::beginConnection(const QString &port)
{
    const std::size_t count = full_ ? ring_.size() : next_;
    const TraceItem *newest = count ? &ring_[(next_ + ring_.size() - 1) % ring_.size()] : nullptr;
    const TraceItem *oldest = count ? &ring_[full_ ? next_ : 0] : nullptr;
    // A connection that never got as far as a byte (a port that did not
    // open) gives its place to the next one.
    if (!connections_.isEmpty() && connections_.last().number == connection_
        && (!newest || newest->connection != connection_)) {
        connections_.last().port = port;
        return;
    }
    // Connections whose items the ring no longer holds are forgotten.
    const int kept = oldest ? oldest->connection : connection_ + 1;
    connections_.removeIf([kept](const Connection &c) { return c.number < kept; });
    connections_ << Connection{++connection_, port, {}};
}

void LinkTrace::unitNamed(const QString &unit)
{
    if (!connections_.isEmpty() && connections_.last().number == connection_)
        connections_.last().unit = unit;
}

const LinkTrace::Connection *LinkTrace::connection(int number) const
{
    for (const Connection &c : connections_)
        if (c.number == number)
            return &c;
    return nullptr;
}

void LinkTrace::sent(const QByteArray &bytes)
{
    add({clock_.elapsed(), true, masked(bytes, secrets_), TraceReading::Sent, connection_});
}

void LinkTrace::received(const QByteArray &bytes, TraceReading reading)
{
    add({clock_.elapsed(), false, masked(bytes, secrets_), reading, connection_});
}

void LinkTrace::timedOut()
{
    add({clock_.elapsed(), false, {}, TraceReading::TimeOut, connection_});
}

void LinkTrace::markUnexpected()
{
    const std::size_t count = full_ ? ring_.size() : next_;
    for (std::size_t back = 1; back <= count; ++back) {
        TraceItem &item = ring_[(next_ + ring_.size() - back) % ring_.size()];
        if (!item.sent) {
            if (item.reading == TraceReading::Accepted)
                item.reading = TraceReading::Unexpected;
            return;
        }
    }
}

void LinkTrace::add(TraceItem item)
{
    if (full_)
        ++dropped_;
    ring_[next_] = std::move(item);
    next_ = (next_ + 1) % ring_.size();
    full_ = full_ || next_ == 0;
}

QList<TraceItem> LinkTrace::items(bool currentOnly) const
{
    QList<TraceItem> list;
    const std::size_t count = full_ ? ring_.size() : next_;
    const std::size_t first = full_ ? next_ : 0;
    list.reserve(qsizetype(count));
    for (std::size_t i = 0; i < count; ++i) {
        const TraceItem &item = ring_[(first + i) % ring_.size()];
        if (!currentOnly || item.connection == connection_)
            list << item;
    }
    return list;
}

void LinkTrace::clear()
{
    std::fill(ring_.begin(), ring_.end(), TraceItem{});
    next_ = 0;
    full_ = false;
    dropped_ = 0;
    connections_.clear();
}

QByteArray LinkTrace::masked(const QByteArray &bytes)
{
    return maskedDial(maskedLogin(bytes));
}

QByteArray LinkTrace::masked(const QByteArray &bytes, const QList<SecretLineField> &fields)
{
    return maskedValues(masked(bytes), fields);
}

QByteArray LinkTrace::escaped(const QByteArray &bytes)
{
    QByteArray text;
    text.reserve(bytes.size() + 8);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\r')
            text += "\\r";
        else if (c == '\n')
            text += "\\n";
        else if (c == '\t')
            text += "\\t";
        else if (c == '\\')
            text += "\\\\";
        else if (byte < 0x20 || byte >= 0x7F)
            text += "\\x" + QByteArray::number(byte, 16).rightJustified(2, '0');
        else
            text += c;
    }
    return text;
}

QByteArray LinkTrace::unescaped(const QByteArray &text)
{
    QByteArray bytes;
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i) != '\\' || i + 1 >= text.size()) {
            bytes += text.at(i);
            continue;
        }
        const char code = text.at(++i);
        if (code == 'r')
            bytes += '\r';
        else if (code == 'n')
            bytes += '\n';
        else if (code == 't')
            bytes += '\t';
        else if (code == 'x' && i + 2 < text.size()) {
            bytes += char(text.mid(i + 1, 2).toInt(nullptr, 16));
            i += 2;
        } else
            bytes += code;
    }
    return bytes;
}

const char *LinkTrace::readingWord(TraceReading reading)
{
    switch (reading) {
    case TraceReading::Sent:
        return "sent";
    case TraceReading::Accepted:
        return "accepted";
    case TraceReading::BadChecksum:
        return "bad-checksum";
    case TraceReading::Unexpected:
        return "unexpected";
    case TraceReading::Drained:
        return "drained";
    case TraceReading::Line:
        return "line";
    case TraceReading::TimeOut:
        return "time-out";
    }
    return "";
}

QByteArray LinkTrace::text(const TraceHeader &header, bool currentOnly) const
{
    QByteArray masked = "the access key (the login frame's text and checksum); dialled numbers but their last 3 digits";
    if (!secrets_.isEmpty()) {
        QStringList names;
        for (const SecretLineField &field : secrets_)
            names << field.section + u' ' + field.key;
        masked += "; the values of " + names.join(QStringLiteral(", ")).toUtf8()
                  + " as " + kHidden + " in upload lines, their echoes and the configuration stream, their frames summed again";
    }
    QByteArray text = "# " + header.program.toUtf8() + "\n# port: " + header.port.toUtf8() + "\n# unit: "
                      + (header.unit.isEmpty() ? QByteArray("unknown") : header.unit.toUtf8())
                      + "\n# timings: " + header.timings.toUtf8() + "\n# masked: " + masked + '\n';
    if (dropped_ > 0)
        text += "# dropped: the " + QByteArray::number(dropped_) + " oldest items; the trace keeps the latest "
                + QByteArray::number(kCapacity) + '\n';
    text += "# time\tdirection\tbytes\treading\n";
    int shown = 0;
    for (const TraceItem &item : items(currentOnly)) {
        if (item.connection != shown) {
            shown = item.connection;
            const Connection *c = connection(shown);
            text += "# connection: port " + (c ? c->port.toUtf8() : QByteArray("unknown")) + ", unit "
                    + (c && !c->unit.isEmpty() ? c->unit.toUtf8() : QByteArray("unknown")) + '\n';
        }
        text += started_.addMSecs(item.ms).toString(Qt::ISODateWithMs).toLatin1() + '\t'
                + (item.sent ? '>' : '<') + '\t' + escaped(item.bytes) + '\t' + readingWord(item.reading) + '\n';
    }
    return text;
}
