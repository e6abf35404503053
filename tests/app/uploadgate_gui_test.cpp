// The one gate before an upload from the windows: every editor stores what
// it shows, then the model is checked.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>

#include "files/inidocument.h"
#include "sections/gprs/gprswindow.h"
#include "sections/timers/timerwindow.h"
#include "shell/uploadgate.h"
#include "simulatedprogram.h"

namespace {

// The program's windows on the simulated unit's engine, the General window
// shown and the unit connected.
class UploadGateTest : public SimulatedProgramTest {
public:
    UploadGateTest()
    {
        windows.findChild<UploadGate *>()->warn = [this](const QString &text) { warnings << text; };
    }

    void SetUp() override
    {
        main.show();
        main.openEditor(QStringLiteral("General"), -1);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
        connectUnit();
    }

    template <typename T> T *editor(const char *name) { return qobject_cast<T *>(windows.editor(QLatin1String(name))); }

    // "Escribir conf.", then the connection tick that runs it; the lines the unit got.
    QStringList write()
    {
        panel().Escribir->click();
        panel().TimerComms_Timer();
        const QJsonArray uploads = log.json()[QLatin1String("uploads")].toArray();
        if (uploads.isEmpty())
            return {};
        QStringList lines;
        for (const QJsonValue &line : uploads.last()[QLatin1String("lines")].toArray())
            lines << line.toString();
        return lines;
    }

    QStringList warnings;
};

} // namespace

// What was typed the moment before the click goes to the unit, whichever
// editor holds it and whatever its own store-back timing.
TEST_F(UploadGateTest, TypedValuesReachTheUnitWithoutWaitingForTheEditorsStore)
{
    const struct {
        const char *name;
        std::function<void(UploadGateTest &)> type;
        QString line;
    } cases[] = {
        {"unit name", [](UploadGateTest &t) { t.general()->NameBox->setText(QStringLiteral("Tank 7")); },
         QStringLiteral("ID=Tank 7")},
        {"GPRS", [](UploadGateTest &t) { t.editor<GPRS>("GPRS")->TextAPNServer->setText(QStringLiteral("apn.tank7")); },
         QStringLiteral("APNSERVER=apn.tank7")},
        {"cyclic timer", [](UploadGateTest &t) {
             const TimerElement &e = t.editor<TimerWindow>("CTimer")->element(0);
             e.TimerHabil->setChecked(true);
             e.Period->setText(QStringLiteral("777"));
         },
         QStringLiteral("CT0= 777,")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        c.type(*this);
        const QStringList lines = write();
        EXPECT_EQ(panel().ComStat->text(), QStringLiteral("Configuracion verificada"));
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const QString &l) { return l.startsWith(c.line); }))
            << lines.join(u'\n').toStdString();
    }
    EXPECT_TRUE(warnings.isEmpty());
}

// A text from a file that holds its line's separator stops the upload before
// a single line: the operator is told which field, and its editor opens.
TEST_F(UploadGateTest, AFileTextWithItsSeparatorRefusesTheUploadAndOpensItsEditor)
{
    QTemporaryDir dir;
    IniDocument doc;
    doc.writeValue(QStringLiteral("General"), QStringLiteral("VERSION"), QStringLiteral("VELKAN_SARN"));
    doc.writeValue(QStringLiteral("DIGITAL 2"), QStringLiteral("NOMBRE"), QStringLiteral("Bomba,NC"));
    const QString path = dir.filePath(QStringLiteral("hand.qcf"));
    ASSERT_TRUE(doc.save(path));
    ASSERT_TRUE(files.openFile(path));
    main.openEditor(QStringLiteral("General"), -1);

    panel().Escribir->click();
    panel().TimerComms_Timer();
    EXPECT_TRUE(log.json()[QLatin1String("uploads")].toArray().isEmpty());
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings[0].contains(QStringLiteral("[DIGITAL 2] NOMBRE: \"Bomba,NC\" contiene \",\"")))
        << warnings[0].toStdString();
    EXPECT_EQ(panel().ComStat->text(), QStringLiteral("Configuracion no enviada"));
    EXPECT_TRUE(panel().Escribir->isEnabled());
    SectionEditor *digital = windows.editor(QStringLiteral("E_Digital"));
    EXPECT_TRUE(digital->isVisible());
    EXPECT_EQ(digital->ChannelIndex(), 2);
    EXPECT_EQ(store.Digital[2].Name, QStringLiteral("Bomba,NC")); // the file's text is kept
}
