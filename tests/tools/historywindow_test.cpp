#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QLockFile>
#include <QSortFilterProxyModel>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
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

#include "files/csv.h"
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
    QTRY_VERIFY_WITH_TIMEOUT(!window->syncing(), 20000);
    EXPECT_TRUE(shown.isEmpty()) << qPrintable(shown.join(u'\n'));
    EXPECT_TRUE(window->SinCompartir->text().endsWith(QStringLiteral(": 0"))) << qPrintable(window->SinCompartir->text());
    EXPECT_EQ(history.repository().unshared(), 0);

    // A remote that is not there: one message, the copies kept to share later.
    window->Remoto->setText(dir.filePath(QStringLiteral("nowhere.git")));
    window->FijarRemoto->click();
    record("VS21-0002", "Este", QTime(13, 0, 0), HistoryKind::Read);
    window->Sincronizar->click();
    QTRY_VERIFY_WITH_TIMEOUT(!window->syncing(), 20000);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown.first().contains(QStringLiteral("nowhere.git"))) << qPrintable(shown.first());
    EXPECT_TRUE(window->SinCompartir->text().endsWith(QStringLiteral(": 1"))) << qPrintable(window->SinCompartir->text());
}

namespace {

// The "Unidades" view's rows as shown, each its cells joined by "|".
QStringList fleetRows(const HistoryWindow &window)
{
    QStringList rows;
    const QAbstractItemModel *shown = window.TablaUnidades->model();
    for (int r = 0; r < shown->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < shown->columnCount(); ++c)
            cells << shown->index(r, c).data().toString();
        rows << cells.join(u'|');
    }
    return rows;
}

QString localTime(QTime time)
{
    return QDateTime(QDate(2026, 12, 10), time, QTimeZone::utc()).toLocalTime().toString("yyyy-MM-dd HH:mm:ss");
}

} // namespace

// Every unit with its last contact; sorted by any column, filtered as typed,
// and exported as shown, a name holding the separator or a quote in quotes.
TEST_F(HistoryWindowTest, TheUnitsViewSortsFiltersAndExportsWhatItShows)
{
    history.technician = {QStringLiteral("Beto Gil"), QStringLiteral("beto@example.org")};
    record("VS21-0010", "Pozo \"Diez\", sur", QTime(8, 0, 0), HistoryKind::VerifiedWrite);
    window->refresh();
    window->Vistas->setCurrentIndex(1);
    const QString mine = history.repository().copies().value("VS21-0001/2026-12-10T10-30-00Z-write.qcf").author.name;
    ASSERT_FALSE(mine.isEmpty());
    EXPECT_EQ(fleetRows(*window),
              QStringList({"VS21-0001|Sur|Escritura|" + localTime(QTime(10, 30)) + u'|' + mine + "||Sin verificar",
                           "VS21-0002|Este|Lectura|" + localTime(QTime(11, 0)) + u'|' + mine + "||",
                           "VS21-0010|Pozo \"Diez\", sur|Escritura verificada|" + localTime(QTime(8, 0))
                               + "|Beto Gil||Verificada"}));

    struct Sort {
        int column;
        Qt::SortOrder order;
        QStringList serials;
    };
    const Sort sorts[] = {
        {0, Qt::DescendingOrder, {"VS21-0010", "VS21-0002", "VS21-0001"}},
        {1, Qt::AscendingOrder, {"VS21-0002", "VS21-0010", "VS21-0001"}},
        {3, Qt::AscendingOrder, {"VS21-0010", "VS21-0001", "VS21-0002"}},
        {6, Qt::DescendingOrder, {"VS21-0010", "VS21-0001", "VS21-0002"}},
    };
    for (const Sort &sort : sorts) {
        SCOPED_TRACE(sort.column);
        window->TablaUnidades->sortByColumn(sort.column, sort.order);
        QStringList serials;
        for (const QString &row : fleetRows(*window))
            serials << row.section(u'|', 0, 0);
        EXPECT_EQ(serials, sort.serials);
    }

    QTest::keyClicks(window->FiltroUnidades, QStringLiteral("gil"));
    ASSERT_EQ(fleetRows(*window).size(), 1);
    EXPECT_TRUE(fleetRows(*window).first().startsWith("VS21-0010|"));

    QString suggested;
    window->askSavePath = [&](const QString &, const QString &name) {
        suggested = name;
        return dir.filePath(QStringLiteral("flota"));
    };
    window->FiltroUnidades->setText(QStringLiteral("VS21"));
    window->TablaUnidades->sortByColumn(0, Qt::AscendingOrder);
    window->ExportarUnidades->click();
    EXPECT_TRUE(suggested.endsWith(QStringLiteral(".csv"))) << qPrintable(suggested);
    QFile written(dir.filePath(QStringLiteral("flota.csv")));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray bytes = written.readAll();
    EXPECT_TRUE(bytes.contains("\"Pozo \"\"Diez\"\", sur\"")) << bytes.constData();
    const CsvText csv = CsvText::read(bytes);
    ASSERT_EQ(csv.records.size(), 4);
    EXPECT_EQ(csv.records.at(0).cells.value(2), QStringLiteral("Ultima operacion"));
    QStringList exported;
    for (const CsvRecord &record : csv.records.mid(1))
        exported << record.cells.join(u'|');
    EXPECT_EQ(exported, fleetRows(*window));
    EXPECT_TRUE(shown.isEmpty()) << qPrintable(shown.join(u'\n'));
}

// A unit's name reaches the exported table as text a spreadsheet shows, never
// as a formula it runs.
TEST_F(HistoryWindowTest, TheExportedUnitsHoldNoFormula)
{
    const char *names[] = {"=cmd|' /C calc'!A0", "+cmd|calc", "-2+3", "@SUM(A1)", "Pozo = 3"};
    QTime time(8, 0, 0);
    for (const char *name : names) {
        record("VS21-0020", name, time, HistoryKind::Read);
        window->refresh();
        window->Vistas->setCurrentIndex(1);
        window->FiltroUnidades->setText(QStringLiteral("VS21-0020"));
        window->askSavePath = [&](const QString &, const QString &) { return dir.filePath(QStringLiteral("flota.csv")); };
        window->ExportarUnidades->click();
        QFile written(dir.filePath(QStringLiteral("flota.csv")));
        ASSERT_TRUE(written.open(QIODevice::ReadOnly));
        const CsvText csv = CsvText::read(written.readAll());
        ASSERT_EQ(csv.records.size(), 2) << name;
        const QString cell = csv.records.at(1).cells.value(1);
        const QString expected = QString::fromUtf8(name);
        EXPECT_EQ(cell, expected.front() == u'P' ? expected : u'\'' + expected);
        time = time.addSecs(60);
    }
}

// The values of a comparison tell who last changed their key on the unit.
TEST_F(HistoryWindowTest, TheComparisonsTipsTellWhoLastChangedTheValue)
{
    history.technician = {QStringLiteral("Beto Gil"), QStringLiteral("beto@example.org")};
    record("VS21-0001", "Sur", QTime(11, 0, 0), HistoryKind::Read);
    window->refresh();
    chooseUnit(QStringLiteral("VS21-0001"));
    const QString writer = history.repository().copies().value("VS21-0001/2026-12-10T10-30-00Z-write.qcf").author.name;
    ASSERT_FALSE(writer.isEmpty());
    chooseRows({1, 2});
    window->Comparar->click();
    const DifferenceWindow *open = window->findChild<DifferenceWindow *>();
    ASSERT_NE(open, nullptr);
    ASSERT_EQ(open->Tabla->rowCount(), 1);
    const QString tip = open->Tabla->item(0, 3)->toolTip();
    EXPECT_TRUE(tip.startsWith(QStringLiteral("Sur\n"))) << qPrintable(tip);
    EXPECT_TRUE(tip.endsWith(QStringLiteral("Ultimo cambio en la unidad: ") + localTime(QTime(10, 30)) + QStringLiteral(", ")
                             + writer + QStringLiteral(" (Escritura)")))
        << qPrintable(tip);
    EXPECT_EQ(open->Tabla->item(0, 2)->toolTip(), QStringLiteral("Norte") + tip.mid(3));
}

// "Sincronizar" runs on a thread: the window goes on meanwhile, a second
// one is refused, a copy made meanwhile is committed after it with its
// technician, and the window closing during a sync stops it cleanly.
TEST_F(HistoryWindowTest, SincronizarRunsBesideTheWindowOnceAtATime)
{
    const QString team = dir.filePath(QStringLiteral("team.git"));
    ASSERT_TRUE(HistoryRepo::makeShared(team));
    window->Remoto->setText(team);
    window->FijarRemoto->click();
    for (bool close : {false, true}) {
        SCOPED_TRACE(close ? "closed during the sync" : "left open");
        // The history held by another program: the sync waits for it.
        QLockFile busy(history.root() + QStringLiteral("/.git/velkan-history.lock"));
        ASSERT_TRUE(busy.tryLock(0));
        window->Sincronizar->click();
        ASSERT_TRUE(window->syncing());
        EXPECT_TRUE(window->SinCompartir->text().startsWith(QStringLiteral("Sincronizando")))
            << qPrintable(window->SinCompartir->text());
        window->Sincronizar->click();
        ASSERT_EQ(shown.size(), 1);
        EXPECT_TRUE(shown.takeFirst().contains(QStringLiteral("Ya se esta sincronizando")));
        window->Vistas->setCurrentIndex(1);
        QTest::keyClicks(window->FiltroUnidades, QStringLiteral("0002"));
        EXPECT_EQ(window->TablaUnidades->model()->rowCount(), 1) << "the window answers";
        window->FiltroUnidades->clear();
        history.technician = {QStringLiteral("Ana Ruiz"), QStringLiteral("ana@example.org")};
        record("VS21-0003", "Oeste", close ? QTime(14, 0, 0) : QTime(13, 0, 0), HistoryKind::Read);
        busy.unlock();
        if (close)
            window.reset();
        else
            QTRY_VERIFY_WITH_TIMEOUT(!window->syncing(), 20000);
        EXPECT_TRUE(shown.isEmpty()) << qPrintable(shown.join(u'\n'));
        const QHash<QString, CopyCommit> copies = history.repository().copies();
        EXPECT_EQ(copies.size(), close ? 5 : 4);
        for (const CopyCommit &copy : copies)
            if (copy.path.startsWith(QLatin1String("VS21-0003")))
                EXPECT_EQ(copy.author.name, QStringLiteral("Ana Ruiz"));
    }
    EXPECT_GE(history.repository().unshared(), 1) << "the copy made while the window closed waits for the next sync";
}
