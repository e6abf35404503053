// The GPRS window: what it shows and what it stores back.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QtTest/QTest>

#include "files/langtable.h"
#include "files/sectionregistry.h"
#include "model/configstore.h"
#include "sections/addressbox.h"
#include "sections/gprs/gprswindow.h"
#include "sections/sectionlist.h"

namespace {

class GprsWindowTest : public ::testing::Test {
protected:
    GprsWindowTest()
    {
        setLang(&lang);
        registerSections(sections);
        sections.clearAll(store);
        window = std::make_unique<GPRS>(store, sections);
        window->Timer1->stop();
    }
    ~GprsWindowTest() override { setLang(nullptr); }

    // Replaces the box's text by typing, as the operator does.
    static void type(QLineEdit *box, const QString &text)
    {
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, text);
    }

    static bool red(const QLineEdit *box)
    {
        return box->palette().color(QPalette::Base) == QColor(255, 0, 0);
    }

    LangTable lang{QStringLiteral("no-such-folder/Lang.txt")};
    ConfigStore store;
    SectionRegistry sections;
    std::unique_ptr<GPRS> window;
};

// Values the boxes could not take by typing survive a load and a store.
TEST_F(GprsWindowTest, UneditedBoxesStoreNothingBack)
{
    GprsConfig &gprs = store.Gprs;
    gprs.ServerPort = 123456;
    gprs.ApnTimeout = 32767;
    gprs.ApnRetries = 100;
    gprs.ServerIp = QStringLiteral("0");
    gprs.FtpIp = QString();
    gprs.FtpPath = QString(300, QLatin1Char('d'));
    const GprsConfig before = gprs;
    window->LoadData();
    EXPECT_EQ(window->TextPort->text(), "123456");
    EXPECT_EQ(window->IPInputBox->text(), "0");
    window->StoreControls();
    EXPECT_EQ(gprs, before);

    // A host name from the unit or a file is shown and kept too.
    gprs.FtpIp = QStringLiteral("ftp.example.net");
    window->LoadData();
    EXPECT_EQ(window->IPInputBox1->text(), "ftp.example.net");
    EXPECT_FALSE(red(window->IPInputBox1));
    window->StoreControls();
    EXPECT_EQ(gprs.FtpIp, "ftp.example.net");
}

TEST_F(GprsWindowTest, AddressBoxes)
{
    const struct {
        const char *typed;
        const char *shown;
        const char *stored; // null: the field keeps what it held
        bool red;
    } cases[] = {
        {"192.168.1.10", "192.168.1.10", "192.168.1.10", false},
        {"", "", "", false},                         // an emptied box yields the empty text
        {"10.20", "10.20", nullptr, true},           // incomplete
        {"256", "25", nullptr, true},                // no part above 255
        {"1.2.3.4.5", "1.2.3.45", "1.2.3.45", false}, // a fifth part is refused
        {"a1,b.2 x", "1.2", nullptr, true},          // only digits and dots
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed);
        store.Gprs.ServerIp = QStringLiteral("host.example.net");
        window->LoadData();
        type(window->IPInputBox, QString::fromLatin1(c.typed));
        EXPECT_EQ(window->IPInputBox->text(), c.shown);
        EXPECT_EQ(red(window->IPInputBox), c.red);
        window->StoreControls();
        EXPECT_EQ(store.Gprs.ServerIp, c.stored ? QString::fromLatin1(c.stored) : "host.example.net");
    }
}

TEST_F(GprsWindowTest, TypedValuesAreStored)
{
    type(window->TextAPNServer, QStringLiteral("m2m,apn"));
    EXPECT_EQ(window->TextAPNServer->text(), "m2mapn"); // commas are refused
    type(window->TextFTPUser, QString(300, QLatin1Char('u')));
    type(window->TextConTimeOut, QStringLiteral("abc"));
    type(window->TextTimeout, QStringLiteral("7.5"));
    type(window->TextFTPRetry, QStringLiteral("-1"));
    type(window->TextAPNRetryTime, QStringLiteral("1e9")); // does not fit: kept
    window->CheckHabilGPRS->setChecked(true);
    window->CheckMantener->setChecked(true);
    window->Timer1_Timer();
    EXPECT_TRUE(red(window->TextConTimeOut));
    EXPECT_TRUE(red(window->TextTimeout));
    EXPECT_FALSE(red(window->TextFTPRetry));

    window->StoreControls();
    const GprsConfig &gprs = store.Gprs;
    EXPECT_EQ(gprs.ApnServer, "m2mapn");
    EXPECT_EQ(gprs.FtpUser, QString(254, QLatin1Char('u')));
    EXPECT_EQ(gprs.ApnTimeout, 0);   // non-numeric stores 0
    EXPECT_EQ(gprs.ServerTimeout, 8); // half to even
    EXPECT_EQ(gprs.FtpRetries, -1);
    EXPECT_EQ(gprs.ApnRetryTime, 60);
    EXPECT_TRUE(gprs.GprsEnabled);
    EXPECT_TRUE(gprs.KeepConnected);
}

TEST_F(GprsWindowTest, ClearShowsTheDefaults)
{
    type(window->TextAPNRetry, QStringLiteral("3"));
    type(window->TextAPNServer, QStringLiteral("apn"));
    window->CheckHabilGPRS->setChecked(true);
    window->StoreControls();
    window->Clear();
    EXPECT_EQ(window->TextAPNRetry->text(), "10");
    EXPECT_EQ(window->TextAPNRetryTime->text(), "60");
    EXPECT_EQ(window->TextConTimeOut->text(), "120");
    EXPECT_EQ(window->TextTimeout->text(), "300");
    EXPECT_EQ(window->TextPort->text(), "0");
    EXPECT_EQ(window->IPInputBox->text(), "0");
    EXPECT_EQ(window->IPInputBox1->text(), "0");
    EXPECT_TRUE(window->TextAPNServer->text().isEmpty());
    EXPECT_FALSE(window->CheckHabilGPRS->isChecked());
    ConfigStore cleared;
    sections.clearAll(cleared);
    window->StoreControls();
    EXPECT_EQ(store.Gprs, cleared.Gprs);
}

} // namespace
