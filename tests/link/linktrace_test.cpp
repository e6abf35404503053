// The link's trace: the bounded ring, the masking of secrets, the text a
// person and a script read, and its playback by the simulated unit.
#include <gtest/gtest.h>


#include "link/linktrace.h"
#include "sim/tracereplay.h"
#include "sim/unitengine.h"

#include <QDateTime>

namespace {

TEST(LinkTrace, MasksTheKeyTheLoginAndAllButTheLastThreeDialledDigits)
{
    const struct {
        QByteArray written;
        QByteArray kept;
    } cases[] = {
        {"#C3;11918273\r", "#**;11****\r"},
        {"ATD+34600111222\r", "ATD*********222\r"},
        {"atd600123456\r", "atd******456\r"},
        {"\r\nATD600123456\r\r\nCONNECT 9600\r\n", "\r\nATD******456\r\r\nCONNECT 9600\r\n"}, // the modem's echo
        {"#64;40\r", "#64;40\r"},
        {"#C9;01AT+CSQ\r", "#C9;01AT+CSQ\r"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(LinkTrace::masked(c.written), c.kept) << c.written.constData();
}

TEST(LinkTrace, RingKeepsTheLatestItemsOldestFirst)
{
    LinkTrace trace;
    const int total = LinkTrace::kCapacity + 10;
    for (int i = 0; i < total; ++i)
        trace.sent(QByteArray::number(i));
    const QList<TraceItem> items = trace.items();
    ASSERT_EQ(items.size(), LinkTrace::kCapacity);
    EXPECT_EQ(items.first().bytes, QByteArray::number(10));
    EXPECT_EQ(items.last().bytes, QByteArray::number(total - 1));
}

TEST(LinkTrace, TextIsOneTabSeparatedLinePerItemWithBytesEscaped)
{
    LinkTrace trace;
    trace.sent("#64;40\r");
    trace.received("#88;BF", TraceReading::Accepted);
    trace.received(QByteArray("#00;\x01\xE9\\\t", 8), TraceReading::BadChecksum);
    trace.timedOut();
    const QList<QByteArray> lines = trace.text({QStringLiteral("Tool v1"), QStringLiteral("COM3"), {}, {}}).split('\n');
    ASSERT_GE(lines.size(), 9);
    EXPECT_EQ(lines[0], "# Tool v1");
    EXPECT_EQ(lines[1], "# port: COM3");
    EXPECT_EQ(lines[2], "# unit: unknown");
    const QList<QByteArray> items = lines.mid(5, 4);
    const QList<QByteArray> expected[] = {
        {">", "#64;40\\r", "sent"},
        {"<", "#88;BF", "accepted"},
        {"<", "#00;\\x01\\xe9\\\\\\t", "bad-checksum"},
        {"<", "", "time-out"},
    };
    for (int i = 0; i < 4; ++i) {
        const QList<QByteArray> fields = items[i].split('\t');
        ASSERT_EQ(fields.size(), 4) << items[i].constData();
        EXPECT_TRUE(QDateTime::fromString(QString::fromLatin1(fields[0]), Qt::ISODateWithMs).isValid());
        EXPECT_EQ(fields.mid(1), expected[i]) << items[i].constData();
    }
    EXPECT_EQ(LinkTrace::unescaped("#00;\\x01\\xe9\\\\\\t"), QByteArray("#00;\x01\xE9\\\t", 8));
}

// A trace played back answers each line the tool writes as it was answered.
TEST(LinkTrace, ReplayAnswersEachWrittenLineWithItsRecordedAnswers)
{
    TraceReplay replay;
    replay.parse("# header\n"
                 "2026-01-01T00:00:00.000Z\t>\t#64;40\\r\tsent\n"
                 "2026-01-01T00:00:00.020Z\t<\t#88;BF\taccepted\n"
                 "2026-01-01T00:00:00.100Z\t>\t#68;44\\r\tsent\n"
                 "2026-01-01T00:00:00.400Z\t<\t\ttime-out\n"
                 "2026-01-01T00:00:00.400Z\t>\t#68;44\\r\tsent\n"
                 "2026-01-01T00:00:00.450Z\t<\t#00;FE\tbad-checksum\n");
    const QList<SimReply> first = replay.feed("#64;40\r");
    ASSERT_EQ(first.size(), 1);
    EXPECT_EQ(first[0].bytes, "#88;BF\r");
    EXPECT_EQ(first[0].delayMs, 20);
    EXPECT_TRUE(replay.feed("#68;44\r").isEmpty());
    const QList<SimReply> third = replay.feed("#68;44\r");
    ASSERT_EQ(third.size(), 1);
    EXPECT_EQ(third[0].bytes, "#00;FE\r");
    EXPECT_EQ(third[0].delayMs, 50);
    EXPECT_TRUE(replay.feed("#68;44\r").isEmpty());
}

} // namespace
