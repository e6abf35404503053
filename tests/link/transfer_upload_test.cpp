// The configuration upload over the fake port.
#include <gtest/gtest.h>

#include "link/devicevalues.h"
#include "link/fakeserialport.h"
#include "sections/macros/macrocore.h"
#include "transfer_unit.h"

namespace {

QStringList lines(int count)
{
    QStringList out;
    for (int i = 0; i < count; ++i)
        out << QStringLiteral("L%1=%1").arg(i);
    return out;
}

// The unit takes every line with an immediate acceptance, refusing line
// `refused` on the first `refusals` attempts.
std::function<QString(int, int)> refuse(int refused, int refusals)
{
    return [=](int attempt, int line) {
        return attempt < refusals && line == refused ? QStringLiteral("#BA0") : QStringLiteral("#BA1");
    };
}

TEST(ConfigUpload, SilentUnitThatConfirmsTheCloseSucceeds)
{
    TransferLink link({}, {"ID=Tank3", "CSM=+34600", "CLRTLF"});

    EXPECT_TRUE(link.upload());
    EXPECT_EQ(link.uploads, QList<QStringList>({{"#45000ID=Tank3", "#45001CSM=+34600", "#45002CLRTLF"}}));
    EXPECT_EQ(link.closings, QStringList({"#46003"}));
    EXPECT_EQ(link.progress.last(), std::make_pair(350, 350));
    EXPECT_FALSE(link.comms.CommsBusy());
}

TEST(ConfigUpload, RefusalRestartsTheWholeUploadUpToThreeAttempts)
{
    const struct {
        int refusals;
        bool ok;
        QList<int> sent; // lines sent in each attempt
    } cases[] = {
        {1, true, {58, 100}},
        {3, false, {58, 58, 58}},
    };
    for (const auto &c : cases) {
        TransferLink link({}, lines(100));
        link.connection.Device.DeviceFeatures = Feature::FastLineAck;
        link.lineReply = refuse(57, c.refusals);

        EXPECT_EQ(link.upload(), c.ok) << c.refusals;
        QList<int> sent;
        for (const QStringList &attempt : link.uploads) {
            EXPECT_EQ(attempt.first(), "#45000L0=0");
            sent << int(attempt.size());
        }
        EXPECT_EQ(sent, c.sent) << c.refusals;
        EXPECT_EQ(link.closings, c.ok ? QStringList({"#46100"}) : QStringList()) << c.refusals;
        EXPECT_FALSE(link.comms.CommsBusy());
    }
}

TEST(ConfigUpload, UnconfirmedCloseRestartsAndFailsAfterThree)
{
    TransferLink link({}, lines(2));
    link.lineReply = refuse(-1, 0);
    link.confirm = [](int attempt) { return attempt == 2; };
    EXPECT_TRUE(link.upload());
    EXPECT_EQ(link.closings, QStringList({"#46002", "#46002", "#46002"}));

    link.closings.clear();
    link.confirm = [](int) { return false; };
    EXPECT_FALSE(link.upload());
    EXPECT_EQ(link.closings.size(), 3);
}

TEST(ConfigUpload, LateLineRepliesAheadOfTheConfirmationArePassedOver)
{
    // A fast unit whose acceptance of the last line comes after the tool's short
    // wait: it sits in front of "#B91". A late refusal still fails the attempt.
    const struct {
        QString late;
        bool ok;
        int closings;
    } cases[] = {{"#BA1", true, 1}, {"#BA0", false, 3}};
    for (const auto &c : cases) {
        TransferLink link({}, lines(2));
        link.connection.Device.DeviceFeatures = Feature::FastLineAck;
        link.confirm = [&](int) {
            link.port.feed(ScriptedUnit::frame(c.late));
            return true;
        };
        EXPECT_EQ(link.upload(), c.ok) << c.late.toStdString();
        EXPECT_EQ(link.closings.size(), c.closings) << c.late.toStdString();
    }
}

TEST(ConfigUpload, CloseCarriesTheLineCount)
{
    TransferLink link({}, lines(281));
    link.lineReply = refuse(-1, 0);

    EXPECT_TRUE(link.upload());
    EXPECT_EQ(link.uploads.first().last(), "#45280L280=280");
    EXPECT_EQ(link.closings, QStringList({"#46281"}));
}

// More lines than the bar's usual 350 raise its maximum instead of overrunning it.
TEST(ConfigUpload, ProgressNeverPassesItsMaximum)
{
    TransferLink link({}, lines(400));
    link.lineReply = refuse(-1, 0);

    EXPECT_TRUE(link.upload());
    EXPECT_EQ(link.closings, QStringList({"#46400"}));
    for (const auto &[value, maximum] : link.progress)
        EXPECT_LE(value, maximum);
    EXPECT_EQ(link.progress.last(), std::make_pair(400, 400));
}

TEST(ConfigUpload, MacroRowsPast39AreNeverSent)
{
    TransferLink link;
    link.sections.add(std::make_unique<MacroCore>());
    link.lineReply = refuse(-1, 0);
    for (int row = 0; row < MacroPool::kRows; ++row)
        link.store.Macros.Rows[row] = QStringLiteral("MACRO%1={OUT1=1}").arg(row);

    EXPECT_TRUE(link.upload());
    const QStringList sent = link.uploads.first();
    EXPECT_EQ(sent.size(), 1 + MacroPool::kUploadedRows);
    EXPECT_EQ(sent.first(), "#45000CLEARMACRO");
    EXPECT_EQ(sent.last(), "#45040MACRO39={OUT1=1}");
}

} // namespace
