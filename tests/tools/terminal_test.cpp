#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <QtTest/QTest>

#include "link/framecodec.h"
#include "simulatedlink.h"
#include "tools/terminal.h"

namespace {

class TerminalTest : public ::testing::Test {
protected:
    TerminalTest()
        : terminal(sim.unit, [this](QMessageBox::Icon, const QString &text, QMessageBox::StandardButtons) {
              messages << text;
              return QMessageBox::Ok;
          })
    {
        terminal.Timer1->stop(); // the test runs each tick itself
        terminal.active = [this] { return active; };
    }

    QStringList lines() const
    {
        QStringList lines;
        for (QTextBlock b = terminal.TextWin->document()->firstBlock(); b.isValid(); b = b.next())
            lines << b.text();
        return lines;
    }
    QString console() const { return terminal.TextWin->toPlainText(); }

    SimulatedLink sim;
    Terminal terminal;
    bool active = true;
    QStringList messages;
};

TEST_F(TerminalTest, ButtonsWriteTheirFramesOnceAndEmptyBoxesNothing)
{
    ASSERT_TRUE(sim.connectUnit());
    const struct {
        const char *what;
        std::function<void()> press;
        QByteArray written;
    } cases[] = {
        {"command 44", [&] { terminal.TextComando->setText("44"); terminal.EnviarBut->click(); },
         QByteArray::fromHex("2343393B303134340D")},
        {"frame #40", [&] { terminal.TextTrama->setText("#40"); terminal.TramaBut->click(); },
         QByteArray::fromHex("2336343B34300D")},
        {"Enter in the frame box", [&] { emit terminal.TextTrama->returnPressed(); },
         QByteArray::fromHex("2336343B34300D")},
        {"trace on", [&] { terminal.TraceEnable->click(); }, SimulatedLink::frame("#041")},
        {"trace off", [&] { terminal.TraceDisable->click(); }, SimulatedLink::frame("#040")},
        {"empty command", [&] { terminal.TextComando->clear(); terminal.EnviarBut->click(); }, {}},
        {"empty frame", [&] { terminal.TextTrama->clear(); terminal.TramaBut->click(); }, {}},
    };
    for (const auto &c : cases) {
        sim.port->takeWritten();
        c.press();
        EXPECT_EQ(sim.port->takeWritten().toHex(' '), c.written.toHex(' ')) << c.what;
    }
}

TEST_F(TerminalTest, ShowsTheUnitsRawAnswerWithChecksumAndSemicolon)
{
    ASSERT_TRUE(sim.connectUnit());
    terminal.TextComando->setText("44");
    terminal.EnviarBut->click();
    const QByteArray answer = UnitEngine::frame("#FE44");
    // The in-memory unit answers through the event loop.
    EXPECT_TRUE(QTest::qWaitFor([&] {
        terminal.Timer1_Timer();
        return lines().contains(QString::fromLatin1(answer.left(answer.size() - 1)));
    }));
    EXPECT_EQ(lines(), (QStringList{"> #C9;0144", QString::fromLatin1(answer.left(answer.size() - 1)), ""}));
}

// What was sent and what came back, marked apart in the view and in the saved
// text: a sent frame starts a line of its own even inside a line the unit has
// not ended.
TEST_F(TerminalTest, TheTranscriptHoldsTheFramesSentMarkedApartFromWhatCameBack)
{
    ASSERT_TRUE(sim.connectUnit());
    sim.port->feed("TRC 1\rhalf");
    terminal.Timer1_Timer();
    terminal.TraceDisable->click();
    const QString sent = "> " + FrameCodec::framedText("#040");
    const QString answer = QString::fromLatin1(UnitEngine::frame("#FB0").chopped(1));
    // The in-memory unit answers through the event loop.
    EXPECT_TRUE(QTest::qWaitFor([&] {
        terminal.Timer1_Timer();
        return lines().contains(answer);
    }));
    EXPECT_EQ(lines(), (QStringList{"TRC 1", "half", sent, answer, ""}));

    const auto colourOfLine = [this](int line) {
        const QTextBlock block = terminal.TextWin->document()->findBlockByNumber(line);
        return block.begin().fragment().charFormat().foreground().color();
    };
    EXPECT_NE(colourOfLine(2), colourOfLine(0));
    EXPECT_EQ(colourOfLine(3), colourOfLine(0));

    QTemporaryDir dir;
    QString suggested;
    terminal.askSavePath = [&](const QString &, const QString &name) {
        suggested = name;
        return dir.filePath("t.rtf");
    };
    sim.unit.Device.SerialNumber = QStringLiteral("VS 0042/7");
    terminal.SaveBut->click();
    QFile file(dir.filePath("t.rtf"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains(("half\\par\r\n" + sent + "\\par\r\n" + answer).toLatin1()));
    EXPECT_TRUE(QRegularExpression("^terminal_VS_0042_7_20\\d{6}-\\d{6}\\.rtf$").match(suggested).hasMatch())
        << qPrintable(suggested);

    terminal.TraceSaveBut->click();
    EXPECT_TRUE(suggested.startsWith("trace_VS_0042_7_")) << qPrintable(suggested);
}

TEST_F(TerminalTest, ReadsOnlyWhenConnectedActiveAndTheLinkIsFree)
{
    ASSERT_TRUE(sim.port->open(QStringLiteral("SIM"))); // open, but no unit connected
    sim.port->feed("early\r");
    terminal.Timer1_Timer();
    EXPECT_EQ(console(), QString());
    EXPECT_EQ(sim.port->bytesAvailable(), 6);

    ASSERT_TRUE(sim.connectUnit());
    sim.port->feed("kept\r");
    active = false;
    terminal.Timer1_Timer();
    {
        CommsBusyGuard upload(sim.comms);
        active = true;
        terminal.Timer1_Timer();
    }
    EXPECT_EQ(console(), QString());
    EXPECT_EQ(sim.port->bytesAvailable(), 5) << "what arrives stays in the port";

    terminal.Timer1_Timer();
    EXPECT_EQ(lines(), (QStringList{"kept", ""}));
}

TEST_F(TerminalTest, CrLfAndCrLfEachEndOneLineAcrossTicks)
{
    ASSERT_TRUE(sim.connectUnit());
    for (const QByteArray &arrival : {QByteArray("#88;BF\r"), QByteArray("TRC 1\r"), QByteArray("\na\nb")}) {
        sim.port->feed(arrival);
        terminal.Timer1_Timer();
    }
    EXPECT_EQ(lines(), (QStringList{"#88;BF", "TRC 1", "a", "b"}));

    terminal.BorrarBut->click();
    EXPECT_EQ(console(), QString());
}

TEST_F(TerminalTest, SavedTranscriptIsRichTextThatAnotherReaderShowsLineByLine)
{
    ASSERT_TRUE(sim.connectUnit());
    sim.port->feed("first\r\n  indented line\r\nbraces {x} and back\\slash\r\ntab\there\rcaf\xE9 \x80 5\r");
    terminal.Timer1_Timer();

    QTemporaryDir dir;
    const QString path = dir.filePath("trace.rtf");
    QString filterShown;
    terminal.askSavePath = [&](const QString &filter, const QString &) {
        filterShown = filter;
        return path;
    };
    terminal.SaveBut->click();
    EXPECT_TRUE(messages.isEmpty()) << qPrintable(messages.join('\n'));
    EXPECT_TRUE(filterShown.startsWith("Archivo de texto enriquecido (*.rtf);;")) << qPrintable(filterShown);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray rtf = file.readAll();
    EXPECT_TRUE(rtf.contains("first\\par\r\n  indented line\\par\r\n")) << rtf.constData();
    EXPECT_TRUE(rtf.contains("caf\\'e9 \\'80 5")) << rtf.constData();

    // The reader renders to HTML (its plain-text mode knows no euro sign);
    // like any HTML, that shows a run of blanks as one.
    const QString reader = QStandardPaths::findExecutable(QStringLiteral("unrtf"));
    if (reader.isEmpty())
        GTEST_SKIP() << "unrtf is not installed (scripts/install-deps.sh installs it)";
    QProcess unrtf;
    unrtf.start(reader, {QStringLiteral("--html"), path});
    ASSERT_TRUE(unrtf.waitForFinished(10000));
    QTextDocument html;
    html.setHtml(QString::fromUtf8(unrtf.readAllStandardOutput()));
    const QString shown = html.toPlainText().simplified();
    for (const char *line : {"first", "indented line", "braces {x} and back\\slash", "tab here", "café € 5"})
        EXPECT_TRUE(shown.contains(QString::fromUtf8(line))) << line << "\nin: " << qPrintable(shown);
}

// The link's trace, whoever exchanged what: the connection's own "#40" is in it.
TEST_F(TerminalTest, SavedTraceHoldsTheLinksFrames)
{
    ASSERT_TRUE(sim.connectUnit());
    QTemporaryDir dir;
    const QString path = dir.filePath("line.trace");
    QString filterShown;
    terminal.askSavePath = [&](const QString &filter, const QString &) {
        filterShown = filter;
        return path;
    };
    terminal.TraceSaveBut->click();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("\t>\t#64;40\\r\tsent\n")) << text.constData();
    EXPECT_TRUE(text.contains("\t<\t#88;BF\taccepted\n")) << text.constData();
    EXPECT_TRUE(filterShown.contains("*.trace")) << qPrintable(filterShown);
    EXPECT_TRUE(messages.isEmpty());
}

// The terminal's frames and the unit's answers to them are traced as any
// exchange is; a trace saved after a second connection holds nothing of the first.
TEST_F(TerminalTest, SavedTraceHoldsThisConnectionsTerminalExchanges)
{
    const auto ask = [this](const char *command) {
        terminal.TextComando->setText(QString::fromLatin1(command));
        terminal.EnviarBut->click();
        const QString answer = QString::fromLatin1(UnitEngine::frame(QStringLiteral("#FE") + QLatin1String(command)).chopped(1));
        return QTest::qWaitFor([&] {
            terminal.Timer1_Timer();
            return console().contains(answer);
        });
    };
    ASSERT_TRUE(sim.connectUnit());
    ASSERT_TRUE(ask("FIRST"));
    sim.unit.disconnectUnit();
    ASSERT_TRUE(sim.connectUnit());
    ASSERT_TRUE(ask("ESTADO"));
    QTemporaryDir dir;
    terminal.askSavePath = [&](const QString &, const QString &) { return dir.filePath("line.trace"); };
    terminal.TraceSaveBut->click();
    QFile file(dir.filePath("line.trace"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("\t>\t" + SimulatedLink::frame("#01ESTADO").replace("\r", "\\r") + "\tsent\n")) << text.constData();
    EXPECT_TRUE(text.contains("\t<\t" + UnitEngine::frame("#FEESTADO").chopped(1) + "\taccepted\n")) << text.constData();
    EXPECT_FALSE(text.contains("FIRST"));
    EXPECT_EQ(text.count("# connection: port SIM"), 1);
}

TEST_F(TerminalTest, FailedSaveTellsTheOperatorAndKeepsTheOldFile)
{
    ASSERT_TRUE(sim.connectUnit());
    sim.port->feed("new text\r");
    terminal.Timer1_Timer();

    // The file is replaced through a temporary one beside it; with a name at
    // the system's length limit there is no room for that one, whoever runs
    // the test (an unwritable folder does not stop the super-user).
    QTemporaryDir dir;
    const QString path = dir.filePath(QString(250, u'n') + ".rtf");
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old transcript");
    }
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    terminal.askSavePath = [&](const QString &, const QString &) { return path; };
    terminal.SaveBut->click();
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages.at(0).startsWith("No se pudo guardar el archivo\n\n")) << qPrintable(messages.at(0));
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("old transcript"));

    // A cancelled dialog does nothing.
    terminal.askSavePath = [](const QString &, const QString &) { return QString(); };
    terminal.SaveBut->click();
    EXPECT_EQ(messages.size(), 1);
}

} // namespace
