#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <QStatusBar>

#include "fakeeditor.h"
#include "files/langtable.h"
#include "files/sectionregistry.h"
#include "link/comms.h"
#include "link/fakeserialport.h"
#include "link/framecodec.h"
#include "model/configstore.h"
#include "shell/filecommands.h"
#include "shell/branchpage.h"
#include "shell/editorregistry.h"
#include "shell/formpage.h"
#include "shell/mainwindow.h"

namespace {

QTreeWidgetItem *findKey(QTreeWidget *tree, const QString &key)
{
    QTreeWidgetItemIterator it(tree);
    for (; *it; ++it) {
        if ((*it)->data(0, Qt::UserRole).toString() == key)
            return *it;
    }
    return nullptr;
}

QString keyOf(const QTreeWidgetItem *item)
{
    return item->data(0, Qt::UserRole).toString();
}

// A window with a fake editor for each window the tree opens, and a
// language table that translates a few captions into a second language.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QFile file(dir.filePath("Lang.txt"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("{Espanol}{English}\r\n{Temporizadores}{Timers}\r\n{0-3}{zero to three}\r\n"
                   "{GPRS}{Packet data}\r\n{Flags}{Markers}\r\n");
        file.close();
        lang = std::make_unique<LangTable>(dir.filePath("Lang.txt"));
        ASSERT_TRUE(lang->Init());
        lang->LangSel = 2;
        setLang(lang.get());

        for (const QString &name : {"General", "CTimer", "Caudal", "SampleRate", "E_Digital", "Flags"})
            windows.addEditor(name, new FakeEditor(log, name));
        terminal = new QWidget;
        windows.addTool("Terminal", terminal);
        main = std::make_unique<MainWindow>(windows);
        main->adoptWindows();
        log.clear();
    }

    void TearDown() override { setLang(nullptr); }


    QTemporaryDir dir;
    std::unique_ptr<LangTable> lang;
    QStringList log;
    EditorRegistry windows;
    QWidget *terminal = nullptr;
    std::unique_ptr<MainWindow> main;
};

TEST_F(MainWindowTest, CaptionAndAFrameThatGrowsFromTheDesignedSize)
{
    EXPECT_EQ(main->windowTitle(), "Orvane Velkan Sarn v4.4");
    EXPECT_NE(main->minimumSize(), main->maximumSize());
    EXPECT_TRUE(main->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_GE(main->clientArea()->minimumWidth(), MainWindow::kClientSize.width());
    EXPECT_GE(main->clientArea()->minimumHeight(), MainWindow::kClientSize.height());
    // No icon file beside the test program: the built-in drawing stands in.
    EXPECT_FALSE(main->windowIcon().availableSizes().isEmpty());
}

// The caption names what the editors hold (the file last opened or saved, or
// the unit last downloaded: its name and serial) and the unit connected when
// it is another; the status line's word on a saved file goes when the editors
// take another configuration.
TEST_F(MainWindowTest, CaptionNamesWhatTheEditorsHoldAndTheUnitConnected)
{
    ConfigStore store;
    SectionRegistry sections;
    auto *port = new FakeSerialPort;
    Comms comms{std::unique_ptr<SerialPort>(port)};
    comms.timings = LinkTimings::fast();
    UnitConnection connection(comms);
    QObject::connect(port, &FakeSerialPort::written, port, [port](const QByteArray &bytes) {
        if (bytes.endsWith(";40\r"))
            port->feed(FrameCodec::encode(QStringLiteral("#BF")));
    });
    FileCommands files(store, sections, windows);
    files.unitIdentity = [&] { return UnitIdentity{store.General.UnitName, connection.Device.SerialNumber}; };
    files.askSavePath = [this](const QString &, const QString &) { return dir.filePath("tank.qcf"); };
    main->followFiles(files);
    main->followTransfers(connection);
    QObject::connect(&connection, &UnitConnection::configDownloaded, &files, &FileCommands::unitLoaded);
    const QString base = "Orvane Velkan Sarn v4.4";

    ASSERT_TRUE(files.saveAsCommand());
    EXPECT_EQ(main->windowTitle(), base + " - tank.qcf");
    EXPECT_FALSE(main->statusBar()->currentMessage().isEmpty());
    ASSERT_TRUE(files.openFile(dir.filePath("tank.qcf")));
    EXPECT_EQ(main->windowTitle(), base + " - tank.qcf");
    EXPECT_TRUE(main->statusBar()->currentMessage().isEmpty());

    ASSERT_TRUE(connection.connectUnit({QStringLiteral("ttyFAKE0")}));
    connection.Device.SerialNumber = "00123";
    emit connection.infoChanged();
    EXPECT_EQ(main->windowTitle(), base + " - tank.qcf - Conectado a 00123");

    ASSERT_TRUE(files.saveCommand());
    store.General.UnitName = "Tank3";
    emit connection.configDownloaded();
    EXPECT_EQ(main->windowTitle(), base + " - Tank3 00123");
    EXPECT_TRUE(main->statusBar()->currentMessage().isEmpty());
    connection.disconnectUnit();
    EXPECT_EQ(main->windowTitle(), base + " - Tank3 00123");

    // Another unit connected is named beside the one the editors hold.
    ASSERT_TRUE(connection.connectUnit({QStringLiteral("ttyFAKE0")}));
    connection.Device.SerialNumber = "00777";
    emit connection.infoChanged();
    EXPECT_EQ(main->windowTitle(), base + " - Tank3 00123 - Conectado a 00777");
}

TEST_F(MainWindowTest, TreeHasTheNodesInOrderUnderTheirParents)
{
    QTreeWidget *tree = main->tree();
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    QTreeWidgetItem *root = tree->topLevelItem(0);
    EXPECT_EQ(keyOf(root), "Zelmor");
    EXPECT_EQ(root->text(0), "Velkan Sarn");

    QStringList top;
    for (int i = 0; i < root->childCount(); ++i)
        top.append(keyOf(root->child(i)));
    EXPECT_EQ(top, QStringList({"General", "Timer", "E_OneWire", "E_Digital", "Caudal", "E_Math",
                                "Flags", "Aut_Voz", "GPRS", "Macros", "T_Real", "Firmware", "Terminal",
                                "Historial", "Provisionar"}));

    const struct {
        const char *key;
        int children;
        const char *lastChild;
    } branches[] = {
        {"Timer", 4, "LTimer"},         {"CTimer", 4, "CTimer12_15"},
        {"LTimer", 4, "LTimer12_15"},   {"E_OneWire", 4, "E_OneWire_3"},
        {"E_Digital", 8, "E_Digital_7"}, {"Caudal", 8, "Caudal_7"},
        {"E_Math", 4, "E_Math_3"},      {"Flags", 16, "Flag_15"},
    };
    for (const auto &b : branches) {
        QTreeWidgetItem *item = findKey(tree, b.key);
        ASSERT_NE(item, nullptr) << b.key;
        ASSERT_EQ(item->childCount(), b.children) << b.key;
        EXPECT_EQ(keyOf(item->child(b.children - 1)), b.lastChild) << b.key;
    }
}

TEST_F(MainWindowTest, OnlyMarkedCaptionsAreTranslated)
{
    const struct {
        const char *key;
        const char *caption;
    } cases[] = {
        {"Timer", "Timers"},      // translated
        {"Flags", "Markers"},     // translated
        {"CTimer0_3", "0-3"},     // the table knows "0-3", but ranges stay as they are
        {"GPRS", "GPRS"},         // the table knows "GPRS", but this caption is not translated
        {"Caudal_5", "5"},
        {"Terminal", "Terminal"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(findKey(main->tree(), c.key)->text(0), c.caption) << c.key;
}

TEST_F(MainWindowTest, OnlyTheRootStartsExpandedAndTheColumnFitsItsCaptions)
{
    QTreeWidget *tree = main->tree();
    QTreeWidgetItemIterator it(tree);
    for (; *it; ++it)
        EXPECT_EQ((*it)->isExpanded(), *it == tree->topLevelItem(0)) << keyOf(*it).toStdString();

    const QTreeWidgetItem *longest = findKey(tree, "Aut_Voz");
    const int needed = 2 * tree->indentation() + tree->fontMetrics().horizontalAdvance(longest->text(0));
    EXPECT_GE(tree->columnWidth(0), needed);
    EXPECT_LE(tree->columnWidth(0), tree->width());
}

TEST_F(MainWindowTest, NodeClickOpensTheNodesWindowWithItsIndex)
{
    const struct {
        const char *key;
        const char *window;
        const char *call; // empty: the window is only shown
    } cases[] = {
        {"General", "General", "General ChangeIndex 0"},
        {"CTimer8_11", "CTimer", "CTimer ChangeIndex 8"},
        {"E_Digital_7", "E_Digital", "E_Digital ChangeIndex 7"},
        {"Caudal_3", "Caudal", "Caudal ChangeIndex 3"},
        {"Caudal", "SampleRate", ""}, // the flow-meter branch opens the sample-rate window
        {"Flag_15", "Flags", "Flags ChangeIndex 15"},
        {"Terminal", "", ""},
    };
    for (const auto &c : cases) {
        log.clear();
        main->Tree_NodeClick(c.key);
        QWidget *target = windows.window(c.key == QString("Terminal") ? "Terminal" : c.window);
        ASSERT_NE(target, nullptr) << c.key;
        EXPECT_FALSE(target->isHidden()) << c.key;
        EXPECT_EQ(target->pos(), QPoint(0, 0)) << c.key;
        int visible = 0;
        for (QWidget *w : windows.windows())
            visible += w->isHidden() ? 0 : 1;
        EXPECT_EQ(visible, 1) << c.key;
        // Each window is on a page of its own, shown and hidden with it.
        int pages = 0;
        for (const FormPage *page : main->clientArea()->findChildren<FormPage *>()) {
            if (!page->isHidden()) {
                ++pages;
                EXPECT_EQ(page->widget(), target) << c.key;
            }
        }
        EXPECT_EQ(pages, 1) << c.key;
        const QStringList calls = log.filter("ChangeIndex");
        EXPECT_EQ(calls, QString(c.call).isEmpty() ? QStringList() : QStringList{c.call}) << c.key;
    }
}

// A branch without a window shows its children, each opening as its node
// does; a node whose window is missing leaves the client area empty.
TEST_F(MainWindowTest, BranchesShowTheirChildrenAndMissingWindowsNothing)
{
    const auto buttons = [this] {
        QStringList captions;
        for (const QPushButton *b : main->branchPage()->findChildren<QPushButton *>()) {
            if (!b->isHidden())
                captions << b->text();
        }
        return captions;
    };
    const struct {
        const char *key;
        const char *heading;
        QStringList children;
    } branches[] = {
        {"Timer", "Timers", {"Ciclicos", "Semanales", "Mensuales", "Largos"}},
        {"CTimer", "Ciclicos", {"Ciclicos 0-3", "Ciclicos 4-7", "Ciclicos 8-11", "Ciclicos 12-15"}},
        {"E_Digital", "E.Digitales", {"E.Digitales 0", "E.Digitales 1", "E.Digitales 2", "E.Digitales 3",
                                      "E.Digitales 4", "E.Digitales 5", "E.Digitales 6", "E.Digitales 7"}},
    };
    for (const auto &b : branches) {
        main->Tree_NodeClick("General");
        main->Tree_NodeClick(b.key);
        for (QWidget *w : windows.windows())
            EXPECT_TRUE(w->isHidden()) << b.key;
        EXPECT_FALSE(main->branchPage()->isHidden()) << b.key;
        EXPECT_EQ(main->branchPage()->Titulo->text(), b.heading);
        EXPECT_EQ(buttons(), b.children) << b.key;
    }
    // The program starts on the root's summary, not on an empty pane.
    main->Tree_NodeClick("General");
    main->showRoot();
    EXPECT_FALSE(main->branchPage()->isHidden());
    EXPECT_EQ(main->branchPage()->Titulo->text(), "Velkan Sarn");
    main->Tree_NodeClick("Zelmor");
    EXPECT_EQ(buttons().size(), 15);
    EXPECT_EQ(buttons().first(), "General");
    EXPECT_EQ(buttons().last(), "Provisionar");

    // A child that is a branch too shows its own children.
    main->Tree_NodeClick("Timer");
    main->branchPage()->findChild<QPushButton *>("CTimer")->click();
    EXPECT_EQ(main->branchPage()->Titulo->text(), "Ciclicos");
    // The page shown follows a change of language.
    main->Tree_NodeClick("Zelmor");
    EXPECT_TRUE(buttons().contains("Timers"));
    lang->selectLanguage(1);
    EXPECT_TRUE(buttons().contains("Temporizadores"));
    lang->selectLanguage(2);

    main->Tree_NodeClick("E_Digital");
    log.clear();
    main->branchPage()->findChild<QPushButton *>("E_Digital_5")->click();
    EXPECT_EQ(log.filter("ChangeIndex"), QStringList{"E_Digital ChangeIndex 5"});
    EXPECT_FALSE(windows.window("E_Digital")->isHidden());
    EXPECT_TRUE(main->branchPage()->isHidden());
    EXPECT_EQ(main->tree()->currentItem(), findKey(main->tree(), "E_Digital_5"));

    for (const char *key : {"Macros", "Firmware"}) {
        main->Tree_NodeClick(key);
        for (QWidget *w : windows.windows())
            EXPECT_TRUE(w->isHidden()) << key;
        EXPECT_TRUE(main->branchPage()->isHidden()) << key;
    }
}

// The highlight is the page: keys move it and open as a click does; a move
// refused by a red box puts it back, and a click there asks only once.
TEST_F(MainWindowTest, TheTreeFollowsTheKeyboardAndARefusedMoveKeepsTheHighlight)
{
    QStringList told;
    main->setMessage([&](QMessageBox::Icon, const QString &text, QMessageBox::StandardButtons) {
        told << text;
        return QMessageBox::Ok;
    });
    main->show();
    QTreeWidget *tree = main->tree();
    main->showRoot();
    tree->setFocus();
    log.clear();
    QTest::keyClick(tree, Qt::Key_Down);
    ASSERT_EQ(keyOf(tree->currentItem()), "General");
    EXPECT_FALSE(windows.window("General")->isHidden());
    EXPECT_TRUE(main->branchPage()->isHidden());
    EXPECT_EQ(log.filter("ChangeIndex"), QStringList{"General ChangeIndex 0"});

    QTest::keyClick(tree, Qt::Key_Up);
    EXPECT_EQ(keyOf(tree->currentItem()), "Zelmor");
    EXPECT_TRUE(windows.window("General")->isHidden());
    EXPECT_FALSE(main->branchPage()->isHidden());

    // A node opened from elsewhere moves the highlight with it.
    main->openEditor("Caudal", 2);
    EXPECT_EQ(keyOf(tree->currentItem()), "Caudal_2");

    main->Tree_NodeClick("General");
    auto *maximum = new QLineEdit(windows.window("General"));
    makeNumberBox(maximum, NumberRanges::Float, "Maximo:");
    maximum->setText("abc");
    log.clear();
    QTest::keyClick(tree, Qt::Key_Down);
    EXPECT_EQ(told.size(), 1);
    EXPECT_EQ(keyOf(tree->currentItem()), "General");
    EXPECT_FALSE(windows.window("General")->isHidden());
    EXPECT_TRUE(log.filter("ChangeIndex").isEmpty());

    told.clear();
    QTreeWidgetItem *flags = findKey(tree, "Flags");
    tree->scrollToItem(flags);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(flags).center());
    EXPECT_EQ(told.size(), 1);
    EXPECT_EQ(keyOf(tree->currentItem()), "General");

    maximum->setText("2.5");
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(flags).center());
    EXPECT_EQ(keyOf(tree->currentItem()), "Flags");
    EXPECT_TRUE(windows.window("General")->isHidden());
    EXPECT_EQ(log.filter("ChangeIndex"), QStringList{});
}

TEST_F(MainWindowTest, LeavingAnEditorKeepsWhatWasTyped)
{
    main->Tree_NodeClick("General");
    log.clear();
    main->Tree_NodeClick("CTimer0_3");
    EXPECT_EQ(log, QStringList({"General StoreControls", "CTimer ChangeIndex 0"}));
}

TEST_F(MainWindowTest, NoNavigationWhileADownloadFillsTheModel)
{
    bool downloading = false;
    main->setNavigationLock([&] { return downloading; });
    main->Tree_NodeClick("General");
    downloading = true;
    log.clear();
    main->Tree_NodeClick("Caudal_2");
    EXPECT_TRUE(log.isEmpty());
    EXPECT_FALSE(windows.window("General")->isHidden());
    downloading = false;
    main->Tree_NodeClick("Caudal_2");
    EXPECT_EQ(log.filter("ChangeIndex"), QStringList{"Caudal ChangeIndex 2"});
}

// A refused "Abrir" leaves the caption naming the file opened before; a red
// box is an unsaved change: closing asks, naming the field whose text would
// be lost, and "Cancelar" keeps the window open.
TEST_F(MainWindowTest, RefusedOpenKeepsTheCaptionAndARedBoxAsksBeforeClosing)
{
    ConfigStore store;
    SectionRegistry sections;
    FileCommands files(store, sections, windows);
    QStringList questions;
    QMessageBox::StandardButton answer = QMessageBox::Cancel;
    files.warn = [](const QString &) {};
    files.askSavePath = [this](const QString &, const QString &) { return dir.filePath("tank.qcf"); };
    files.askSaveChanges = [&](const QString &question) {
        questions << question;
        return answer;
    };
    main->followFiles(files);
    ASSERT_TRUE(files.saveAsCommand());
    const QString caption = main->windowTitle();
    QFile notes(dir.filePath("notas.txt"));
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.write("notas\n");
    notes.close();
    EXPECT_FALSE(files.openFile(dir.filePath("notas.txt")));
    EXPECT_EQ(main->windowTitle(), caption);

    main->show();
    auto *maximum = new QLineEdit(windows.window("Caudal"));
    makeNumberBox(maximum, NumberRanges::Float, "Maximo:");
    maximum->setText("abc");
    EXPECT_FALSE(main->close());
    ASSERT_EQ(questions.size(), 1);
    EXPECT_TRUE(questions.first().contains("Maximo: No es un numero")) << questions.first().toStdString();
    answer = QMessageBox::Discard;
    EXPECT_TRUE(main->close());
}

TEST_F(MainWindowTest, ClosingRunsTheShutdownOnce)
{
    int shutdowns = 0;
    main->setShutdown([&] { ++shutdowns; });
    main->show();
    main->Tree_NodeClick("General");
    EXPECT_TRUE(main->close());
    main->close();
    EXPECT_EQ(shutdowns, 1);
    EXPECT_TRUE(windows.window("General")->isHidden());
}

} // namespace
