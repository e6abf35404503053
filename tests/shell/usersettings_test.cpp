#include <gtest/gtest.h>

#include <QSettings>
#include <QTemporaryDir>

#include "files/langtable.h"
#include "shell/usersettings.h"

namespace {

// Settings in a private file; each test starts from what it writes there.
class UserSettingsTest : public ::testing::Test {
protected:
    std::unique_ptr<QSettings> store() const
    {
        return std::make_unique<QSettings>(dir.filePath("user.ini"), QSettings::IniFormat);
    }
    void preset(const QString &key, const QString &value) const
    {
        auto s = store();
        s->beginGroup("Velkan Sarn");
        s->setValue(key, value);
    }
    QString stored(const QString &key) const
    {
        auto s = store();
        s->beginGroup("Velkan Sarn");
        return s->value(key).toString();
    }
    // Start-up with a language dialog that picks language 3; gives the number of times it was shown.
    int startUp()
    {
        int asked = 0;
        UserSettings settings(store());
        settings.applyAtStartup(lang, [&] {
            ++asked;
            lang.LangSel = 3;
        });
        return asked;
    }

    QTemporaryDir dir;
    LangTable lang{dir.filePath("Lang.txt")};
};

TEST_F(UserSettingsTest, FirstStartAsksOnceAndStoresTheChoice)
{
    EXPECT_EQ(startUp(), 1);
    EXPECT_EQ(lang.LangSel, 3);
    EXPECT_EQ(stored("ComPort"), "1");
    EXPECT_EQ(stored("Idioma"), "3");

    lang.LangSel = 0;
    EXPECT_EQ(startUp(), 0);
    EXPECT_EQ(lang.LangSel, 3);
}

TEST_F(UserSettingsTest, MissingComPortAsksAgainAndReplacesTheLanguage)
{
    preset("Idioma", "2");
    EXPECT_EQ(startUp(), 1);
    EXPECT_EQ(lang.LangSel, 3);
    EXPECT_EQ(stored("Idioma"), "3");
    EXPECT_EQ(stored("ComPort"), "1");
}

TEST_F(UserSettingsTest, StoredLanguageAppliesWithoutAsking)
{
    preset("ComPort", "/dev/ttyUSB0");
    preset("Idioma", "2");
    EXPECT_EQ(startUp(), 0);
    EXPECT_EQ(lang.LangSel, 2);
}

// A language chosen while the program runs is stored at once: a program
// that never reaches its shut-down comes back in it. Once the settings are
// gone, a choice stores nothing.
TEST_F(UserSettingsTest, ChosenLanguageIsStoredAtOnce)
{
    preset("ComPort", "1");
    preset("Idioma", "2");
    {
        UserSettings settings(store());
        settings.applyAtStartup(lang, {});
        settings.followLanguage(lang);
        lang.selectLanguage(3);
        EXPECT_EQ(stored("Idioma"), "3");
    }
    lang.selectLanguage(1);
    EXPECT_EQ(stored("Idioma"), "3");
}

TEST_F(UserSettingsTest, ShutdownStoresPortAndLanguage)
{
    {
        UserSettings settings(store());
        settings.storeAtShutdown("/dev/ttyUSB1", 4);
    }
    EXPECT_EQ(stored("Idioma"), "4");
    EXPECT_EQ(stored("ComPort"), UserSettings::comPortValue("/dev/ttyUSB1"));

    // With no port chosen the stored one stays, so the next start is no first start.
    UserSettings(store()).storeAtShutdown("", 4);
    EXPECT_EQ(stored("ComPort"), UserSettings::comPortValue("/dev/ttyUSB1"));

    // The port list's own choice comes back at the next start; none keeps it.
    UserSettings(store()).setLastPort("@simulated");
    UserSettings(store()).setLastPort("");
    EXPECT_EQ(UserSettings(store()).lastPort(), "@simulated");
}

TEST(UserSettings, LanguageNumberFromLeadingDigits)
{
    const struct {
        const char *text;
        int number;
    } cases[] = {{"3", 3}, {"2abc", 2}, {"", 0}, {"abc", 0}, {" 5", 5}, {"99999999", 0}};
    for (const auto &c : cases)
        EXPECT_EQ(UserSettings::languageNumber(c.text), c.number) << c.text;
}

} // namespace
