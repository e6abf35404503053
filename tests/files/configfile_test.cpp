#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "files/configfile.h"
#include "files/inidocument.h"
#include "files/sectionregistry.h"
#include "model/configstore.h"
#include "testfiles.h"

namespace {

// One key in one section, kept outside the store so that a test sees every change.
class ProbeSection : public SectionCore {
public:
    explicit ProbeSection(QString *value) : value_(value) {}
    QString name() const override { return QStringLiteral("GPRS"); }
    void clear(ConfigStore &) const override { *value_ = QStringLiteral("cleared"); }
    void save(const ConfigStore &, IniDocument &doc) const override
    {
        doc.writeValue("GPRS", "APN", *value_);
    }
    void restore(ConfigStore &store, const IniDocument &doc) const override
    {
        clear(store);
        *value_ = doc.readValue("GPRS", "APN");
    }

private:
    QString *value_;
};

struct ConfigFileTest : ::testing::Test {
    ConfigFileTest() { registry.add(std::make_unique<ProbeSection>(&value)); }
    QString path(const char *name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    QString value = QStringLiteral("internet.example");
    ConfigStore store;
    SectionRegistry registry;
};

} // namespace

TEST_F(ConfigFileTest, SavesMarkerFirstAndRestoresWhatItSaved)
{
    const QString file = path("unit.qcf");
    FileFailure error;
    ASSERT_TRUE(saveConfigFile(file, store, registry, &error)) << error.detail.toStdString();
    EXPECT_EQ(readFile(file), QByteArray("[General]\r\nVERSION=VELKAN_SARN\r\n"
                                         "[GPRS]\r\nAPN=internet.example\r\n"));
    value = "changed";
    EXPECT_EQ(restoreConfigFile(file, store, registry), RestoreResult::Restored);
    EXPECT_EQ(value, "internet.example");
}

TEST_F(ConfigFileTest, RestoreChecksTheMarkerBeforeTouchingTheModel)
{
    const struct {
        const char *name;
        QByteArray bytes; // empty: no file
        RestoreResult result;
    } cases[] = {
        {"missing", {}, RestoreResult::NotConfigFile},
        {"no marker", "[General]\r\nDNAME=x\r\n[GPRS]\r\nAPN=file\r\n", RestoreResult::NotConfigFile},
        {"other case", "[General]\r\nVERSION=velkan_sarn\r\n[GPRS]\r\nAPN=file\r\n", RestoreResult::NotConfigFile},
        {"other product", "[General]\r\nVERSION=OTHER\r\n[GPRS]\r\nAPN=file\r\n", RestoreResult::NotConfigFile},
        {"marker elsewhere", "[GPRS]\r\nVERSION=VELKAN_SARN\r\nAPN=file\r\n", RestoreResult::NotConfigFile},
        {"not text", QByteArray("[General]\r\nVERSION=VELKAN_SARN\r\n\0", 33), RestoreResult::Unreadable},
        {"section in capitals", "[GENERAL]\nversion = VELKAN_SARN\n[gprs]\nAPN=file\n", RestoreResult::Restored},
    };
    for (const auto &c : cases) {
        const QString file = path("case.qcf");
        QFile::remove(file);
        if (!c.bytes.isEmpty())
            writeFile(file, c.bytes);
        value = "model";
        EXPECT_EQ(restoreConfigFile(file, store, registry), c.result) << c.name;
        EXPECT_EQ(value, c.result == RestoreResult::Restored ? "file" : "model") << c.name;
    }
    EXPECT_EQ(restoreConfigFile(QString(), store, registry), RestoreResult::NotConfigFile);
}

TEST_F(ConfigFileTest, SaveKeepsForeignContentButMergesOnlyIntoAConfiguration)
{
    const QString file = path("shared.qcf");
    writeFile(file, "[Other]\r\nX=1\r\n[GPRS]\r\nAPN=old\r\nPORT= 80\r\n[General]\r\nVERSION=VELKAN_SARN\r\n");
    ASSERT_TRUE(saveConfigFile(file, store, registry));
    EXPECT_EQ(readFile(file), QByteArray("[Other]\r\nX=1\r\n[GPRS]\r\nAPN=internet.example\r\nPORT= 80\r\n"
                                         "[General]\r\nVERSION=VELKAN_SARN\r\n"));

    // An INI file without the product's marker is another program's: left as
    // it is, unless the operator confirmed replacing it, and then replaced whole.
    const QByteArray other = "[Other]\r\nX=1\r\n[GPRS]\r\nAPN=old\r\n";
    writeFile(file, other);
    FileFailure refused;
    EXPECT_FALSE(saveConfigFile(file, store, registry, &refused));
    EXPECT_EQ(refused.problem, FileProblem::NotReplaced);
    EXPECT_EQ(readFile(file), other);
    SaveTarget replace;
    replace.replaceOther = true;
    ASSERT_TRUE(saveConfigFile(file, store, registry, nullptr, replace));
    EXPECT_EQ(readFile(file), QByteArray("[General]\r\nVERSION=VELKAN_SARN\r\n[GPRS]\r\nAPN=internet.example\r\n"));

    const QByteArray binary("\x7f" "ELF\0\0\0", 7);
    writeFile(file, binary);
    FileFailure error;
    EXPECT_FALSE(saveConfigFile(file, store, registry, &error));
    EXPECT_EQ(error.problem, FileProblem::NotText);
    EXPECT_EQ(readFile(file), binary);

    EXPECT_FALSE(saveConfigFile(QString(), store, registry, &error));
    EXPECT_EQ(error.problem, FileProblem::NoName);
}
