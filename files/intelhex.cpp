#include "intelhex.h"

#include <QByteArrayView>
#include <algorithm>
#include <cctype>

namespace {

enum RecordType { Data = 0, EndOfFile = 1, SegmentAddress = 2, SegmentStart = 3, LinearAddress = 4, LinearStart = 5 };

// The byte count each record type other than data must carry.
int fixedCount(int type)
{
    switch (type) {
    case EndOfFile:
        return 0;
    case SegmentAddress:
    case LinearAddress:
        return 2;
    case SegmentStart:
    case LinearStart:
        return 4;
    default:
        return -1;
    }
}

// One record line without its line end; `data` receives its data byte count.
IntelHexCheck::Problem checkRecord(QByteArrayView line, int &type, int &data)
{
    if (!line.startsWith(':'))
        return IntelHexCheck::NotARecord;
    const QByteArrayView digits = line.sliced(1);
    if (!std::all_of(digits.begin(), digits.end(), [](char c) { return std::isxdigit(uchar(c)); }))
        return IntelHexCheck::BadDigits;
    const QByteArray bytes = QByteArray::fromHex(digits.toByteArray());
    // Count, two address bytes, type, the data and the checksum.
    if (digits.size() % 2 != 0 || bytes.size() < 5 || bytes.size() != quint8(bytes[0]) + 5)
        return IntelHexCheck::BadLength;
    quint8 sum = 0;
    for (char b : bytes)
        sum += quint8(b);
    if (sum != 0)
        return IntelHexCheck::BadChecksum;
    type = quint8(bytes[3]);
    data = quint8(bytes[0]);
    if (type > LinearStart)
        return IntelHexCheck::UnknownType;
    if (type != Data && data != fixedCount(type))
        return IntelHexCheck::BadTypeLength;
    return IntelHexCheck::None;
}

} // namespace

IntelHexCheck checkIntelHex(const QByteArray &text, qint64 maxDataBytes)
{
    IntelHexCheck check;
    if (text.isEmpty()) {
        check.problem = IntelHexCheck::Empty;
        return check;
    }
    bool ended = false;
    qsizetype pos = 0;
    while (pos < text.size()) {
        ++check.line;
        qsizetype end = pos;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n')
            ++end;
        const QByteArrayView line(text.constData() + pos, end - pos);
        // CR LF is one line end.
        const bool crLf = end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n';
        pos = end + (crLf ? 2 : 1);
        if (ended) {
            if (!line.isEmpty()) {
                check.problem = IntelHexCheck::DataAfterEnd;
                return check;
            }
            continue;
        }
        int type = 0, data = 0;
        check.problem = checkRecord(line, type, data);
        if (check.problem != IntelHexCheck::None)
            return check;
        if (type == Data)
            check.dataBytes += data;
        if (check.dataBytes > maxDataBytes) {
            check.problem = IntelHexCheck::TooLarge;
            return check;
        }
        ended = type == EndOfFile;
    }
    if (!ended) {
        check.problem = IntelHexCheck::NoEndRecord;
        ++check.line;
    }
    return check;
}
