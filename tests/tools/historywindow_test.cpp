#include <gtest/gtest.h>

#include <QLabel>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>

#include "files/sectionregistry.h"
#include "model/configstore.h"
#include "sections/sectionlist.h"
#include "shell/differencewindow.h"
#include "shell/editorregistry.h"
#include "shell/filecommands.h"
#include "sim/configstream.h"
#include "simulatedlink.h"
#include "tools/historywindow.h"

namespace {

// The window over the simulated unit, with a history in the test's folder
// holding two copies of one unit (named "Norte", then "Sur") and one of another.
class HistoryWindowTest : public ::testing::Test {
protected:
    HistoryWindowTest()
        : link({}, ConfigStream::defaults(UnitState::defaults().features)),
          history(dir.filePath(QStringLiteral("history"))),
          files(store, sections, editors)
    {
        QStandardPaths::setTestModeEnabled(true);
        registerSections(sections);
        sections.clearAll(store);
        link.unit.keepHistory(&history);
        files.warn = [this](const QString &text) { shown << text; };
    }

    void SetUp() override
    {
        record("VS21-0001", "Norte", QTime(9, 0, 0), HistoryKind::Read);
        record("VS21-0001", "Sur", QTime(10, 30, 0), HistoryKind::Write);
        record("VS21-0002", "Este", QTime(11, 0, 0), HistoryKind::Read);
        store.General.UnitName = QStringLiteral("Editado");
        window = std::make_unique<HistoryWindow>(
            link.unit, store, sections, files,
            [this](QMessageBox::Icon, const QString &text, QMessageBox::StandardButtons) {
                shown << text;
                return QMessageBox::Ok;
            });
        window->show();
    }

    void record(const char *serial, const char *name, QTime time, HistoryKind kind)
    {
        ConfigStore copy;
        sections.clearAll(copy);
        copy.General.UnitName = QString::fromLatin1(name);
        history.clock = [time] { return QDateTime(QDate(2026, 12, 10), time, QTimeZone::utc()); };
        ASSERT_TRUE(history.record(QString::fromLatin1(serial), kind, copy, sections));
    }

    void chooseUnit(const QString &unit)
    {
        const QList<QListWidgetItem *> found = window->Unidades->findItems(unit, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << qPrintable(unit);
        window->Unidades->setCurrentItem(found.first());
    }

    void chooseRows(std::initializer_list<int> rows)
    {
        window->Operaciones->clearSelection();
        for (int row : rows)
            window->Operaciones->topLevelItem(row)->setSelected(true);
    }

    QStringList listedKinds() const
    {
        QStringList kinds;
        for (int row = 0; row < window->Operaciones->topLevelItemCount(); ++row)
            kinds << window->Operaciones->topLevelItem(row)->text(1);
        return kinds;
    }

    // The rows of the one difference window open, as "item key left right".
    QStringList differenceRows() const
    {
        const QList<DifferenceWindow *> open = window->findChildren<DifferenceWindow *>();
        if (open.size() != 1)
            return {QStringLiteral("%1 difference windows").arg(open.size())};
        QStringList rows;
        const QTableWidget *table = open.first()->Tabla;
        for (int r = 0; r < table->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < table->columnCount(); ++c)
                cells << table->item(r, c)->text();
            rows << cells.join(u' ');
        }
        return rows;
    }

    QTemporaryDir dir;
    SimulatedLink link;
    ServiceHistory history;
    SectionRegistry sections;
    ConfigStore store;
    EditorRegistry editors;
    FileCommands files;
    QStringList shown;
    std::unique_ptr<HistoryWindow> window;
};

TEST_F(HistoryWindowTest, ListsTheUnitsAndTheChosenUnitsOperationsNewestFirst)
{
    EXPECT_EQ(window->Unidades->count(), 2);
    chooseUnit(QStringLiteral("VS21-0001"));
    EXPECT_EQ(listedKinds(), QStringList({"Escritura", "Lectura"}));
    chooseUnit(QStringLiteral("VS21-0002"));
    EXPECT_EQ(listedKinds(), QStringList{"Lectura"});

    chooseRows({});
    EXPECT_FALSE(window->Comparar->isEnabled());
    EXPECT_FALSE(window->Abrir->isEnabled());
    chooseRows({0});
    EXPECT_FALSE(window->Comparar->isEnabled());
    EXPECT_TRUE(window->CompararEditor->isEnabled());
    EXPECT_TRUE(window->Abrir->isEnabled());
}

TEST_F(HistoryWindowTest, ComparesTwoEntriesOldestOnTheLeft)
{
    chooseUnit(QStringLiteral("VS21-0001"));
    chooseRows({0, 1});
    ASSERT_TRUE(window->Comparar->isEnabled());
    window->Comparar->click();
    const QStringList rows = differenceRows();
    ASSERT_EQ(rows.size(), 1) << qPrintable(rows.join(u'\n'));
    EXPECT_TRUE(rows.first().contains(QStringLiteral(" Norte Sur [GENERAL] NOMBRE"))) << qPrintable(rows.first());
    const DifferenceWindow *open = window->findChild<DifferenceWindow *>();
    EXPECT_TRUE(open->windowTitle().contains(QStringLiteral("VS21-0001")));
    EXPECT_TRUE(open->Tabla->horizontalHeaderItem(2)->text().endsWith(QStringLiteral("Lectura")));
    EXPECT_TRUE(shown.isEmpty()) << qPrintable(shown.join(u'\n'));
}

TEST_F(HistoryWindowTest, ComparesAnEntryWithTheEditorsAndOpensItLikeAbrir)
{
    chooseUnit(QStringLiteral("VS21-0001"));
    chooseRows({1});
    window->CompararEditor->click();
    const QStringList rows = differenceRows();
    ASSERT_EQ(rows.size(), 1) << qPrintable(rows.join(u'\n'));
    EXPECT_TRUE(rows.first().contains(QStringLiteral(" Norte Editado [GENERAL] NOMBRE"))) << qPrintable(rows.first());
    EXPECT_EQ(store.General.UnitName, QStringLiteral("Editado"));

    QSignalSpy opened(&files, &FileCommands::fileOpened);
    window->Abrir->click();
    EXPECT_EQ(store.General.UnitName, QStringLiteral("Norte"));
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(files.ConfigFilePath, history.entries(QStringLiteral("VS21-0001")).at(1).path);
}

// After a take the open comparison is made again: the values taken are no
// longer differences, the count says so.
TEST_F(HistoryWindowTest, AComparisonWithTheEditorsIsMadeAgainAfterATake)
{
    store.General.ResendCount = 7;
    chooseUnit(QStringLiteral("VS21-0001"));
    chooseRows({1});
    window->CompararEditor->click();
    auto *open = window->findChild<DifferenceWindow *>();
    ASSERT_NE(open, nullptr);
    ASSERT_EQ(differenceRows().size(), 2) << qPrintable(differenceRows().join(u'\n'));
    open->inform = [](const QString &) {};
    int named = -1;
    for (int r = 0; r < open->Tabla->rowCount(); ++r) {
        if (open->Tabla->item(r, 4)->text().contains(QStringLiteral("NOMBRE")))
            named = r;
    }
    ASSERT_GE(named, 0);
    open->Tabla->item(named, 0)->setCheckState(Qt::Checked);
    open->Tomar->click();
    EXPECT_EQ(store.General.UnitName, QStringLiteral("Norte"));
    const QStringList rows = differenceRows();
    ASSERT_EQ(rows.size(), 1) << qPrintable(rows.join(u'\n'));
    EXPECT_FALSE(rows.first().contains(QStringLiteral("NOMBRE"))) << qPrintable(rows.first());
    EXPECT_TRUE(open->Cuenta->text().endsWith(QStringLiteral("1 / 1"))) << qPrintable(open->Cuenta->text());
    EXPECT_EQ(open->Secciones->count(), 1);
}

// A download lists its copy at once; a history that cannot be written is told
// once however many transfers follow.
TEST_F(HistoryWindowTest, FollowsTheTransfersOfTheUnit)
{
    ASSERT_TRUE(link.connectUnit());
    link.unit.readInfo();
    const QString serial = link.unit.Device.SerialNumber;
    ASSERT_TRUE(link.unit.download(store, sections));
    ASSERT_EQ(window->Unidades->currentItem()->text(), ServiceHistory::unitFolder(serial));
    EXPECT_EQ(listedKinds(), QStringList{"Lectura"});

    ASSERT_TRUE(QDir(history.root()).removeRecursively());
    QFile blocker(history.root());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_TRUE(link.unit.download(store, sections));
    EXPECT_TRUE(link.unit.upload(store, sections));
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown.first().startsWith(QStringLiteral("No se pudo guardar la copia en el historial")))
        << qPrintable(shown.first());
}

} // namespace

// The technician typed becomes the author of the next copy; the team's
// repository set in the window receives the copies on "Sincronizar", and
// the count of copies not yet shared follows.
TEST_F(HistoryWindowTest, TheTechnicianAuthorsTheCopiesAndSincronizarSharesThem)
{
    QString kept;
    window->saveTechnician = [&kept](const QString &text) { kept = text; };
    window->Tecnico->setText(QStringLiteral("Ana\tRuiz <>"));
    emit window->Tecnico->editingFinished();
    EXPECT_TRUE(kept.isEmpty()) << "refused at the box, not kept";
    EXPECT_EQ(shown.size(), 1);
    shown.clear();
    window->Tecnico->setText(QStringLiteral("Ana Ruiz <ana@example.org>"));
    emit window->Tecnico->editingFinished();
    EXPECT_EQ(kept, QStringLiteral("Ana Ruiz <ana@example.org>"));
    record("VS21-0002", "Este", QTime(12, 0, 0), HistoryKind::VerifiedWrite);
    window->refresh();
    chooseUnit(QStringLiteral("VS21-0002"));
    ASSERT_EQ(window->Operaciones->topLevelItemCount(), 2);
    EXPECT_EQ(window->Operaciones->topLevelItem(0)->text(2), QStringLiteral("Ana Ruiz"));
    EXPECT_FALSE(window->Operaciones->topLevelItem(1)->text(2).isEmpty());

    const QString team = dir.filePath(QStringLiteral("team.git"));
    ASSERT_TRUE(HistoryRepo::makeShared(team));
    window->Remoto->setText(team);
    window->FijarRemoto->click();
    EXPECT_TRUE(window->SinCompartir->text().endsWith(QStringLiteral(": 4"))) << qPrintable(window->SinCompartir->text());
    window->Sincronizar->click();
    EXPECT_TRUE(shown.isEmpty()) << qPrintable(shown.join(u'\n'));
    EXPECT_TRUE(window->SinCompartir->text().endsWith(QStringLiteral(": 0"))) << qPrintable(window->SinCompartir->text());
    EXPECT_EQ(history.repository().unshared(), 0);

    // A remote that is not there: one message, the copies kept to share later.
    window->Remoto->setText(dir.filePath(QStringLiteral("nowhere.git")));
    window->FijarRemoto->click();
    record("VS21-0002", "Este", QTime(13, 0, 0), HistoryKind::Read);
    window->Sincronizar->click();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown.first().contains(QStringLiteral("nowhere.git"))) << qPrintable(shown.first());
    EXPECT_TRUE(window->SinCompartir->text().endsWith(QStringLiteral(": 1"))) << qPrintable(window->SinCompartir->text());
}
