// Finding a setting from the main window: the matches as typed, and the one
// chosen opened in its window on its record with its control in focus.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QSettings>
#include <QStatusBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include "programfixture.h"
#include "files/fieldcatalogue.h"
#include "model/product.h"
#include "shell/reportcommand.h"
#include "shell/settingsearch.h"

namespace {

class SettingSearchTest : public ::testing::Test {
protected:
    SettingSearchTest()
    {
        main.offerSearch(program.sections, program.store, program.files);
        EXPECT_TRUE(program.files.openFile(QStringLiteral(VELKAN_TEST_DATA "/rich_config.qcf")));
        main.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&main));
    }

    // Types the text into the search box as the operator does.
    void type(const QString &text)
    {
        SettingSearch *search = main.search();
        QTest::keySequence(&main, QKeySequence::Find);
        EXPECT_TRUE(search->Buscar->hasFocus());
        QTest::keyClicks(search->Buscar, text);
    }

    ProgramWindows program;
    MainWindow &main = program.main;
};

TEST_F(SettingSearchTest, TheChosenMatchOpensItsWindowOnItsRecordWithTheFieldInFocus)
{
    const struct {
        const char *query;
        const char *window;
        int channel;          // the editor's shown channel; -1: not checked
        const char *focused;  // the control in focus afterwards
    } cases[] = {
        {"renvn", "General", -1, "RENVN"},                        // a key
        {"CONTRASENA ftp", "GPRS", -1, "TextFTPPass"},             // case and tilde ignored
        {"ciclico 15 periodo", "CTimer", 12, "Period_3"},          // a record on a page of four
        {"caudal alto", "Caudal", 0, "TextoAlarma"},               // a value
        {"caudalimetro 0 configuracion 1 minimo", "Caudal", 0, "Minimo"}, // an alarm slot's field
        {"deposito sur", "General", -1, "NameBox"},
    };
    for (const auto &c : cases) {
        main.search()->Buscar->clear();
        type(QString::fromUtf8(c.query));
        ASSERT_GT(main.search()->Resultados->topLevelItemCount(), 0) << c.query;
        EXPECT_TRUE(main.search()->Resultados->isVisible()) << c.query;
        QTest::keyClick(main.search()->Buscar, Qt::Key_Return);
        QWidget *window = program.windows.window(QString::fromLatin1(c.window));
        ASSERT_TRUE(window && window->isVisible()) << c.query;
        if (c.channel >= 0)
            EXPECT_EQ(program.windows.editor(QString::fromLatin1(c.window))->ChannelIndex(), c.channel) << c.query;
        ASSERT_NE(QApplication::focusWidget(), nullptr) << c.query;
        EXPECT_EQ(QApplication::focusWidget()->objectName(), QString::fromLatin1(c.focused)) << c.query;
        EXPECT_TRUE(QApplication::focusWidget()->styleSheet().contains(QLatin1String("background"))) << c.query;
        EXPECT_FALSE(main.search()->Resultados->isVisible()) << "the list is put away over the window opened";
    }
    main.search()->Buscar->setFocus();
    QTest::keyClick(main.search()->Buscar, Qt::Key_Escape);
    EXPECT_TRUE(main.search()->Buscar->text().isEmpty());
    EXPECT_FALSE(main.search()->Resultados->isVisible()) << "no list once the box is empty";
}

// Every field in use opens its window with its control lit up and the cursor
// in it (or, for a disabled control, in the control that enables it); only
// the keys no window shows say so instead.
TEST_F(SettingSearchTest, EveryFieldInUseOpensItsControlOrSaysNoWindowShowsIt)
{
    const FieldCatalogue catalogue(program.sections, program.store);
    int lit = 0;
    for (const CatalogueField &f : catalogue.fields()) {
        if (!f.enabled)
            continue;
        const QString where = f.item + u' ' + f.key;
        main.statusBar()->clearMessage();
        main.search()->Buscar->setFocus();
        QWidget *control = main.openField(f);
        if (!control) {
            EXPECT_EQ(f.section, "CONF_MODBUS") << qPrintable(where) << " cannot be found in its window";
            EXPECT_EQ(main.statusBar()->currentMessage(), "Ninguna ventana muestra este ajuste") << qPrintable(where);
            continue;
        }
        ++lit;
        EXPECT_TRUE(control->styleSheet().contains(QLatin1String("background"))) << qPrintable(where);
        QWidget *focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr) << qPrintable(where);
        EXPECT_TRUE(focused == control || (!control->isEnabled() && focused->window() == control->window()))
            << qPrintable(where) << " put the cursor in " << qPrintable(focused->objectName());
        EXPECT_NE(focused, main.search()->Buscar) << qPrintable(where);
    }
    EXPECT_GT(lit, 200);
}

// A list cut short says how many more matched, in a last row that opens nothing.
TEST_F(SettingSearchTest, ACutListSaysHowManyMoreMatched)
{
    const FieldCatalogue catalogue(program.sections, program.store);
    const qsizetype found = catalogue.find(QStringLiteral("a")).size();
    ASSERT_GT(found, 200);
    type(QStringLiteral("a"));
    QTreeWidget *list = main.search()->Resultados;
    ASSERT_EQ(list->topLevelItemCount(), 201);
    EXPECT_EQ(list->topLevelItem(200)->text(2),
              QStringLiteral("%1 coincidencias mas: escriba mas para acotar").arg(found - 200));
    EXPECT_EQ(main.search()->match(200), nullptr);
    EXPECT_NE(main.search()->match(199), nullptr);
}

TEST_F(SettingSearchTest, AnEditNotYetStoredIsFound)
{
    auto *name = program.windows.window("General")->findChild<QLineEdit *>(QStringLiteral("NameBox"));
    ASSERT_NE(name, nullptr);
    name->setText(QStringLiteral("Estacion Norte"));
    type(QStringLiteral("estacion norte"));
    ASSERT_EQ(main.search()->Resultados->topLevelItemCount(), 1);
    EXPECT_EQ(main.search()->Resultados->topLevelItem(0)->text(3), "Estacion Norte");
}

// "Informe" asks the technician once, keeps the name, and writes the PDF where the operator says.
TEST_F(SettingSearchTest, ReportCommandAsksTheTechnicianOnceAndWritesThePdf)
{
    QTemporaryDir dir;
    // The settings of this test only, never the user's.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath("settings"));
    ReportCommand report(program.unit, program.store, program.sections, program.files);
    report.historyRoot = dir.filePath("history");
    int asked = 0;
    report.askTechnician = [&asked] {
        ++asked;
        return QStringLiteral("Ana Ruiz");
    };
    QString start;
    program.files.askSavePath = [&](const QString &, const QString &suggested) {
        start = suggested;
        return dir.filePath("informe");
    };
    ASSERT_TRUE(report.run());
    ASSERT_TRUE(report.run());
    EXPECT_EQ(asked, 1) << "the name is kept in the settings";
    EXPECT_TRUE(start.endsWith(QLatin1String(".pdf"))) << qPrintable(start);
    QFile pdf(dir.filePath("informe.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5).startsWith("%PDF"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}

// "Informe" aimed at the open configuration (by name or through a link) is refused with a warning.
TEST_F(SettingSearchTest, ReportCommandNeverWritesOverTheOpenConfiguration)
{
    QTemporaryDir dir;
    const QString open = dir.filePath("unit.qcf");
    ASSERT_TRUE(QFile::copy(QStringLiteral(VELKAN_TEST_DATA "/rich_config.qcf"), open));
    ASSERT_TRUE(program.files.openFile(open));
    ASSERT_TRUE(QFile::link(open, dir.filePath("link.qcf")));
    QFile file(open);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    ReportCommand report(program.unit, program.store, program.sections, program.files);
    report.historyRoot = dir.filePath("history");
    report.askTechnician = [] { return QStringLiteral("Ana Ruiz"); };
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath("settings"));
    for (const QString &target : {open, dir.filePath("link.qcf")}) {
        program.files.askSavePath = [&](const QString &, const QString &) { return target; };
        QString warning;
        program.files.warn = [&warning](const QString &message) { warning = message; };
        EXPECT_FALSE(report.run()) << qPrintable(target);
        EXPECT_TRUE(warning.contains(QLatin1String("configuracion que describe"))) << qPrintable(warning);
    }
    file.seek(0);
    EXPECT_EQ(file.readAll(), before);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}

} // namespace
