#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QSettings>
#include <QTemporaryDir>

#include "fakeeditor.h"
#include "files/inidocument.h"
#include "files/sectionregistry.h"
#include "model/configstore.h"
#include "model/texthelpers.h"
#include "shell/editorregistry.h"
#include "shell/filecommands.h"
#include "shell/usersettings.h"

namespace {

// A section keeping the unit's name under one key.
class NameCore : public SectionCore {
public:
    QString name() const override { return "General"; }
    void clear(ConfigStore &store) const override { store.General.UnitName.clear(); }
    void save(const ConfigStore &store, IniDocument &doc) const override
    {
        doc.writeValue("GENERAL", "NOMBRE", store.General.UnitName);
    }
    void restore(ConfigStore &store, const IniDocument &doc) const override
    {
        clear(store);
        store.General.UnitName = doc.readValue("GENERAL", "NOMBRE");
    }
};

// The resend settings, numbers that a file can hold out of range.
class ResendCore : public SectionCore {
public:
    QString name() const override { return "GPRS"; }
    void clear(ConfigStore &store) const override
    {
        store.General.ResendCount = 3;
        store.General.ResendMinutes = 600;
    }
    void save(const ConfigStore &store, IniDocument &doc) const override
    {
        doc.writeValue("GENERAL", "RENVN", NumStr(store.General.ResendCount));
        doc.writeValue("GENERAL", "RENVT", NumStr(store.General.ResendMinutes));
    }
    void restore(ConfigStore &store, const IniDocument &doc) const override
    {
        clear(store);
        if (const auto count = ToInt16(ParseNumber(doc.readValue("GENERAL", "RENVN"))))
            store.General.ResendCount = *count;
        if (const auto minutes = ToInt32(ParseNumber(doc.readValue("GENERAL", "RENVT"))))
            store.General.ResendMinutes = *minutes;
    }
};

class FileCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sections.add(std::make_unique<NameCore>());
        editors.addEditor("General", editor);
        commands.warn = [this](const QString &text) { warnings.append(text); };
        commands.askOpenPath = [this](const QString &filter, const QString &) { return answer(filter); };
        commands.askSavePath = [this](const QString &filter, const QString &) { return answer(filter); };
        commands.askSaveChanges = [this](const QString &question) {
            questions.append(question);
            return saveChanges;
        };
    }
    void TearDown() override { delete editor; }

    QString answer(const QString &filter)
    {
        filters.append(filter);
        return chosen;
    }
    void writeFile(const QString &name, const QByteArray &text)
    {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    QTemporaryDir dir;
    QStringList log;
    FakeEditor *editor = new FakeEditor(log, "General");
    ConfigStore store;
    SectionRegistry sections;
    EditorRegistry editors;
    FileCommands commands{store, sections, editors};
    QStringList warnings;
    QStringList filters;
    QString chosen;
    QStringList questions;
    QMessageBox::StandardButton saveChanges = QMessageBox::Discard;
};

TEST_F(FileCommandsTest, SaveStoresTheEditorsThenWritesAndOpenReadsBack)
{
    store.General.UnitName = "Tank 3";
    chosen = dir.filePath("unit.qcf");
    EXPECT_TRUE(commands.saveCommand());
    EXPECT_EQ(log.first(), "General StoreControls");
    EXPECT_EQ(commands.ConfigFilePath, chosen);

    store.General.UnitName = "changed";
    log.clear();
    EXPECT_TRUE(commands.openCommand());
    EXPECT_EQ(store.General.UnitName, "Tank 3");
    EXPECT_TRUE(log.contains("General LoadData"));
    EXPECT_TRUE(warnings.isEmpty());
    EXPECT_EQ(filters.first(), "Archivo de configuracion QCF (*.qcf);;Todos los ficheros (*.*)");
}

TEST_F(FileCommandsTest, RefusedFileLeavesTheModelAndTellsTheOperator)
{
    const struct {
        const char *name;
        QByteArray content;
    } cases[] = {
        {"lower.qcf", "[General]\r\nVERSION=velkan_sarn\r\nNOMBRE=Other\r\n"},
        {"nomarker.qcf", "[General]\r\nNOMBRE=Other\r\n"},
        {"missing.qcf", {}},
    };
    for (const auto &c : cases) {
        if (!c.content.isEmpty())
            writeFile(c.name, c.content);
        store.General.UnitName = "kept";
        warnings.clear();
        log.clear();
        chosen = dir.filePath(c.name);
        EXPECT_FALSE(commands.openCommand()) << c.name;
        EXPECT_EQ(store.General.UnitName, "kept") << c.name;
        ASSERT_EQ(warnings.size(), 1) << c.name;
        EXPECT_TRUE(warnings.first().startsWith("No es un archivo de configuracion valido")) << c.name;
        EXPECT_FALSE(log.contains("General LoadData")) << c.name;
    }
}

// Values the model could not take are told once, all in one list, after the file is shown.
TEST_F(FileCommandsTest, OpenListsTheValuesNotTakenOnce)
{
    sections.add(std::make_unique<ResendCore>());
    QList<QStringList> reports;
    commands.reportNotes = [&](const QString &, const QStringList &lines) { reports << lines; };
    writeFile("hand.qcf", "[General]\r\nVERSION=VELKAN_SARN\r\nNOMBRE=Tank\r\nRENVN=70000\r\nRENVT=soon\r\n");
    chosen = dir.filePath("hand.qcf");
    EXPECT_TRUE(commands.openCommand());
    EXPECT_EQ(store.General.UnitName, "Tank");
    EXPECT_EQ(store.General.ResendCount, 3);
    ASSERT_EQ(reports.size(), 1);
    EXPECT_EQ(reports[0], QStringList({"[GENERAL] RENVN = 70000", "[GENERAL] RENVT = soon"}));
    EXPECT_TRUE(warnings.isEmpty());

    writeFile("clean.qcf", "[General]\r\nVERSION=VELKAN_SARN\r\nRENVN=5\r\n");
    chosen = dir.filePath("clean.qcf");
    EXPECT_TRUE(commands.openCommand());
    EXPECT_EQ(reports.size(), 1);
}

TEST_F(FileCommandsTest, CancelledDialogsTouchNeitherModelNorFile)
{
    writeFile("unit.qcf", "[General]\r\nVERSION=VELKAN_SARN\r\nNOMBRE=On disk\r\n");
    commands.ConfigFilePath = dir.filePath("unit.qcf");
    store.General.UnitName = "edited";
    chosen.clear();

    EXPECT_FALSE(commands.openCommand());
    EXPECT_FALSE(commands.saveAsCommand());

    EXPECT_EQ(store.General.UnitName, "edited");
    IniDocument doc;
    ASSERT_TRUE(doc.load(dir.filePath("unit.qcf")));
    EXPECT_EQ(doc.readValue("General", "NOMBRE"), "On disk");
    EXPECT_TRUE(warnings.isEmpty());
}

// Edits the editors hold since the last open, save or download are never
// replaced without one question: save, discard or cancel.
TEST_F(FileCommandsTest, UnsavedChangesAreAskedAboutOnceBeforeOpening)
{
    writeFile("other.qcf", "[General]\r\nVERSION=VELKAN_SARN\r\nNOMBRE=Other\r\n");
    const struct {
        QMessageBox::StandardButton answer;
        bool opened;
        const char *savedName; // what unit.qcf holds after
    } cases[] = {
        {QMessageBox::Save, true, "edited"},
        {QMessageBox::Discard, true, "first"},
        {QMessageBox::Cancel, false, "first"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(int(c.answer));
        store.General.UnitName = "first";
        chosen = dir.filePath("unit.qcf");
        ASSERT_TRUE(commands.saveAsCommand());
        questions.clear();
        chosen = dir.filePath("other.qcf");
        EXPECT_TRUE(commands.openCommand());
        EXPECT_TRUE(questions.isEmpty()) << "nothing changed: no question";

        chosen = dir.filePath("unit.qcf");
        ASSERT_TRUE(commands.openCommand());
        store.General.UnitName = "edited";
        saveChanges = c.answer;
        chosen = dir.filePath("other.qcf");
        EXPECT_EQ(commands.openCommand(), c.opened);
        EXPECT_EQ(questions.size(), 1);
        EXPECT_EQ(store.General.UnitName, c.opened ? "Other" : "edited");
        IniDocument doc;
        ASSERT_TRUE(doc.load(dir.filePath("unit.qcf")));
        EXPECT_EQ(doc.readValue("General", "NOMBRE"), c.savedName) << "Guardar writes to the open file";
    }
}

TEST_F(FileCommandsTest, FailedSaveIsReported)
{
    chosen = dir.filePath("no such folder/unit.qcf");
    EXPECT_FALSE(commands.saveCommand());
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings.first().startsWith("No se pudo guardar el archivo de configuracion"));
    EXPECT_GT(warnings.first().size(), QString("No se pudo guardar el archivo de configuracion").size());
}

TEST_F(FileCommandsTest, SaveCompletesTheNameAndTheFolderComesBackAfterARestart)
{
    const auto settings = [this] {
        return std::make_unique<UserSettings>(
            std::make_unique<QSettings>(dir.filePath("user.ini"), QSettings::IniFormat));
    };
    const QString folder = dir.filePath("sites");
    ASSERT_TRUE(QDir().mkpath(folder));
    QStringList starts;
    const auto dialogs = [&](FileCommands &files, const QString &answer) {
        files.askOpenPath = [&starts, answer](const QString &, const QString &start) {
            starts << start;
            return answer;
        };
        files.askSavePath = files.askOpenPath;
        files.unitIdentity = [] { return UnitIdentity{"Tank/3", "00123"}; };
    };

    auto firstSettings = settings();
    FileCommands first(store, sections, editors, nullptr, firstSettings.get());
    dialogs(first, QDir(folder).filePath("tank"));
    EXPECT_TRUE(first.saveCommand());
    EXPECT_EQ(first.ConfigFilePath, QDir(folder).filePath("tank.qcf"));
    EXPECT_TRUE(QFile::exists(QDir(folder).filePath("tank.qcf")));

    // The next start: a new session with the settings the first one left.
    auto nextSettings = settings();
    FileCommands next(store, sections, editors, nullptr, nextSettings.get());
    dialogs(next, QDir(folder).filePath("tank.qcf"));
    EXPECT_TRUE(next.openCommand());
    EXPECT_TRUE(next.saveAsCommand());
    // "Guardar como" offers the file opened under its own name.
    EXPECT_EQ(starts, (QStringList{"Tank_3_00123.qcf", folder, QDir(folder).filePath("tank.qcf")}));

    // A name typed with a final dot gets the extension once.
    dialogs(next, QDir(folder).filePath("dotted."));
    EXPECT_TRUE(next.saveAsCommand());
    EXPECT_EQ(next.ConfigFilePath, QDir(folder).filePath("dotted.qcf"));
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

// A file refused by "Abrir" never becomes the open file: the next plain save,
// and the save the unsaved-changes question offers, go to the file opened
// before, and the refused file keeps every byte.
TEST_F(FileCommandsTest, RefusedOpenIsNeverTheFileSaved)
{
    const struct {
        const char *name;
        QByteArray content;
    } cases[] = {
        {"notas_copia.txt", "Llamar al tecnico el martes\nPozo 1, norte\n"},
        {"units.csv", "serial;name\nUA-0001;Unidad A\n"},
        {"random.bin", QByteArray("\x00\x9f\xff\x10" "binary", 10)},
        {"other_product.qcf", "[General]\r\nVERSION=OTRO\r\nNOMBRE=x\r\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        store.General.UnitName = "first";
        chosen = dir.filePath("unit.qcf");
        ASSERT_TRUE(commands.saveAsCommand());
        writeFile(c.name, c.content);
        QSignalSpy opened(&commands, &FileCommands::fileOpened);
        store.General.UnitName = "edited";
        chosen = dir.filePath(c.name);
        saveChanges = QMessageBox::Discard;
        EXPECT_FALSE(commands.openCommand());
        EXPECT_EQ(commands.ConfigFilePath, dir.filePath("unit.qcf"));
        EXPECT_EQ(store.General.UnitName, "edited");
        EXPECT_TRUE(opened.isEmpty());
        EXPECT_TRUE(commands.changed()) << "the edit is still unsaved";

        EXPECT_TRUE(commands.saveCommand());
        EXPECT_EQ(fileBytes(dir.filePath(c.name)), c.content);
        IniDocument doc;
        ASSERT_TRUE(doc.load(dir.filePath("unit.qcf")));
        EXPECT_EQ(doc.readValue("General", "NOMBRE"), "edited");

        store.General.UnitName = "edited again";
        saveChanges = QMessageBox::Save;
        questions.clear();
        EXPECT_TRUE(commands.settleChanges());
        EXPECT_EQ(questions.size(), 1);
        EXPECT_EQ(fileBytes(dir.filePath(c.name)), c.content);
        ASSERT_TRUE(doc.load(dir.filePath("unit.qcf")));
        EXPECT_EQ(doc.readValue("General", "NOMBRE"), "edited again");
    }
}

// A configuration is only merged into a configuration: any other file at the
// path is refused, unless the operator chose it in "Guardar como" (which asked
// before replacing it), and then it is replaced whole. A failed save names no
// file either.
TEST_F(FileCommandsTest, SavesNeverMergeIntoAnotherKindOfFile)
{
    const QByteArray notes = "Llamar al tecnico\r\n";
    const struct {
        const char *name;
        bool saveAs;
        bool saved;
    } cases[] = {
        {"notes.txt", false, false},
        {"notes.txt", true, true},     // chosen and confirmed in the dialog
        {"notes", true, false},        // the dialog confirmed "notes", not "notes.qcf"
        {"empty.qcf", false, true},    // nothing to lose
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(c.name);
        const QString written = QFileInfo(path).suffix().isEmpty() ? path + ".qcf" : path;
        writeFile(QFileInfo(written).fileName(), QString(c.name) == "empty.qcf" ? QByteArray() : notes);
        commands.ConfigFilePath = dir.filePath("before.qcf");
        warnings.clear();
        store.General.UnitName = "Tank";
        if (c.saveAs) {
            chosen = path;
            EXPECT_EQ(commands.saveAsCommand(), c.saved);
        } else {
            commands.ConfigFilePath = path;
            EXPECT_EQ(commands.saveCommand(), c.saved);
        }
        EXPECT_EQ(warnings.size(), c.saved ? 0 : 1);
        if (!c.saved) {
            EXPECT_EQ(fileBytes(written), notes);
            EXPECT_TRUE(warnings.value(0).contains("no es un archivo de configuracion")) << warnings.value(0).toStdString();
            if (c.saveAs)
                EXPECT_EQ(commands.ConfigFilePath, dir.filePath("before.qcf"));
            continue;
        }
        EXPECT_FALSE(fileBytes(written).contains("tecnico"));
        IniDocument doc;
        ASSERT_TRUE(doc.load(written));
        EXPECT_EQ(doc.readValue("General", "NOMBRE"), "Tank");
        EXPECT_EQ(commands.ConfigFilePath, written);
    }
}

// Where the editors' configuration came from goes with it: the unit
// downloaded, the unit a file records, or the unit of the history folder
// an older copy lies in; a save records it.
TEST_F(FileCommandsTest, TheSourceUnitIsRecordedAndReadBack)
{
    commands.unitIdentity = [] { return UnitIdentity{"Unidad A", "UA-0001"}; };
    commands.unitLoaded();
    EXPECT_EQ(commands.sourceSerial(), "UA-0001");
    chosen = dir.filePath("a.qcf");
    ASSERT_TRUE(commands.saveAsCommand());

    FileCommands other(store, sections, editors);
    other.warn = commands.warn;
    other.historyUnit = [this](const QString &path) {
        return QFileInfo(path).absolutePath() == dir.filePath("UB-0002") ? QString("UB-0002") : QString();
    };
    ASSERT_TRUE(other.openFile(dir.filePath("a.qcf")));
    EXPECT_EQ(other.sourceSerial(), "UA-0001");

    ASSERT_TRUE(QDir(dir.path()).mkdir("UB-0002"));
    writeFile("UB-0002/2026-01-01T00-00-00Z-read.qcf", "[General]\r\nVERSION=VELKAN_SARN\r\n");
    writeFile("plain.qcf", "[General]\r\nVERSION=VELKAN_SARN\r\n");
    ASSERT_TRUE(other.openFile(dir.filePath("UB-0002/2026-01-01T00-00-00Z-read.qcf")));
    EXPECT_EQ(other.sourceSerial(), "UB-0002");
    ASSERT_TRUE(other.openFile(dir.filePath("plain.qcf")));
    EXPECT_EQ(other.sourceSerial(), "");

    // Saved over the first file, an unknown source empties what it recorded.
    other.ConfigFilePath = dir.filePath("a.qcf");
    ASSERT_TRUE(other.saveCommand());
    ASSERT_TRUE(other.openFile(dir.filePath("a.qcf")));
    EXPECT_EQ(other.sourceSerial(), "");
}

// "Guardar como" offers what the editors hold: a file under its own name
// (whatever unit is connected), a download under the unit's.
TEST_F(FileCommandsTest, SaveAsOffersTheFilesOwnNameOrTheUnits)
{
    writeFile("Deposito Sur_UB-0002.qcf", "[General]\r\nVERSION=VELKAN_SARN\r\n");
    commands.unitIdentity = [] { return UnitIdentity{"Deposito Norte", "UA-0001"}; };
    EXPECT_EQ(commands.saveStart(), "Deposito Norte_UA-0001.qcf") << "nothing opened yet";
    ASSERT_TRUE(commands.openFile(dir.filePath("Deposito Sur_UB-0002.qcf")));
    EXPECT_EQ(commands.saveStart(), dir.filePath("Deposito Sur_UB-0002.qcf"));
    commands.unitLoaded();
    EXPECT_EQ(QFileInfo(commands.saveStart()).fileName(), "Deposito Norte_UA-0001.qcf");
    commands.unitIdentity = [] { return UnitIdentity{"", ""}; };
    EXPECT_EQ(QFileInfo(commands.saveStart()).fileName(), "");
}

TEST(FileCommands, FilterListsBecomeDialogFilters)
{
    const struct {
        const char *pipes;
        const char *filter;
    } cases[] = {
        {"QCF (*.qcf)|*.qcf|Todos (*.*)|*.*", "QCF (*.qcf);;Todos (*.*)"},
        {"QCF files|*.qcf|All|*.*", "QCF files (*.qcf);;All (*.*)"},
        {"Hex|*.hex;*.ihx", "Hex (*.hex *.ihx)"},
        {"Broken|*.qcf|Dangling", "Broken (*.qcf)"},
        {"", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FileCommands::dialogFilter(c.pipes), c.filter) << c.pipes;
}

} // namespace
