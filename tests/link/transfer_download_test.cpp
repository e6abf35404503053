// The configuration download over the fake port.
#include <gtest/gtest.h>

#include <QTimer>

#include "link/fakeserialport.h"
#include "sections/macros/macrocore.h"
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

    EXPECT_FALSE(link.comms.ReadConf(link.store, link.sections));
    EXPECT_EQ(link.unit.count("#42"), 3);
    EXPECT_EQ(link.downloadedSignals, 0);
    EXPECT_FALSE(link.comms.CommsBusy);
    EXPECT_FALSE(link.comms.ConfigDownloading);
}

TEST(ConfigDownload, SequenceGapRestartsFromZeroWithoutClearingAgain)
{
    TransferLink link(kKeywords);
    QList<QByteArray> gap = downloadStream({"DNAME,Old", "TLF,0,+341", "TLF,1,+342"});
    gap[2] = ScriptedUnit::frame("#BD003TLF,1,+342");
    serve(link, {gap, downloadStream({"DNAME,Tank3", "TLF,0,+341"})});

    EXPECT_TRUE(link.comms.ReadConf(link.store, link.sections));
    EXPECT_EQ(link.unit.count("#42"), 2);
    EXPECT_EQ(link.recorder->clears, 1);
    EXPECT_EQ(link.recorder->parsed,
              QStringList({"DNAME|#BD000DNAME,Old", "TLF|#BD001TLF,0,+341", "DNAME|#BD000DNAME,Tank3",
                           "TLF|#BD001TLF,0,+341"}));
    EXPECT_EQ(link.downloadedSignals, 1);
    EXPECT_FALSE(link.comms.CommsBusy);
    EXPECT_FALSE(link.comms.ConfigDownloading);
}

// A frame lost part-way through asks for the stream again, as a gap does.
TEST(ConfigDownload, CorruptFrameMidStreamIsRetried)
{
    TransferLink link(kKeywords);
    QList<QByteArray> noisy = downloadStream({"DNAME,Tank3", "TLF,0,+341"});
    noisy[1] = ScriptedUnit::corrupt("#BD001TLF,0,+341");
    serve(link, {noisy, downloadStream({"DNAME,Tank3", "TLF,0,+341"})});

    EXPECT_TRUE(link.comms.ReadConf(link.store, link.sections));
    EXPECT_EQ(link.unit.count("#42"), 2);
}

TEST(ConfigDownload, UnknownKeywordIsSkipped)
{
    TransferLink link(kKeywords);
    serve(link, {downloadStream({"DNAME,Tank3", "RBX,1,2,3", "TLF,0,+341"})});

    EXPECT_TRUE(link.comms.ReadConf(link.store, link.sections));
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

    EXPECT_TRUE(link.comms.ReadConf(link.store, link.sections));
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

    EXPECT_TRUE(link.comms.ReadConf(link.store, link.sections));
    EXPECT_EQ(link.store.Macros.Rows[0], "MACRO4={A,B}");
    EXPECT_EQ(link.store.Macros.Rows[1], "F2={x+y}");
    EXPECT_EQ(link.store.Macros.Rows[2], "MACRO1={C}");
    EXPECT_TRUE(link.store.Macros.Rows[3].isEmpty());
}

TEST(ConfigTransfer, BusyLinkOrClosedPortRefusesAtOnce)
{
    TransferLink link(kKeywords, {"ID=Tank3"});
    serve(link, {downloadStream({"DNAME,Tank3"})});

    link.comms.CommsBusy = true;
    EXPECT_FALSE(link.comms.ReadConf(link.store, link.sections));
    EXPECT_FALSE(link.comms.WriteConf(link.store, link.sections));
    EXPECT_TRUE(link.comms.CommsBusy);
    EXPECT_EQ(link.recorder->clears, 0);

    link.comms.CommsBusy = false;
    link.port.close();
    EXPECT_FALSE(link.comms.ReadConf(link.store, link.sections));
    EXPECT_FALSE(link.comms.WriteConf(link.store, link.sections));
    EXPECT_FALSE(link.comms.CommsBusy);
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

        EXPECT_FALSE(download ? link.comms.ReadConf(link.store, link.sections)
                              : link.comms.WriteConf(link.store, link.sections))
            << download;
        EXPECT_FALSE(link.comms.CommsBusy) << download;
        EXPECT_FALSE(link.comms.ConfigDownloading) << download;
        EXPECT_EQ(link.unit.count("#42"), download ? 1 : 0);
        EXPECT_LE(link.uploads.size(), 1);
    }
}

} // namespace
