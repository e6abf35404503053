#include "tracereplay.h"

#include <QDateTime>
#include <QFile>

#include "link/linktrace.h"
#include "unitengine.h"

namespace {

constexpr qint64 kLongestGapMs = 60000;

} // namespace

bool TraceReplay::load(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return false;
    }
    parse(file.readAll());
    if (steps_.isEmpty()) {
        *error = QStringLiteral("no line the tool wrote");
        return false;
    }
    return true;
}

// Lines: time, ">" or "<", the escaped bytes, the link's reading.
void TraceReplay::parse(const QByteArray &text)
{
    steps_.clear();
    next_ = 0;
    QDateTime previous;
    for (const QByteArray &line : text.split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (line.startsWith('#') || fields.size() < 4)
            continue;
        const QDateTime time = QDateTime::fromString(QString::fromLatin1(fields[0]), Qt::ISODateWithMs);
        const qint64 gap = previous.isValid() && time.isValid() ? qBound<qint64>(0, previous.msecsTo(time), kLongestGapMs) : 0;
        if (time.isValid())
            previous = time;
        const QByteArray bytes = LinkTrace::unescaped(fields[2]);
        if (fields[1] == ">") {
            if (bytes.endsWith('\r'))
                steps_ << Step{};
        } else if (!steps_.isEmpty() && !bytes.isEmpty()) {
            // The link keeps a frame or a line without its ending.
            const QByteArray ending = fields[3] == "line" ? QByteArray("\r\n") : QByteArray("\r");
            steps_.last().answers << SimReply{int(gap), bytes + ending};
        }
    }
}

QList<SimReply> TraceReplay::feed(const QByteArray &bytes)
{
    QList<SimReply> out;
    for (const char c : bytes) {
        if (c == '\r' && next_ < steps_.size())
            out += steps_.at(next_++).answers;
    }
    return out;
}
