// The access key typed for a modem call is kept nowhere: the program's
// windows make the call through velkan-sim, download, save the configuration,
// the terminal's transcript and the per-user settings, and no file under the
// program's folders holds the key. The prompt that held it is gone with the call.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>

#include "../support/pseudoterminal.h"
#include "files/langtable.h"
#include "files/sectionregistry.h"
#include "link/comms.h"
#include "link/qtserialport.h"
#include "link/simulatedunit.h"
#include "link/unitconnection.h"
#include "model/configstore.h"
#include "model/product.h"
#include "sections/general/connectionpanel.h"
#include "sections/general/generalwindow.h"
#include "sections/sectionlist.h"
#include "shell/accesskeyprompt.h"
#include "shell/editorregistry.h"
#include "shell/filecommands.h"
#include "shell/usersettings.h"
#include "tools/terminal.h"

namespace {

const QString kKey = QStringLiteral("7351");

// The operator types the key into the prompt the call opens.
QString typeTheKey()
{
    QTimer::singleShot(0, [] {
        auto *prompt = qobject_cast<AccessKeyPrompt *>(QApplication::activeModalWidget());
        if (!prompt)
            return;
        prompt->PWText->setText(kKey);
        prompt->Aceptar->click();
    });
    return AccessKeyPrompt::ask();
}

// Files under the folder holding the key, in one byte or two per character.
QStringList filesHoldingTheKey(const QString &folder, int &looked)
{
    const QByteArray narrow = kKey.toLatin1();
    const QByteArray wide(reinterpret_cast<const char *>(kKey.utf16()), kKey.size() * 2);
    QStringList holding;
    QDirIterator files(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(file.fileName());
        const QByteArray bytes = file.readAll();
        if (bytes.contains(narrow) || bytes.contains(wide))
            holding << file.fileName();
        ++looked;
    }
    return holding;
}

TEST(AccessKeyGui, KeyTypedForAModemCallLeavesNoTrace)
{
    if (!pseudoTerminalsWork() || !QFileInfo(SimulatedUnit::defaultProgram()).isExecutable())
        GTEST_SKIP() << "needs pseudo-terminals and velkan-sim";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // Every per-user folder of the program, and its working folder, in the temporary one.
    const QString home = dir.filePath(QStringLiteral("home"));
    ASSERT_TRUE(QDir().mkpath(home));
    qputenv("HOME", QFile::encodeName(home));
    for (const char *folder : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"})
        qputenv(folder, QFile::encodeName(home + QLatin1Char('/') + QLatin1String(folder)));
    ASSERT_TRUE(QDir::setCurrent(home));
    ASSERT_TRUE(QSettings(QSettings::UserScope, Product::CompanyName).fileName().startsWith(home))
        << "the settings were located before the test moved them";

    SimulatedUnit sim;
    sim.setArguments({QStringLiteral("--modem"), QStringLiteral("--key"), kKey});
    ASSERT_TRUE(sim.start()) << qPrintable(sim.errorString());

    LangTable lang(QStringLiteral("no-such-folder/Lang.txt"));
    setLang(&lang);
    UserSettings settings;
    settings.applyAtStartup(lang, [] {});
    Comms comms(std::make_unique<QtSerialPort>());
    UnitConnection unit(comms);
    unit.askPassWord = typeTheKey;
    ConfigStore store;
    SectionRegistry sections;
    registerSections(sections);
    QStringList messages;
    const UserMessage message = [&messages](QMessageBox::Icon, const QString &text, QMessageBox::StandardButtons) {
        messages << text;
        return QMessageBox::No;
    };
    General window(unit, store, sections, GeneralCommands{}, message);
    EditorRegistry windows;
    windows.addEditor(QStringLiteral("General"), &window);
    FileCommands files(store, sections, windows, &window, &settings);
    Terminal terminal(unit, message);
    terminal.Timer1->stop();
    terminal.active = [] { return true; };

    // The call, then a download through the connection panel.
    ConnectionPanel &panel = *window.connection();
    panel.TimerComms->stop();
    window.Timer1->stop();
    panel.choosePort(sim.devicePath());
    panel.ModemCheck->setChecked(true);
    panel.ModemCheck_Click();
    panel.CallNum->setText(QStringLiteral("600123456"));
    panel.IniCom->click();
    panel.TimerComms_Timer();
    ASSERT_TRUE(unit.isConnected()) << qPrintable(messages.join(QLatin1Char('\n')));
    panel.Leer->click();
    panel.TimerComms_Timer();
    ASSERT_TRUE(messages.isEmpty()) << qPrintable(messages.join(QLatin1Char('\n')));

    // The prompt and its box are gone: no window holds the key.
    for (QWidget *widget : QApplication::allWidgets()) {
        EXPECT_EQ(qobject_cast<AccessKeyPrompt *>(widget), nullptr);
        if (auto *box = qobject_cast<QLineEdit *>(widget))
            EXPECT_NE(box->text(), kKey) << qPrintable(box->objectName());
    }

    // The terminal reads the identity stream; its transcript and the configuration are saved.
    terminal.TextTrama->setText(QStringLiteral("#44"));
    terminal.TramaBut->click();
    // Each tick shows what has come by then.
    EXPECT_TRUE(QTest::qWaitFor([&] {
        terminal.Timer1_Timer();
        return terminal.TextWin->toPlainText().contains(QStringLiteral("SERIAL"));
    }));
    const QString transcript = dir.filePath(QStringLiteral("terminal.rtf"));
    terminal.askSavePath = [&transcript](const QString &, const QString &) { return transcript; };
    terminal.SaveBut_Click();
    const QString configuration = dir.filePath(QStringLiteral("unit.qcf"));
    files.askSavePath = [&configuration](const QString &, const QString &) { return configuration; };
    ASSERT_TRUE(files.saveCommand());

    // Hang up and shut down as the program does.
    panel.IniCom->click();
    panel.TimerComms_Timer();
    EXPECT_FALSE(unit.isConnected());
    settings.storeAtShutdown(panel.portText(), lang.LangSel);
    settings.setLastPort(panel.portChoice());
    setLang(nullptr);

    EXPECT_TRUE(QFileInfo::exists(transcript));
    EXPECT_TRUE(QFileInfo::exists(configuration));
    EXPECT_TRUE(QSettings(QSettings::UserScope, Product::CompanyName)
                    .contains(Product::ProductTitle + QStringLiteral("/LastPort")));
    int looked = 0;
    const QStringList holding = filesHoldingTheKey(dir.path(), looked);
    EXPECT_TRUE(holding.isEmpty()) << qPrintable(holding.join(QLatin1Char('\n')));
    EXPECT_GE(looked, 3);
}

} // namespace
