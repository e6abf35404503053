// The configuration download over the fake port.
#include <gtest/gtest.h>

#include <QTimer>

#include "link/fakeserialport.h"
#include "sections/macros/macrocore.h"
#include "sections/sectionlist.h"
#include "transfer_unit.h"

namespace {

const QStringList kKeywords = {"DNAME", "TLF"};

// The unit's answer to each "#42" in turn; the last one repeats.
void serve(TransferLink &link, const QList<QList<QByteArray>> &streams)
{
    QList<QByteArray> replies;
    for (const QList<QByteArray> &stream : streams)
        replies << stream.join();
    link.unit.on("#42", replies);
}

TEST(ConfigDownload, EndMarkerAloneIsAFailedAttempt)
{
    TransferLink link(kKeywords);
    serve(link, {downloadStream({})});

    EXPECT_FALSE(link.download());
    EXPECT_EQ(link.unit.count("#42"), 3);
    EXPECT_EQ(link.downloadedSignals, 0);
    EXPECT_FALSE(link.comms.CommsBusy());
    EXPECT_FALSE(link.connection.downloading());
}

// Each attempt fills a fresh copy of the model, so nothing of a broken pass stays.
TEST(ConfigDownload, SequenceGapRestartsFromZeroOnAFreshCopy)
{
    TransferLink link(kKeywords);
    QList<QByteArray> gap = downloadStream({"DNAME,Old", "TLF,0,+341", "TLF,1,+342"});
    gap[2] = ScriptedUnit::frame("#BD003TLF,1,+342");
    serve(link, {gap, downloadStream({"DNAME,Tank3", "TLF,0,+341"})});

    EXPECT_TRUE(link.download());
    EXPECT_EQ(link.unit.count("#42"), 2);
    EXPECT_EQ(link.recorder->clears, 2);
    EXPECT_EQ(link.recorder->parsed,
              QStringList({"DNAME|#BD000DNAME,Old", "TLF|#BD001TLF,0,+341", "DNAME|#BD000DNAME,Tank3",
                           "TLF|#BD001TLF,0,+341"}));
    EXPECT_EQ(link.downloadedSignals, 1);
    EXPECT_FALSE(link.comms.CommsBusy());
    EXPECT_FALSE(link.connection.downloading());
}

// A frame lost part-way through asks for the stream again, as a gap does.
TEST(ConfigDownload, CorruptFrameMidStreamIsRetried)
{
    TransferLink link(kKeywords);
    QList<QByteArray> noisy = downloadStream({"DNAME,Tank3", "TLF,0,+341"});
    noisy[1] = ScriptedUnit::corrupt("#BD001TLF,0,+341");
    serve(link, {noisy, downloadStream({"DNAME,Tank3", "TLF,0,+341"})});

    EXPECT_TRUE(link.download());
    EXPECT_EQ(link.unit.count("#42"), 2);
}

TEST(ConfigDownload, UnknownKeywordIsSkipped)
{
    TransferLink link(kKeywords);
    serve(link, {downloadStream({"DNAME,Tank3", "RBX,1,2,3", "TLF,0,+341"})});

    EXPECT_TRUE(link.download());
    EXPECT_EQ(link.recorder->parsed,
              QStringList({"DNAME|#BD000DNAME,Tank3", "TLF|#BD002TLF,0,+341"}));
}

TEST(ConfigDownload, ProgressFollowsSequenceNumbersBelowTheMaximum)
{
    TransferLink link(kKeywords);
    QStringList lines;
    for (int i = 0; i < 302; ++i)
        lines << QStringLiteral("TLF,0,+34%1").arg(i);
    serve(link, {downloadStream(lines)});

    EXPECT_TRUE(link.download());
    QList<std::pair<int, int>> expected{{0, 300}};
    for (int i = 0; i < 300; ++i)
        expected.append({i, 300});
    expected.append({300, 300});
    EXPECT_EQ(link.progress, expected);
}

TEST(ConfigDownload, MacroRowsRefillFromTheFirstRowOnEachAttempt)
{
    TransferLink link(kKeywords);
    link.sections.add(std::make_unique<MacroCore>());
    const QStringList macros = {"MACROS,4,{A,B}", "F,2,{x+y}", "MACROS,1,{C}"};
    QList<QByteArray> gap = downloadStream(macros);
    gap[2] = ScriptedUnit::frame("#BD005MACROS,1,{C}");
    serve(link, {gap, downloadStream(macros)});

    EXPECT_TRUE(link.download());
    EXPECT_EQ(link.store.Macros.Rows[0], "MACRO4={A,B}");
    EXPECT_EQ(link.store.Macros.Rows[1], "F2={x+y}");
    EXPECT_EQ(link.store.Macros.Rows[2], "MACRO1={C}");
    EXPECT_TRUE(link.store.Macros.Rows[3].isEmpty());
}

// Every attempt breaks off after its first line: the model keeps what it held,
// the macro pool included, and no reload is announced.
TEST(ConfigDownload, FailedDownloadLeavesTheModelAsItWas)
{
    UnitLink link;
    SectionRegistry sections;
    registerSections(sections);
    ConfigStore store;
    sections.clearAll(store);
    store.General.UnitName = QStringLiteral("Before");
    store.Macros.Rows[0] = QStringLiteral("MACRO0={A}");
    link.unit.on("#42", {ScriptedUnit::frame("#BD000DNAME,After") + ScriptedUnit::frame("#BD002DNAME,Later")});
    int reloads = 0;
    QObject::connect(&link.connection, &UnitConnection::configDownloaded, [&reloads] { ++reloads; });

    EXPECT_FALSE(link.connection.download(store, sections));
    EXPECT_EQ(link.unit.count("#42"), 3);
    EXPECT_EQ(store.General.UnitName, "Before");
    EXPECT_EQ(store.Macros.Rows[0], "MACRO0={A}");
    EXPECT_EQ(reloads, 0);
}

TEST(ConfigTransfer, BusyLinkOrClosedPortRefusesAtOnce)
{
    TransferLink link(kKeywords, {"ID=Tank3"});
    serve(link, {downloadStream({"DNAME,Tank3"})});

    {
        CommsBusyGuard other(link.comms);
        EXPECT_FALSE(link.download());
        EXPECT_FALSE(link.upload());
        EXPECT_TRUE(link.comms.CommsBusy());
        EXPECT_EQ(link.recorder->clears, 0);
    }
    EXPECT_FALSE(link.comms.CommsBusy());
    link.port.close();
    EXPECT_FALSE(link.download());
    EXPECT_FALSE(link.upload());
    EXPECT_FALSE(link.comms.CommsBusy());
    EXPECT_TRUE(link.port.writtenBytes().isEmpty());
}

// A port pulled during a wait fails the transfer and frees the link.
TEST(ConfigTransfer, PortLostMidTransferFailsAndFreesTheLink)
{
    for (const bool download : {true, false}) {
        TransferLink link(kKeywords, {"ID=Tank3", "CSM=+34600"});
        link.comms.LinkTimeout = 5000;
        serve(link, {{ScriptedUnit::frame("#BD000DNAME,Tank3")}}); // and then nothing
        QObject::connect(
            &link.port, &FakeSerialPort::written, &link.port,
            [&link] { QTimer::singleShot(20, &link.port, [&link] { link.port.vanish("unplugged"); }); },
            Qt::SingleShotConnection);

        EXPECT_FALSE(download ? link.download()
                              : link.upload())
            << download;
        EXPECT_FALSE(link.comms.CommsBusy()) << download;
        EXPECT_FALSE(link.connection.downloading()) << download;
        EXPECT_EQ(link.unit.count("#42"), download ? 1 : 0);
        EXPECT_LE(link.uploads.size(), 1);
    }
}

} // namespace
