// A file comes back as it was written: a configuration the program saved,
// opened and saved again without an edit, keeps every byte, through the
// windows and through the core alike. And a number of a file that its window
// would show red is named on opening, shows red, and stops the upload.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <memory>

#include "programfixture.h"
#include "files/configfile.h"
#include "files/inidocument.h"
#include "files/linetexts.h"
#include "model/texthelpers.h"
#include "shell/uploadgate.h"

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The lines where two files part, for a failure's message.
std::string firstDifferences(const QByteArray &got, const QByteArray &expected)
{
    const QList<QByteArray> a = got.split('\n');
    const QList<QByteArray> b = expected.split('\n');
    std::string out;
    int shown = 0;
    for (qsizetype i = 0; i < std::max(a.size(), b.size()) && shown < 8; ++i) {
        if (a.value(i) != b.value(i)) {
            out += "line " + std::to_string(i + 1) + ": got \"" + a.value(i).trimmed().toStdString()
                   + "\", expected \"" + b.value(i).trimmed().toStdString() + "\"\n";
            ++shown;
        }
    }
    return out;
}

bool copyTo(const QString &from, const QString &to)
{
    QFile::remove(to);
    return QFile::copy(from, to) && QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner);
}

// A configuration of random values: every key the program writes gets a
// value of the shape it has (a switch, a number, a time or a text), so that
// every field of every section takes part. Numbers stay small and above 0,
// inside every box's range.
IniDocument randomConfiguration(const SectionRegistry &sections, quint32 seed)
{
    QRandomGenerator random(seed);
    auto store = std::make_unique<ConfigStore>();
    sections.clearAll(*store);
    IniDocument shape;
    sections.saveAll(*store, shape);
    IniDocument doc;
    doc.writeValue(QStringLiteral("General"), QStringLiteral("VERSION"), Product::ProductKey);
    for (const QString &item : shape.sectionNames()) {
        for (const auto &[key, value] : shape.keyValues(item)) {
            QString text;
            if (value == QLatin1String("True") || value == QLatin1String("False"))
                text = random.bounded(2) ? QStringLiteral("True") : QStringLiteral("False");
            else if (TimeFromText(value))
                text = TimeText(QTime(random.bounded(24), random.bounded(60), random.bounded(60)));
            else if (IsDecimalText(value))
                text = NumStr(1 + random.bounded(9));
            else
                text = QStringLiteral("Txt %1").arg(random.bounded(1000));
            doc.writeValue(item, key, text);
        }
    }
    return doc;
}

class FileFaithful : public ::testing::Test {
protected:
    FileFaithful()
    {
        program.files.warn = [this](const QString &message) { told << message; };
        program.files.reportNotes = [this](const QString &summary, const QStringList &lines) {
            told << summary + u'\n' + lines.join(u'\n');
        };
        // Each case opens a file over the last one, which the test never saves.
        program.files.askSaveChanges = [](const QString &) { return QMessageBox::Discard; };
        program.main.setMessage([this](QMessageBox::Icon, const QString &text, QMessageBox::StandardButtons) {
            told << text;
            return QMessageBox::Ok;
        });
    }

    QString path(const QString &name) const { return dir.filePath(name); }

    // The file as the program writes it from what `source` holds.
    QString writtenBy(const QString &source)
    {
        auto store = std::make_unique<ConfigStore>();
        program.sections.clearAll(*store);
        EXPECT_EQ(restoreConfigFile(source, *store, program.sections), RestoreResult::Restored);
        const QString written = path(QStringLiteral("written.qcf"));
        QFile::remove(written);
        EXPECT_TRUE(saveConfigFile(written, *store, program.sections));
        return written;
    }

    // Opened and saved ("Abrir", then "Guardar") by the windows, and by the
    // core, each into its own copy of `file`: both must give its bytes back.
    void expectSavedUnchanged(const QString &file)
    {
        const QByteArray original = bytesOf(file);
        ASSERT_FALSE(original.isEmpty());

        const QString windows = path(QStringLiteral("windows.qcf"));
        ASSERT_TRUE(copyTo(file, windows));
        ASSERT_TRUE(program.files.openFile(windows));
        ASSERT_TRUE(program.files.saveCommand());
        EXPECT_TRUE(bytesOf(windows) == original) << "saved through the editors:\n"
                                                  << firstDifferences(bytesOf(windows), original);

        const QString core = path(QStringLiteral("core.qcf"));
        ASSERT_TRUE(copyTo(file, core));
        auto store = std::make_unique<ConfigStore>();
        ASSERT_EQ(restoreConfigFile(core, *store, program.sections), RestoreResult::Restored);
        ASSERT_TRUE(saveConfigFile(core, *store, program.sections));
        EXPECT_TRUE(bytesOf(core) == original) << "saved through the core:\n" << firstDifferences(bytesOf(core), original);
    }

    QTemporaryDir dir;
    ProgramWindows program;
    QStringList told;
};

TEST_F(FileFaithful, OpenedAndSavedUnchangedKeepsEveryByte)
{
    // The test data as the program writes it (the hand-written files hold comments).
    const QStringList data = QDir(QStringLiteral(VELKAN_TEST_DATA)).entryList({QStringLiteral("*.qcf")}, QDir::Files);
    ASSERT_FALSE(data.isEmpty());
    for (const QString &name : data) {
        SCOPED_TRACE(name.toStdString());
        expectSavedUnchanged(writtenBy(QStringLiteral(VELKAN_TEST_DATA "/") + name));
    }
    for (quint32 seed : {1u, 2u, 3u, 4u}) {
        SCOPED_TRACE(seed);
        const QString source = path(QStringLiteral("random.qcf"));
        ASSERT_TRUE(randomConfiguration(program.sections, seed).save(source));
        expectSavedUnchanged(writtenBy(source));
    }
}

// One value per kind of range, each taken by the model but outside what its
// box accepts: named when the file is opened, red in its window, refused by
// the check before an upload with its field named.
TEST_F(FileFaithful, AValueItsBoxShowsRedIsNamedOnOpeningAndStopsTheUpload)
{
    const struct {
        const char *item;
        const char *key;
        const char *value;
        const char *node;   // the window that shows it
        const char *window;
        const char *box;
    } cases[] = {
        {"GPRS", "SERVER_PORT", "70000", "GPRS", "GPRS", "TextPort"},                 // 0 - 65535
        {"GPRS", "APN_RETRIES", "-1", "GPRS", "GPRS", "TextAPNRetry"},                // 0 - 32767
        {"GENERAL", "RENVT", "-5", "General", "General", "RENVT"},                    // 0 - 2147483647
        {"CAUDAL 0", "RATIO", "0", "Caudal_0", "Caudal", "Ratio"},                    // > 0, meter on
        {"LTIMER 0", "PERIOD", "-3", "LTimer0_3", "LTimer", "Period_0"},              // timer on
    };
    const QString written = writtenBy(QStringLiteral(VELKAN_TEST_DATA "/rich_config.qcf"));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.key);
        IniDocument doc;
        ASSERT_TRUE(doc.load(written));
        doc.writeValue(QString::fromLatin1(c.item), QString::fromLatin1(c.key), QString::fromLatin1(c.value));
        const QString file = path(QStringLiteral("outside.qcf"));
        ASSERT_TRUE(doc.save(file));

        QList<RestoreNote> notes;
        auto store = std::make_unique<ConfigStore>();
        ASSERT_EQ(restoreConfigFile(file, *store, program.sections, nullptr, &notes), RestoreResult::Restored);
        ASSERT_EQ(notes.size(), 1);
        EXPECT_EQ(notes.first().key, QString::fromLatin1(c.key));
        EXPECT_TRUE(notes.first().outOfRange());
        const QList<FieldFault> faults = lineTextFaults(*store, program.sections, SectionRegistry::uploadOrder());
        ASSERT_EQ(faults.size(), 1);
        EXPECT_EQ(faults.first().key, QString::fromLatin1(c.key));
        EXPECT_EQ(faults.first().problem, FieldFault::Problem::OutOfRange);

        // The windows: told on opening, the box red for the same reason, the upload refused.
        told.clear();
        ASSERT_TRUE(program.files.openFile(file));
        ASSERT_EQ(told.size(), 1);
        EXPECT_TRUE(told.first().contains(QString::fromLatin1(c.key))) << told.first().toStdString();
        program.main.Tree_NodeClick(QString::fromLatin1(c.node));
        auto *box = program.windows.window(QString::fromLatin1(c.window))->findChild<QLineEdit *>(c.box);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(ParseNumber(box->text()), ParseNumber(QString::fromLatin1(c.value)));
        EXPECT_FALSE(numberBoxFault(box).isEmpty()) << "red, as the restore said";
        UploadGate gate(program.windows, program.store, program.sections);
        QString warned;
        gate.warn = [&warned](const QString &message) { warned = message; };
        EXPECT_FALSE(gate.pass(UploadGate::configSections()));
        EXPECT_TRUE(warned.contains(QString::fromLatin1(c.key))) << warned.toStdString();
    }
}

} // namespace
