// The GPRS window: what it shows and what it stores back.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QtTest/QTest>

#include "files/langtable.h"
#include "files/sectionregistry.h"
#include "model/configstore.h"
#include "widgets/addressbox.h"
#include "widgets/numberbox.h"
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

// Values the boxes could not take by typing survive a load and a store: a
// host name, the default "0" and an empty text in an address box too. Only a
// text that is neither an address nor "no address" shows beside the values.
TEST_F(GprsWindowTest, UneditedBoxesStoreNothingBack)
{
    GprsConfig &gprs = store.Gprs;
    gprs.ServerPort = 123456;
    gprs.ApnTimeout = 32767;
    gprs.ApnRetries = 100;
    gprs.FtpPath = QString(300, QLatin1Char('d'));
    const struct {
        const char *stored;
        const char *shown;
        bool beside;
    } addresses[] = {
        {"0", "0", false}, {"", "", false}, {"ftp.example.net", "ftp.example.net", true},
        {"010.020.030.040", "10.20.30.40", false}, // kept as stored, though shown without zeros
    };
    for (const auto &ip : addresses) {
        SCOPED_TRACE(ip.stored);
        gprs.ServerIp = QString::fromLatin1(ip.stored);
        gprs.FtpIp = QString::fromLatin1(ip.stored);
        const GprsConfig before = gprs;
        window->LoadData();
        EXPECT_EQ(window->TextPort->text(), "123456");
        EXPECT_EQ(window->IPInputBox->text(), ip.shown);
        const auto *beside = window->IPInputBox1->findChild<QLabel *>(QStringLiteral("storedText"));
        EXPECT_EQ(!beside->isHidden(), ip.beside);
        window->StoreControls();
        EXPECT_EQ(gprs, before);
    }
}

// The four values of an address box, typed one by one.
void typeAddress(AddressBox *box, const QStringList &values)
{
    for (int i = 0; i < 4; ++i) {
        auto *field = box->findChild<QLineEdit *>(QStringLiteral("byte%1").arg(i));
        ASSERT_NE(field, nullptr);
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        QTest::keyClicks(field, values.value(i));
    }
}

TEST_F(GprsWindowTest, AddressBoxesStoreWhatWasTyped)
{
    // Over a host name, and over the unit's "0" for no address, which shows
    // as empty values: erasing them changes nothing there.
    const struct {
        QStringList typed;
        const char *stored;
        const char *storedOverNoAddress;
    } cases[] = {
        {{"192", "168", "1", "10"}, "192.168.1.10", "192.168.1.10"},
        {{"", "", "", ""}, "", "0"},            // an emptied box yields the empty text
        {{"10", "", "30", "4"}, "10.0.30.4", "10.0.30.4"}, // an empty value is 0
        // A value above 255 stays as typed, red: nothing is stored, and the
        // window's faults (which stop the save, the upload and leaving) name both boxes.
        {{"10", "", "300", "4"}, "host.example.net", "0"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.stored);
        store.Gprs.ServerIp = QStringLiteral("host.example.net");
        store.Gprs.FtpIp = QStringLiteral("0");
        window->LoadData();
        ASSERT_NO_FATAL_FAILURE(typeAddress(window->IPInputBox, c.typed));
        ASSERT_NO_FATAL_FAILURE(typeAddress(window->IPInputBox1, c.typed));
        window->StoreControls();
        EXPECT_EQ(store.Gprs.ServerIp, c.stored);
        EXPECT_EQ(store.Gprs.FtpIp, c.storedOverNoAddress);
        const QList<BoxFault> faults = numberBoxFaults(window.get());
        const bool red = c.typed.contains(QStringLiteral("300"));
        ASSERT_EQ(faults.size(), red ? 2 : 0);
        if (red)
            EXPECT_EQ(faults.first().field, QStringLiteral("Direccion IP del servidor"));
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
    type(window->TextAPNRetryTime, QStringLiteral("1e9"));
    type(window->TextPort, QStringLiteral("99999"));
    type(window->TextAPNRetry, QStringLiteral("3"));
    window->CheckHabilGPRS->setChecked(true);
    window->CheckMantener->setChecked(true);
    for (QLineEdit *box : {window->TextConTimeOut, window->TextTimeout, window->TextFTPRetry,
                           window->TextAPNRetryTime, window->TextPort})
        EXPECT_TRUE(red(box)) << box->objectName().toStdString();
    EXPECT_FALSE(red(window->TextAPNRetry));

    window->StoreControls();
    const GprsConfig &gprs = store.Gprs;
    EXPECT_EQ(gprs.ApnServer, "m2mapn");
    EXPECT_EQ(gprs.FtpUser, QString(254, QLatin1Char('u')));
    // Refused boxes store nothing: the defaults stay.
    EXPECT_EQ(gprs.ApnTimeout, 120);
    EXPECT_EQ(gprs.ServerTimeout, 300);
    EXPECT_EQ(gprs.FtpRetries, 10);
    EXPECT_EQ(gprs.ApnRetryTime, 60);
    EXPECT_EQ(gprs.ServerPort, 0);
    EXPECT_EQ(gprs.ApnRetries, 3);
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
