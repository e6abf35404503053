// One exchange at a time on the link: the Terminal refused during a
// transfer, the tree locked while any transfer runs, closing the main window
// during one, and the modem hang-up that no poll may interrupt.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QJsonArray>
#include <QJsonObject>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest/QTest>

#include "../support/hextext.h"
#include "files/sectionregistry.h"
#include "files/uploadcompare.h"
#include "link/firmwaretransfer.h"
#include "model/configstore.h"
#include "sections/sectionlist.h"
#include "shell/editorregistry.h"
#include "shell/mainwindow.h"
#include "simulatedlink.h"
#include "sim/configstream.h"
#include "tools/realtimemonitor.h"
#include "tools/terminal.h"

namespace {

// Runs `action` once the link's next wait has begun, as an operator's click would.
void duringTheWait(std::function<void()> action)
{
    QTimer::singleShot(0, std::move(action));
}

int commandCount(const UnitLog &log, const char *code)
{
    return log.json().value("commands").toObject().value(QLatin1String(code)).toInt();
}

struct Transfers {
    Transfers() { registerSections(sections); }
    SectionRegistry sections;
    ConfigStore store;
    VoiceAuthList voice;
};

using Transfer = std::function<bool(UnitConnection &, Transfers &)>;

const struct TransferCase {
    const char *name;
    TransferKind kind;
    Transfer run;
} kTransfers[] = {
    {"download", TransferKind::Download, [](UnitConnection &u, Transfers &t) { return u.download(t.store, t.sections); }},
    {"upload", TransferKind::Upload, [](UnitConnection &u, Transfers &t) { return u.upload(t.store, t.sections); }},
    {"checked upload", TransferKind::Upload,
     [](UnitConnection &u, Transfers &t) {
         QList<ConfigDifference> differences;
         return u.uploadVerified(t.store, t.sections, differences);
     }},
    {"voice-list read", TransferKind::VoiceListRead, [](UnitConnection &u, Transfers &t) { return u.readVoiceList(t.voice); }},
    {"voice-list write", TransferKind::VoiceListWrite, [](UnitConnection &u, Transfers &t) { return u.writeVoiceList(t.voice); }},
    {"firmware", TransferKind::Firmware,
     [](UnitConnection &u, Transfers &) {
         FirmwareTransfer transfer(u.comms());
         return u.updateFirmware(transfer, hexText(4000, 'A'), hexText(500, 'L')).ok();
     }},
};

// Answers that take a little time, so that the link waits on the event loop.
EngineSetup slowUnit()
{
    EngineSetup setup;
    setup.faults.slowMs = 5;
    return setup;
}

// A silent unit fails every retry within a few milliseconds.
void quickGiveUp(Comms &comms)
{
    comms.LinkTimeout = 10;
    LinkTimings &t = comms.timings;
    t.drainRead = t.lineReply = t.fastLineReply = t.voiceLinePause = 2;
    t.voiceListClear = t.firmwareErase = t.firmwareReady = t.firmwareRamReady = t.firmwareDots = 10;
}

// What the tools send to the unit is there only while one is connected:
// disabled before the first connection and again after the link drops (the
// firmware's hand-over to its loader, a port that goes away), back with the
// next connection.
TEST(LinkOwner, ToolControlsThatNeedTheUnitFollowTheLink)
{
    SimulatedLink sim;
    Terminal terminal(sim.unit);
    T_Real_Zelmor monitor(sim.unit);
    const QList<QWidget *> controls{terminal.EnviarBut, terminal.TramaBut, terminal.TextComando,
                                    terminal.TraceEnable, monitor.CheckCambiarEstado.first(),
                                    monitor.CheckCambiarEstado.last()};
    const auto enabled = [&controls] {
        return std::count_if(controls.begin(), controls.end(), [](QWidget *w) { return w->isEnabled(); });
    };
    EXPECT_EQ(enabled(), 0);
    const struct {
        const char *name;
        std::function<void()> drop;
    } drops[] = {
        {"hand-over", [&] { sim.unit.disconnectUnit(); }},
        {"port lost", [&] { sim.port->vanish(QStringLiteral("Input/output error")); }},
    };
    for (const auto &d : drops) {
        ASSERT_TRUE(sim.connectUnit()) << d.name;
        EXPECT_EQ(enabled(), controls.size()) << d.name;
        d.drop();
        EXPECT_EQ(enabled(), 0) << d.name;
    }
}

TEST(LinkOwner, TerminalSendDuringAnUploadIsRefusedAsBusyAndNothingReachesTheUnit)
{
    SimulatedLink sim(slowUnit());
    Terminal terminal(sim.unit, [](QMessageBox::Icon, const QString &, QMessageBox::StandardButtons) {
        return QMessageBox::Ok;
    });
    ASSERT_TRUE(sim.connectUnit());
    sim.unit.readInfo();
    QSignalSpy refused(&sim.unit, &UnitConnection::refused);
    TransferKind runningAtClick = TransferKind::None;
    duringTheWait([&] {
        runningAtClick = sim.unit.transfer();
        terminal.TextComando->setText("44");
        terminal.EnviarBut->click();
    });
    Transfers t;
    EXPECT_TRUE(sim.unit.upload(t.store, t.sections));

    EXPECT_EQ(runningAtClick, TransferKind::Upload);
    ASSERT_EQ(refused.size(), 1);
    EXPECT_EQ(refused.at(0).at(0).value<LinkFailure>().error, LinkError::Busy);
    EXPECT_EQ(commandCount(sim.log, "01"), 0);
    EXPECT_EQ(sim.log.json().value("uploads").toArray().size(), 1);

    // Free again, the same click goes out.
    terminal.EnviarBut->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return commandCount(sim.log, "01") == 1; }));
}

// The tree is grey and the status line names the transfer while each kind
// runs, and both come back however it ends.
TEST(LinkOwner, TreeIsLockedDuringEveryTransferAndFreedHoweverItEnds)
{
    enum class End { Done, Failed, PortLost };
    for (const TransferCase &c : kTransfers) {
        for (const End end : {End::Done, End::Failed, End::PortLost}) {
            EngineSetup setup = slowUnit();
            if (end == End::Failed)
                setup.faults.silentAfter = 2; // the connection's "#40" and the identity's "#44"
            SimulatedLink sim(setup, ConfigStream::defaults(UnitState::defaults().features));
            EditorRegistry windows;
            MainWindow main(windows);
            main.followTransfers(sim.unit);
            ASSERT_TRUE(sim.connectUnit());
            sim.unit.readInfo();
            if (end == End::Failed)
                quickGiveUp(sim.comms);
            bool treeEnabled = true;
            QString status;
            TransferKind kind = TransferKind::None;
            duringTheWait([&] {
                treeEnabled = main.tree()->isEnabled();
                status = main.statusBar()->currentMessage();
                kind = sim.unit.transfer();
                if (end == End::PortLost)
                    sim.port->vanish("unplugged");
            });
            Transfers t;
            const bool ok = c.run(sim.unit, t);
            const std::string what = std::string(c.name) + (end == End::Done ? ", done" : ", ended early");
            EXPECT_EQ(ok, end == End::Done) << what;
            EXPECT_FALSE(treeEnabled) << what;
            EXPECT_FALSE(status.isEmpty()) << what;
            EXPECT_EQ(kind, c.kind) << what;
            EXPECT_TRUE(main.tree()->isEnabled()) << what;
            EXPECT_EQ(sim.unit.transfer(), TransferKind::None) << what;
            EXPECT_TRUE(main.statusBar()->currentMessage().isEmpty()) << what;
        }
    }
}

// Closing the main window while a transfer runs: one question; "no" lets it
// finish, "yes" stops it through the wait and the window closes once it ended.
TEST(LinkOwner, ClosingDuringATransferAsksOnceAndStopsItOnlyWhenTold)
{
    const struct {
        const char *name;
        int transfer; // index in kTransfers
        QMessageBox::StandardButton answer;
        bool finished;
        const char *questionHas;
    } cases[] = {
        {"upload, no", 1, QMessageBox::No, true, "transferencia"},
        {"upload, yes", 1, QMessageBox::Yes, false, "transferencia"},
        {"firmware, yes", 5, QMessageBox::Yes, false, "necesitara la actualizacion de nuevo"},
    };
    for (const auto &c : cases) {
        SimulatedLink sim(slowUnit());
        EditorRegistry windows;
        MainWindow main(windows);
        QStringList questions;
        main.followTransfers(sim.unit, [&](QMessageBox::Icon, const QString &text, QMessageBox::StandardButtons) {
            questions << text;
            return c.answer;
        });
        bool shutDown = false;
        main.setShutdown([&] { shutDown = true; });
        main.show();
        ASSERT_TRUE(sim.connectUnit());
        sim.unit.readInfo();
        duringTheWait([&] { main.close(); });
        Transfers t;
        const bool ok = kTransfers[c.transfer].run(sim.unit, t);
        EXPECT_EQ(ok, c.finished) << c.name;
        ASSERT_EQ(questions.size(), 1) << c.name;
        EXPECT_TRUE(questions.at(0).contains(QLatin1String(c.questionHas))) << c.name;
        // The close that waited for the transfer's end, posted when it ended.
        QCoreApplication::processEvents();
        EXPECT_TRUE(QTest::qWaitFor([&] { return shutDown == !c.finished; })) << c.name;
        EXPECT_EQ(main.isVisible(), c.finished) << c.name;
        EXPECT_EQ(shutDown, !c.finished) << c.name;
    }
}

// "+++", the guard time and "ATH" in one piece: a poll that falls due meanwhile
// waits, so the modem hangs up after exactly the frames sent before.
TEST(LinkOwner, HangUpHoldsTheLinkThroughTheEscapeAndAth)
{
    EngineSetup setup;
    setup.modem = true;
    SimulatedLink sim(setup);
    sim.unit.askPassWord = [] { return UnitState::defaults().accessKey; };
    ASSERT_TRUE(sim.unit.connectUnit({QStringLiteral("SIM"), false, QStringLiteral("600123456")}));
    const auto framesSoFar = [&] {
        int frames = 0;
        for (const QJsonValue count : sim.log.json().value("commands").toObject())
            frames += count.toInt();
        return frames;
    };
    const int before = framesSoFar();
    QTimer poll;
    int polls = 0;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        ++polls;
        sim.unit.readInfo();
    });
    poll.start(50);
    sim.unit.disconnectUnit();
    poll.stop();

    EXPECT_GT(polls, 0);
    EXPECT_FALSE(sim.unit.isConnected());
    const QJsonArray hangups = sim.log.json().value("hangups").toArray();
    ASSERT_EQ(hangups.size(), 1);
    EXPECT_EQ(hangups.at(0)["after"].toInt(), before);
    EXPECT_EQ(framesSoFar(), before);
}

// A hang-up asked for while an exchange waits ends that exchange, then hangs up.
TEST(LinkOwner, HangUpDuringAnExchangeEndsItThenHangsUp)
{
    EngineSetup setup;
    setup.modem = true;
    setup.faults.slowMs = 150;
    SimulatedLink sim(setup);
    sim.unit.askPassWord = [] { return UnitState::defaults().accessKey; };
    ASSERT_TRUE(sim.unit.connectUnit({QStringLiteral("SIM"), false, QStringLiteral("600123456")}));
    duringTheWait([&] { sim.unit.disconnectUnit(); });
    Transfers t;
    EXPECT_FALSE(sim.unit.download(t.store, t.sections));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !sim.unit.isConnected(); }, 10000));
    EXPECT_EQ(sim.log.json().value("hangups").toArray().size(), 1);
}

} // namespace
