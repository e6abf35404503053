#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QAbstractButton>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDirIterator>
#include <QFile>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <QTemporaryDir>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QLineEdit>
#include <QTest>

#include "programfixture.h"
#include "simulatedprogram.h"
#include "files/langtable.h"
#include "files/sectionregistry.h"
#include "link/deviceinfotext.h"
#include "link/comms.h"
#include "link/unitconnection.h"
#include "link/fakeserialport.h"
#include "model/configstore.h"
#include "sections/sectionlist.h"
#include "shell/editorregistry.h"
#include "shell/filecommands.h"
#include "shell/langdialog.h"
#include "shell/mainwindow.h"
#include "shell/navigation.h"
#include "shell/usersettings.h"
#include "tools/firm.h"
#include "tools/provisionwindow.h"

namespace {

// The table shipped with the program, read where the program finds it when
// the working directory has none (and therefore never written).
LangTable shippedTable(const QTemporaryDir &workingDir)
{
    return LangTable(workingDir.filePath("Lang.txt"), {QStringLiteral(VELKAN_SHIPPED_FOLDER)});
}

// The shipped table in use in one language while the test runs.
struct ShippedTableInUse {
    explicit ShippedTableInUse(int langSel)
    {
        loaded = lang.Init();
        lang.LangSel = langSel;
        setLang(&lang);
    }
    ~ShippedTableInUse() { setLang(nullptr); }

    QTemporaryDir workingDir;
    LangTable lang = shippedTable(workingDir);
    bool loaded = false;
};

// Base text -> English text of every entry.
QHash<QString, QString> englishOf(const LangTable &table)
{
    QHash<QString, QString> english;
    for (int line = 1; line < LangTable::kMaxLines; ++line)
        english.insert(table.GetString(1, line), table.GetString(2, line));
    return english;
}

// The string literals inside each "Translate(...)" call of a source text,
// adjacent literals joined: the texts of message boxes and other paths that
// a test does not reach by opening windows.
QStringList translatedLiterals(const QString &source)
{
    QStringList texts;
    const QString call = QStringLiteral("Translate(");
    for (qsizetype at = source.indexOf(call); at >= 0; at = source.indexOf(call, at + 1)) {
        if (at > 0 && (source.at(at - 1).isLetterOrNumber() || source.at(at - 1) == u'_'))
            continue;
        int depth = 0;
        QString literal;
        bool inLiteral = false, pending = false;
        for (qsizetype i = at + call.size() - 1; i < source.size(); ++i) {
            const QChar c = source.at(i);
            if (inLiteral) {
                if (c == u'\\' && i + 1 < source.size()) {
                    const QChar next = source.at(++i);
                    literal += next == u'n' ? QChar(u'\n') : next;
                } else if (c == u'"') {
                    inLiteral = false;
                } else {
                    literal += c;
                }
            } else if (c == u'"') {
                if (!pending)
                    literal.clear();
                inLiteral = pending = true;
            } else if (!c.isSpace()) {
                // A text ends where anything but another literal follows.
                if (pending)
                    texts << literal;
                pending = false;
                if (c == u'(')
                    ++depth;
                else if (c == u')' && --depth == 0)
                    break;
            }
        }
    }
    return texts;
}

QStringList sourceTexts()
{
    QStringList texts;
    const QString root = QStringLiteral(VELKAN_SOURCE_DIR);
    QDirIterator it(root, {"*.cpp", "*.h"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = path.mid(root.size() + 1);
        if (relative.startsWith("tests/") || relative.startsWith("build"))
            continue;
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            texts << translatedLiterals(QString::fromUtf8(file.readAll()));
    }
    return texts;
}

// Every text the windows translate, collected by building the program's
// windows and opening every node of the tree.
QSet<QString> textsOfTheWindows()
{
    QSet<QString> texts;
    LangTable recorder(QStringLiteral("no-such-folder/Lang.txt"));
    recorder.lookedUp = [&texts](const QString &text) { texts.insert(text); };
    setLang(&recorder);
    {
        ProgramWindows program;
        for (const NavNode &node : navigationNodes(kProductLimits))
            program.main.Tree_NodeClick(node.key);

        QTemporaryDir dir;
        FileCommands &files = program.files;
        files.warn = [](const QString &) {};
        files.askSavePath = [&dir](const QString &, const QString &) { return dir.filePath("unit"); };
        files.saveCommand();
        files.askOpenPath = [&dir](const QString &, const QString &) { return dir.filePath("none.qcf"); };
        files.openCommand();
    }
    setLang(nullptr);
    texts.remove(QString());
    return texts;
}

TEST(ShippedLanguage, EveryTranslatedTextHasItsEnglishEntry)
{
    QTemporaryDir workingDir;
    LangTable shipped = shippedTable(workingDir);
    ASSERT_TRUE(shipped.Init()) << "the shipped table is missing or too long";
    EXPECT_EQ(shipped.languageChoices(), (QStringList{QString::fromUtf8("Español"), "English"}));
    const QHash<QString, QString> english = englishOf(shipped);

    QSet<QString> texts = textsOfTheWindows();
    const QStringList literals = sourceTexts();
    ASSERT_FALSE(literals.isEmpty()) << "no translated text found in the sources";
    for (const QString &text : literals)
        texts.insert(text);

    QStringList missing;
    for (const QString &text : texts) {
        if (english.value(text).isEmpty())
            missing << u'{' + text + u'}';
    }
    missing.sort();
    EXPECT_TRUE(missing.isEmpty()) << "texts without an English entry in app/Lang.txt:\n"
                                   << qPrintable(missing.join(u'\n'));
}

// The texts a window shows the operator: captions, list items, tab names,
// headers, tooltips.
QStringList shownTexts(const QWidget *window)
{
    QStringList texts{window->windowTitle()};
    for (const QWidget *w : window->findChildren<QWidget *>()) {
        if (!w->isVisible())
            continue;
        texts << w->toolTip();
        if (const auto *label = qobject_cast<const QLabel *>(w))
            texts << label->text();
        if (const auto *button = qobject_cast<const QAbstractButton *>(w))
            texts << button->text();
        if (const auto *frame = qobject_cast<const QGroupBox *>(w))
            texts << frame->title();
        if (const auto *combo = qobject_cast<const QComboBox *>(w)) {
            for (int i = 0; i < combo->count(); ++i)
                texts << combo->itemText(i);
        }
        if (const auto *tabs = qobject_cast<const QTabWidget *>(w)) {
            for (int i = 0; i < tabs->count(); ++i)
                texts << tabs->tabText(i);
        }
        if (const auto *tree = qobject_cast<const QTreeWidget *>(w)) {
            for (int i = 0; i < tree->columnCount(); ++i)
                texts << tree->headerItem()->text(i);
        }
    }
    return texts;
}

// In English every page, opened from the tree, shows no Spanish piece of a
// composed text: a range ("0 a 3"), a unit of a count, an untranslated tooltip.
TEST(ShippedLanguage, EnglishPagesHoldNoSpanishFragments)
{
    const ShippedTableInUse english(2);
    ASSERT_TRUE(english.loaded);
    const QRegularExpression spanish(QStringLiteral("\\d a +\\d|Registros|señal|Seleccione|Configuracion|Temporizador"));
    ProgramWindows program;
    program.main.show();
    for (const NavNode &node : navigationNodes(kProductLimits)) {
        program.main.Tree_NodeClick(node.key);
        for (const QString &text : shownTexts(&program.main))
            EXPECT_FALSE(text.contains(spanish)) << qPrintable(node.key) << ": " << qPrintable(text);
    }
    EXPECT_EQ(LogRecordsText(20000), " 20000 records");
}

// The program in states whose texts are made at run time (a status line
// after a download or a port loss, the firmware window's state, a units
// table's faults), then in the other language: every page shows no text of
// the language left, whole or as a piece of a composed line.
class LanguageStates : public SimulatedProgramTest {
protected:
    // The texts of the language not in use that a window could show: whole
    // entries, and the pieces of a composed one between its "%1" marks.
    QStringList foreignTexts()
    {
        QStringList foreign;
        const int other = lang.LangSel == 1 ? 2 : 1;
        for (int line = 1; line < LangTable::kMaxLines; ++line) {
            const QString mine = lang.GetString(lang.LangSel, line);
            const QString theirs = lang.GetString(other, line);
            if (theirs.isEmpty() || mine.isEmpty() || theirs == mine)
                continue;
            for (const QString &piece : theirs.split(QRegularExpression(QStringLiteral("%\\d|\\|")))) {
                if (piece.trimmed().size() >= 12)
                    foreign << piece.trimmed();
            }
        }
        return foreign;
    }

    // Opens every node and returns "node: text" for each text of the other language shown.
    QStringList otherLanguageShown()
    {
        const QStringList foreign = foreignTexts();
        QStringList found;
        main.show();
        for (const NavNode &node : navigationNodes(kProductLimits)) {
            main.Tree_NodeClick(node.key);
            QStringList texts = shownTexts(&main);
            texts << main.statusBar()->currentMessage();
            if (auto *provision = qobject_cast<ProvisionWindow *>(windows.window("Provisionar"));
                provision && provision->isVisible()) {
                for (int i = 0; i < provision->Faltas->topLevelItemCount(); ++i)
                    texts << provision->Faltas->topLevelItem(i)->text(2);
            }
            for (const QString &text : std::as_const(texts)) {
                for (const QString &piece : foreign) {
                    if (text.contains(piece))
                        found << node.key + QStringLiteral(": ") + text + QStringLiteral(" [") + piece + u']';
                }
            }
        }
        found.removeDuplicates();
        return found;
    }

    QTemporaryDir dir;
};

TEST_F(LanguageStates, NoWindowKeepsTheLanguageLeft)
{
    ASSERT_TRUE(lang.Init());
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    for (const int first : {1, 2}) {
        const int second = first == 1 ? 2 : 1;
        lang.selectLanguage(first);
        // A download, then the port lost: the General window's status line.
        main.openEditor(QStringLiteral("General"), -1);
        connectUnit();
        panel().Leer->click();
        panel().TimerComms_Timer();
        ASSERT_EQ(panel().ComStat->text(), lang.Translate(QStringLiteral("Configuracion descargada con exito")));
        lang.selectLanguage(second);
        EXPECT_EQ(panel().ComStat->text(), lang.Translate(QStringLiteral("Configuracion descargada con exito")));
        QStringList shown = otherLanguageShown();
        EXPECT_TRUE(shown.isEmpty()) << "after a download, language " << second << ":\n" << qPrintable(shown.join(u'\n'));

        lang.selectLanguage(first);
        port->vanish(QStringLiteral("unplugged"));
        ASSERT_TRUE(QTest::qWaitFor([this] { return !unit.isConnected(); }, 5000));
        ASSERT_TRUE(panel().ComStat->text().startsWith(lang.Translate(QStringLiteral("Se perdio el puerto"))))
            << qPrintable(panel().ComStat->text());
        // A units table with faults in the provisioning window.
        auto *provision = qobject_cast<ProvisionWindow *>(windows.window("Provisionar"));
        ASSERT_NE(provision, nullptr);
        files.askSavePath = [this](const QString &, const QString &) { return dir.filePath("templ.qcf"); };
        ASSERT_TRUE(files.saveAsCommand());
        QFile table(dir.filePath("units.csv"));
        ASSERT_TRUE(table.open(QIODevice::WriteOnly));
        table.write("serie,desconocida\r\n,1\r\n");
        table.close();
        provision->PlantillaPath->setText(dir.filePath("templ.qcf"));
        provision->TablaPath->setText(table.fileName());
        provision->reload();
        ASSERT_GT(provision->Faltas->topLevelItemCount(), 0);
        lang.selectLanguage(second);
        shown = otherLanguageShown();
        EXPECT_TRUE(shown.isEmpty()) << "after a port loss, language " << second << ":\n" << qPrintable(shown.join(u'\n'));
        EXPECT_TRUE(panel().ComStat->text().startsWith(lang.Translate(QStringLiteral("Se perdio el puerto"))));
        EXPECT_EQ(qobject_cast<Firm *>(windows.window("Firm"))->LabelInfo->text(),
                  lang.Translate(QStringLiteral("Preparado")));
    }
}

// Qt's text of a standard button in the language loaded now.
QString cancelText()
{
    QDialogButtonBox box(QDialogButtonBox::Cancel);
    return box.button(QDialogButtonBox::Cancel)->text();
}

// Answers the language dialog about to open: checks what it shows, picks a language.
void answerLanguageDialog(int expectedSelection, int choice)
{
    QTimer::singleShot(0, [=] {
        auto *dialog = qobject_cast<LangDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->ComboLang->currentIndex(), expectedSelection);
        QFont bold = dialog->font();
        bold.setBold(true);
        EXPECT_GT(dialog->width(), QFontMetrics(bold).horizontalAdvance(dialog->windowTitle()) + 100)
            << "the caption must not be cut";
        dialog->ComboLang->setCurrentIndex(choice);
        dialog->CommandOk->click();
    });
}

// "Idioma" shows every window in the new language at once, hidden ones, the
// navigation tree and the status line included, with no timer to wait for.
TEST(ShippedLanguage, ALanguageChangeReachesEveryWindowAtOnce)
{
    QTemporaryDir workingDir;
    LangTable lang = shippedTable(workingDir);
    ASSERT_TRUE(lang.Init());
    lang.LangSel = 1;
    setLang(&lang);
    const QHash<QString, QString> english = englishOf(lang);
    {
        ProgramWindows program;
        const EditorRegistry &windows = program.windows;
        MainWindow &main = program.main;
        program.files.askSavePath = [&](const QString &, const QString &) { return workingDir.filePath("unit"); };
        ASSERT_TRUE(program.files.saveCommand());
        main.Tree_NodeClick(QStringLiteral("General"));

        const struct {
            const char *window;
            const char *child;
            QString spanish;
        } captions[] = {
            {"General", "Titulo", "Configuracion de parametros generales"},
            {"Aut_Voz", "Titulo", "Autorizados llamada de voz"},
            {"Firm", "Titulo", "Actualizacion de firmware"},
            {"T_Real_Zelmor", "Titulo", "Tiempo real"},
            {"Historial", "Titulo", "Historial de servicio"},
            {"Terminal", "TraceEnable", "Habilitar Trazas"},
        };
        const auto shown = [&](const char *window, const char *child) {
            const QObject *widget = windows.window(QString::fromLatin1(window))->findChild<QObject *>(child);
            return widget ? widget->property("text").toString() : QStringLiteral("(no %1)").arg(child);
        };
        for (const auto &c : captions)
            ASSERT_EQ(shown(c.window, c.child), c.spanish) << c.window;
        const QString saved = english.value(QStringLiteral("Configuracion guardada en"));
        ASSERT_FALSE(main.statusBar()->currentMessage().startsWith(saved));

        answerLanguageDialog(0, 1);
        windows.window(QStringLiteral("General"))->findChild<QAction *>(QStringLiteral("Idioma"))->trigger();
        ASSERT_EQ(lang.LangSel, 2);

        for (const auto &c : captions)
            EXPECT_EQ(shown(c.window, c.child), english.value(c.spanish)) << c.window;
        QHash<QString, QString> treeCaptions;
        for (QTreeWidgetItemIterator it(main.tree()); *it; ++it)
            treeCaptions.insert((*it)->data(0, Qt::UserRole).toString(), (*it)->text(0));
        for (const NavNode &node : navigationNodes(kProductLimits)) {
            if (node.translated)
                EXPECT_EQ(treeCaptions.value(node.key), english.value(node.caption)) << qPrintable(node.key);
        }
        EXPECT_TRUE(main.statusBar()->currentMessage().startsWith(saved)) << qPrintable(main.statusBar()->currentMessage());
    }
    setLang(nullptr);
}

TEST(ShippedLanguage, FirstStartAsksForTheLanguageAndQtFollowsIt)
{
    QTemporaryDir workingDir;
    const QString settingsFile = workingDir.filePath("user.ini");
    int asked = 0;
    // Start-up as the program does it; the dialog only when the table names languages.
    const auto startUp = [&](LangTable &lang) {
        UserSettings settings(std::make_unique<QSettings>(settingsFile, QSettings::IniFormat));
        settings.applyAtStartup(lang, [&] {
            ++asked;
            if (!lang.languageChoices().isEmpty())
                LangDialog::askUser(lang);
        });
    };

    LangTable lang = shippedTable(workingDir);
    ASSERT_TRUE(lang.Init());
    setLang(&lang);
    answerLanguageDialog(0, 1);
    startUp(lang);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(lang.LangSel, 2);
    EXPECT_EQ(UserSettings(std::make_unique<QSettings>(settingsFile, QSettings::IniFormat)).idioma(), "2");

    // Changing the language later starts from the one in use; Qt's texts follow.
    answerLanguageDialog(1, 0);
    EXPECT_TRUE(LangDialog::askUser(lang));
    EXPECT_EQ(lang.LangSel, 1);
    EXPECT_EQ(cancelText(), "Cancelar");

    // The next start takes the stored choice without asking, Qt's texts included.
    LangTable next = shippedTable(workingDir);
    ASSERT_TRUE(next.Init());
    setLang(&next);
    startUp(next);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(next.LangSel, 2);
    ConfigStore store;
    SectionRegistry sections;
    registerSections(sections);
    Comms comms(std::make_unique<FakeSerialPort>());
    UnitConnection unit(comms);
    EditorRegistry windows;
    MainWindow main(windows);
    FileCommands files(store, sections, windows, &main);
    createWindows(windows, {unit, store, sections, files});
    EXPECT_EQ(cancelText(), "Cancel");
    EXPECT_EQ(windows.window("General")->windowTitle(), "General settings");

    setLang(nullptr);
    EXPECT_FALSE(QFile::exists(workingDir.filePath("Lang.txt"))) << "the shipped table is never copied";
}

} // namespace
