// The GPRS section's core: upload lines by capability, the unit's line, file keys.
#include <gtest/gtest.h>

#include "files/inidocument.h"
#include "files/sectionregistry.h"
#include "link/devicevalues.h"
#include "model/configstore.h"
#include "model/texthelpers.h"
#include "sections/gprs/gprscore.h"
#include "sections/gprs/iptext.h"
#include "sections/sectionlist.h"

namespace {

const GprsCore core;
constexpr quint32 kBoth = Feature::GprsSettings | Feature::FtpSettings;

ConfigStore cleared()
{
    ConfigStore store;
    core.clear(store);
    return store;
}

ConfigStore filled()
{
    ConfigStore store = cleared();
    store.Gprs = {"apn.net", "pw", "us", 5, 30, 90, true, "1.2.3.4", 123456, 32767, true,
                  "ftp.example", "/d", "fu", "fp", -1, 40};
    return store;
}

void feed(ConfigStore &store, const QString &line)
{
    DownloadState state;
    core.parseLine(store, state, LineField(line, 1), QStringLiteral("#BD007") + line, 0);
}

QStringList fileLines(const IniDocument &doc)
{
    return QString::fromLatin1(doc.serialize()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

TEST(GprsCore, UploadFollowsTheCapabilityFlags)
{
    const struct {
        quint32 features;
        int lines;
    } cases[] = {{0, 0}, {Feature::GprsSettings, 11}, {Feature::FtpSettings, 0}, {kBoth, 17}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.features);
        const QStringList lines = core.uploadLines(filled(), UploadContext{c.features});
        EXPECT_EQ(lines.size(), c.lines);
        if (c.lines == 11)
            EXPECT_EQ(lines.last(), "GPRSEN");
    }
}

TEST(GprsCore, UploadOfTheDefaultsAndOfEverySetting)
{
    EXPECT_EQ(core.uploadLines(cleared(), UploadContext{kBoth}),
              QStringList({"APNSERVER=", "APNPASS=", "APNUSER=", "APNRETRIES= 10", "APNRETRYTIME= 60",
                           "APNTIMEOUT= 120", "APNALCON=0", "SERVERIP=0", "SERVERPORT= 0",
                           "SERVERTIMEOUT= 300", "GPRSDIS", "FTPIP=0", "FTPPATH=", "FTPUSER=",
                           "FTPPASS=", "FTPRETRIES= 10", "FTPRETRYTIME= 60"}));
    // The password goes before the user; negative numbers are sent as they are.
    EXPECT_EQ(core.uploadLines(filled(), UploadContext{kBoth}),
              QStringList({"APNSERVER=apn.net", "APNPASS=pw", "APNUSER=us", "APNRETRIES= 5",
                           "APNRETRYTIME= 30", "APNTIMEOUT= 90", "APNALCON=1", "SERVERIP=1.2.3.4",
                           "SERVERPORT= 123456", "SERVERTIMEOUT= 32767", "GPRSEN", "FTPIP=ftp.example",
                           "FTPPATH=/d", "FTPUSER=fu", "FTPPASS=fp", "FTPRETRIES=-1", "FTPRETRYTIME= 40"}));
}

TEST(GprsCore, SectionLinesAreTheLastOfTheUpload)
{
    SectionRegistry sections;
    registerSections(sections);
    const ConfigStore store = filled();
    const UploadContext unit{kBoth | Feature::RetrySettings};
    const QStringList all = sections.uploadLines(store, unit);
    const QStringList own = core.uploadLines(store, unit);
    ASSERT_GT(all.size(), own.size());
    EXPECT_EQ(all.mid(all.size() - own.size()), own);
}

TEST(GprsCore, DownloadLine)
{
    const QString full = QStringLiteral("GPRS,apn,pw,us,5,30,90,2,1.2.3.4,8080,200,1,5.6.7.8,/d,fu,fp,3,40");
    ConfigStore store = cleared();
    feed(store, full);
    EXPECT_EQ(store.Gprs, (GprsConfig{"apn", "pw", "us", 5, 30, 90, true, "1.2.3.4", 8080, 200, true,
                                      "5.6.7.8", "/d", "fu", "fp", 3, 40}));

    struct Case {
        const char *what;
        QString line;
        GprsConfig expected;
    };
    GprsConfig disabled = store.Gprs;
    disabled.GprsEnabled = false;
    // One value that does not fit keeps Clear's 300; the others are read.
    GprsConfig oversized = store.Gprs;
    oversized.ApnServer = QStringLiteral("apn2");
    oversized.ServerTimeout = 300;
    const GprsConfig cut{"apn", "pw", "us", 5, 30, 90, true, "1.2.3.4", 8080, 200, true, "", "", "", "",
                         0, 0};
    const Case cases[] = {
        {"zero in field 12", QString(full).replace(",200,1,", ",200,0,"), disabled},
        {"40000 in field 11", QString(full).replace("GPRS,apn,", "GPRS,apn2,").replace(",200,", ",40000,"),
         oversized},
        {"cut after field 12", full.left(full.indexOf(",5.6.7.8")), cut},
        {"extra fields", full + QStringLiteral(",99,x"), store.Gprs},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ConfigStore copy = cleared();
        feed(copy, c.line);
        EXPECT_EQ(copy.Gprs, c.expected);
    }
}

TEST(GprsCore, UnitLineDownloadsBackToTheSameSettings)
{
    const ConfigStore source = filled();
    const QStringList lines = core.downloadLines(source, 0);
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines.first(),
              "GPRS,apn.net,pw,us,5,30,90,1,1.2.3.4,123456,32767,1,ftp.example,/d,fu,fp,-1,40");
    ConfigStore copy = cleared();
    feed(copy, lines.first());
    EXPECT_EQ(copy.Gprs, source.Gprs);
}

TEST(GprsCore, FileKeysInOrderAndRoundTrip)
{
    IniDocument doc;
    core.save(filled(), doc);
    EXPECT_EQ(fileLines(doc),
              QStringList({"[GPRS]", "APN_SERVER=apn.net", "APN_PASS=pw", "APN_USER=us", "APN_RETRIES= 5",
                           "APN_RETIME= 30", "APN_TIMEOUT= 90", "ALWAYS_CON=True", "SERVER_IP=1.2.3.4",
                           "SERVER_PORT= 123456", "SERVER_TIMEOUT= 32767", "ENABLED=True",
                           "FTP_IP=ftp.example", "FTP_PATH=/d", "FTP_USER=fu", "FTP_PASS=fp",
                           "FTP_RETRIES=-1", "FTP_RETIME= 40"}));

    for (const ConfigStore &source : {filled(), cleared()}) {
        IniDocument first;
        core.save(source, first);
        ConfigStore restored = filled();
        restored.Gprs.ApnUser = QStringLiteral("stale");
        core.restore(restored, first);
        EXPECT_EQ(restored.Gprs, source.Gprs);
        IniDocument second;
        core.save(restored, second);
        EXPECT_EQ(second.serialize(), first.serialize());
    }
}

TEST(GprsCore, RestoreOfMissingAndUnfittingValues)
{
    ConfigStore store = filled();
    core.restore(store, IniDocument{});
    EXPECT_EQ(store.Gprs, GprsConfig{}); // zeros, empty texts (both addresses too), switches off

    IniDocument doc;
    doc.parse("[GPRS]\r\nAPN_RETRIES= 40000\r\nSERVER_PORT= 99999999999\r\nFTP_RETIME=abc\r\n"
              "SERVER_IP=0\r\nENABLED=true\r\n");
    core.restore(store, doc);
    EXPECT_EQ(store.Gprs.ApnRetries, 10);
    EXPECT_EQ(store.Gprs.ServerPort, 0);
    EXPECT_EQ(store.Gprs.FtpRetryTime, 0); // "abc" reads as 0, as typed text does
    EXPECT_EQ(store.Gprs.ServerIp, "0");
    EXPECT_FALSE(store.Gprs.GprsEnabled); // only "True" is on
    EXPECT_EQ(store.Gprs.ApnTimeout, 0);
}

TEST(IpText, DottedAddresses)
{
    for (const char *address : {"0.0.0.0", "1.2.3.4", "255.255.255.255", "010.20.3.40"})
        EXPECT_TRUE(IsDottedAddress(QString::fromLatin1(address))) << address;
    for (const char *text : {"", "0", "1.2.3", "1.2.3.4.5", "256.1.1.1", "1..2.3", "1.2.3.4 ",
                             "a.b.c.d", "-1.2.3.4", "1234.1.1.1", "host.example.net"})
        EXPECT_FALSE(IsDottedAddress(QString::fromLatin1(text))) << text;
}

} // namespace
