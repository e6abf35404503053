#include "linktrace.h"

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

} // namespace

LinkTrace::LinkTrace()
    : started_(QDateTime::currentDateTimeUtc())
{
    clock_.start();
    ring_.resize(kCapacity);
}

void LinkTrace::sent(const QByteArray &bytes)
{
    add({clock_.elapsed(), true, masked(bytes), TraceReading::Sent});
}

void LinkTrace::received(const QByteArray &bytes, TraceReading reading)
{
    add({clock_.elapsed(), false, masked(bytes), reading});
}

void LinkTrace::timedOut()
{
    add({clock_.elapsed(), false, {}, TraceReading::TimeOut});
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
    ring_[next_] = std::move(item);
    next_ = (next_ + 1) % ring_.size();
    full_ = full_ || next_ == 0;
}

QList<TraceItem> LinkTrace::items() const
{
    QList<TraceItem> list;
    const std::size_t count = full_ ? ring_.size() : next_;
    const std::size_t first = full_ ? next_ : 0;
    list.reserve(qsizetype(count));
    for (std::size_t i = 0; i < count; ++i)
        list << ring_[(first + i) % ring_.size()];
    return list;
}

void LinkTrace::clear()
{
    std::fill(ring_.begin(), ring_.end(), TraceItem{});
    next_ = 0;
    full_ = false;
}

QByteArray LinkTrace::masked(const QByteArray &bytes)
{
    return maskedDial(maskedLogin(bytes));
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

QByteArray LinkTrace::text(const TraceHeader &header) const
{
    QByteArray text = "# " + header.program.toUtf8() + "\n# port: " + header.port.toUtf8() + "\n# unit: "
                      + (header.unit.isEmpty() ? QByteArray("unknown") : header.unit.toUtf8())
                      + "\n# timings: " + header.timings.toUtf8()
                      + "\n# time\tdirection\tbytes\treading\n";
    for (const TraceItem &item : items()) {
        text += started_.addMSecs(item.ms).toString(Qt::ISODateWithMs).toLatin1() + '\t'
                + (item.sent ? '>' : '<') + '\t' + escaped(item.bytes) + '\t' + readingWord(item.reading) + '\n';
    }
    return text;
}
