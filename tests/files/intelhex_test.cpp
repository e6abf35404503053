#include <gtest/gtest.h>

#include <QRandomGenerator>

#include "../support/hextext.h"
#include "files/intelhex.h"

namespace {

const QByteArray kEnd = hexRecord(1, 0, {});

QByteArray records(int count, int from = 0)
{
    QByteArray text;
    for (int i = from; i < from + count; ++i)
        text += hexRecord(0, quint16(i * 16), QByteArray(16, char('0' + i)));
    return text;
}

QByteArray randomBytes(int length)
{
    QRandomGenerator random(7);
    QByteArray bytes(length, '\0');
    for (char &b : bytes)
        b = char(random.bounded(256));
    return bytes;
}

// Record `n` (from 0) of `text` with its checksum one off.
QByteArray spoilChecksum(QByteArray text, int n)
{
    qsizetype end = -1;
    for (int i = 0; i <= n; ++i)
        end = text.indexOf("\r\n", end + 1);
    char &digit = text[end - 1];
    digit = digit == '0' ? '1' : '0';
    return text;
}

TEST(IntelHex, AcceptsImagesInEveryUsualForm)
{
    const struct {
        const char *what;
        QByteArray text;
        qint64 dataBytes;
    } cases[] = {
        {"data records", records(3) + kEnd, 48},
        {"without a line end after the end record", records(2) + kEnd.chopped(2), 32},
        {"LF line ends", QByteArray(records(2) + kEnd).replace("\r\n", "\n"), 32},
        {"CR line ends and blank lines after the end", QByteArray(records(2) + kEnd + "\r\n\r\n").replace("\r\n", "\r"), 32},
        {"lower-case digits", QByteArray(records(2) + kEnd).toLower(), 32},
        {"address and start records", hexRecord(4, 0, QByteArray::fromHex("0800")) + hexRecord(2, 0, QByteArray::fromHex("1000"))
                                           + records(1) + hexRecord(5, 0, QByteArray::fromHex("08000131"))
                                           + hexRecord(3, 0, QByteArray::fromHex("00000100")) + kEnd,
         16},
        {"the flash filled exactly", records(4) + kEnd, 64},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const IntelHexCheck check = checkIntelHex(c.text, 64);
        EXPECT_EQ(check.problem, IntelHexCheck::None) << "line " << check.line;
        EXPECT_EQ(check.dataBytes, c.dataBytes);
    }
}

TEST(IntelHex, RefusesWithTheFirstFaultAndItsLine)
{
    const QByteArray plainText = "Firmware 2.31 release notes\r\n\r\nFixes the modem start.\r\n";
    const struct {
        const char *what;
        QByteArray text;
        IntelHexCheck::Problem problem;
        int line;
    } cases[] = {
        {"empty file", "", IntelHexCheck::Empty, 0},
        {"plain text", plainText, IntelHexCheck::NotARecord, 1},
        {"random bytes", randomBytes(4096), IntelHexCheck::NotARecord, 1},
        {"bad checksum on the third record", spoilChecksum(records(5) + kEnd, 2), IntelHexCheck::BadChecksum, 3},
        {"missing end record", records(4), IntelHexCheck::NoEndRecord, 5},
        {"data after the end record", records(2) + kEnd + records(1, 2), IntelHexCheck::DataAfterEnd, 4},
        {"a blank after the end record", records(2) + kEnd + " \r\n", IntelHexCheck::DataAfterEnd, 4},
        {"unknown record type", records(2) + hexRecord(6, 0, "ab") + kEnd, IntelHexCheck::UnknownType, 3},
        {"oversized image", records(5) + kEnd, IntelHexCheck::TooLarge, 5},
        {"blank line between records", records(1) + "\r\n" + records(1, 1) + kEnd, IntelHexCheck::NotARecord, 2},
        {"a digit that is not hexadecimal", records(1) + QByteArray(records(1, 1)).replace(9, 1, "G") + kEnd,
         IntelHexCheck::BadDigits, 2},
        {"a record cut short", records(1) + records(1, 1).chopped(4) + "\r\n" + kEnd, IntelHexCheck::BadLength, 2},
        {"an odd number of digits", records(1) + ":0" + "\r\n" + kEnd, IntelHexCheck::BadLength, 2},
        {"an end record with data", records(1) + hexRecord(1, 0, "x"), IntelHexCheck::BadTypeLength, 2},
        {"an address record of three bytes", hexRecord(4, 0, "abc") + kEnd, IntelHexCheck::BadTypeLength, 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const IntelHexCheck check = checkIntelHex(c.text, 64);
        EXPECT_EQ(check.problem, c.problem);
        EXPECT_EQ(check.line, c.line);
    }
}

} // namespace
