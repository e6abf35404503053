// The link's trace: the bounded ring, the masking of secrets, the text a
// person and a script read, and its playback by the simulated unit.
#include <gtest/gtest.h>


#include "files/sectionregistry.h"
#include "link/framecodec.h"
#include "link/linktrace.h"
#include "sections/sectionlist.h"
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
    // A trace written after the ring went round says what it no longer holds.
    EXPECT_TRUE(trace.text({}).contains("\n# dropped: the 10 oldest items")) << trace.text({}).left(600).constData();
    trace.clear();
    trace.sent("x");
    EXPECT_FALSE(trace.text({}).contains("# dropped"));
}

TEST(LinkTrace, TextIsOneTabSeparatedLinePerItemWithBytesEscaped)
{
    LinkTrace trace;
    trace.sent("#64;40\r");
    trace.received("#88;BF", TraceReading::Accepted);
    trace.received(QByteArray("#00;\x01\xE9\\\t", 8), TraceReading::BadChecksum);
    trace.timedOut();
    const QList<QByteArray> lines = trace.text({QStringLiteral("Tool v1"), QStringLiteral("COM3"), {}, {}}).split('\n');
    ASSERT_GE(lines.size(), 10);
    EXPECT_EQ(lines[0], "# Tool v1");
    EXPECT_EQ(lines[1], "# port: COM3");
    EXPECT_EQ(lines[2], "# unit: unknown");
    EXPECT_TRUE(lines[4].startsWith("# masked: the access key")) << lines[4].constData();
    const QList<QByteArray> items = lines.mid(6, 4);
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

// The passwords the separator table marks as secret are found where the
// GPRS section sends and streams them, and masked there in both directions;
// a masked frame that was good still checks, one that was bad stays bad.
TEST(LinkTrace, MasksThePasswordsInUploadLinesAndTheStream)
{
    SectionRegistry registry;
    registerSections(registry);
    const QList<SecretLineField> fields = secretLineFields(registry);
    QStringList found;
    for (const SecretLineField &f : fields)
        found << QStringLiteral("%1 %2 %3 %4 %5").arg(f.section, f.key, f.uploadPrefix, f.streamKeyword).arg(f.streamField);
    EXPECT_EQ(found, (QStringList{"GPRS APN_PASS APNPASS= GPRS 3", "GPRS FTP_PASS FTPPASS= GPRS 16"}));

    const QString stream = "#BD007GPRS,apn.example,%1,user,10,60,120,1,0,0,300,1,ftp.example,/in,ftpuser,%2,10,60";
    const auto received = [](const QString &text) { return FrameCodec::encode(text).chopped(1); };
    const struct {
        const char *what;
        QByteArray written;
        QByteArray kept;
    } cases[] = {
        {"upload line", FrameCodec::encode("#45001APNPASS=clave"), FrameCodec::encode("#45001APNPASS=****")},
        {"line number past 999", FrameCodec::encode("#451000FTPPASS=x"), FrameCodec::encode("#451000FTPPASS=****")},
        {"an empty password", FrameCodec::encode("#45001APNPASS="), FrameCodec::encode("#45001APNPASS=")},
        {"another key", FrameCodec::encode("#45002APNUSER=clave"), FrameCodec::encode("#45002APNUSER=clave")},
        {"stream line", received(stream.arg("clave", "ftpclave")), received(stream.arg("****", "****"))},
        {"another keyword", received("#BD008DNAME,clave"), received("#BD008DNAME,clave")},
        {"the unit's trace echo of an upload line", "TRC 45211APNPASS=Zq7Secret\r\nTRC CS;45212FTPPASS=x,y\r\n",
         "TRC 45211APNPASS=****\r\nTRC CS;45212FTPPASS=****,y\r\n"},
        {"an echo inside a frame", received("#TRC 45211APNPASS=clave"), received("#TRC 45211APNPASS=****")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(LinkTrace::masked(c.written, fields), c.kept) << c.what;

    QByteArray bad = received(stream.arg("clave", "ftpclave"));
    bad[1] = bad[1] == '0' ? '1' : '0';
    const QByteArray kept = LinkTrace::masked(bad, fields);
    EXPECT_FALSE(kept.contains("clave"));
    EXPECT_FALSE(FrameCodec::verify(kept));

    LinkTrace trace;
    trace.maskValues(fields);
    trace.sent(FrameCodec::encode("#45001FTPPASS=clave"));
    const QByteArray text = trace.text({});
    EXPECT_FALSE(text.contains("clave"));
    EXPECT_TRUE(text.contains("GPRS APN_PASS, GPRS FTP_PASS")) << text.constData();
}

// Each connection's items follow a line naming its port and unit; the
// current connection's text holds nothing of an earlier one.
TEST(LinkTrace, KeepsConnectionsApart)
{
    LinkTrace trace;
    trace.beginConnection("COM3");
    trace.sent("first\r");
    trace.unitNamed("VS-1");
    trace.beginConnection("COM4"); // a port that did not open leaves no trace
    trace.beginConnection("COM5");
    trace.sent("second\r");
    trace.unitNamed("VS-2");
    const QByteArray whole = trace.text({});
    EXPECT_TRUE(whole.contains("# connection: port COM3, unit VS-1\n")) << whole.constData();
    EXPECT_TRUE(whole.contains("# connection: port COM5, unit VS-2\n"));
    EXPECT_FALSE(whole.contains("COM4"));
    EXPECT_LT(whole.indexOf("first"), whole.indexOf("COM5"));
    const QByteArray current = trace.text({}, true);
    EXPECT_FALSE(current.contains("first")) << current.constData();
    EXPECT_FALSE(current.contains("COM3"));
    EXPECT_TRUE(current.contains("# connection: port COM5, unit VS-2\n"));
    EXPECT_TRUE(current.contains("second\\r"));
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
