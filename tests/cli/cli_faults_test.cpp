// Every fault velkan-sim injects, with each velkan-cli command it affects. A
// row ends in the documented exit status; a file the command writes is whole
// when the link's retries overcame the fault, and otherwise absent, or as it
// was when it existed before. Each row is a test of its own, so that ctest
// runs them side by side.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <memory>

#include "../support/hextext.h"
#include "../support/pseudoterminal.h"
#include "clirun.h"
#include "files/configfile.h"
#include "files/sectionregistry.h"
#include "link/devicevalues.h"
#include "link/simulatedunit.h"
#include "model/configstore.h"
#include "model/product.h"
#include "sections/sectionlist.h"
#include "sim/configstream.h"
#include "sim/unitstate.h"

namespace {

constexpr quint32 kFeatures = Feature::RetrySettings | Feature::MathChannels | Feature::WideChannelMask
                              | Feature::FastLineAck | Feature::ExtendedPhoneMask | Feature::MissedCallMacro;

// What the command writes: nothing, a whole configuration, or the voice-call
// list into a configuration file.
enum class Output { None, Config, VoiceList };

struct FaultCase {
    const char *name;
    QStringList sim;     // velkan-sim's fault options
    QStringList command; // FILE, IMAGE and LOADER stand for the row's files
    int status;
    Output output = Output::None;
    bool fileExisted = false; // FILE held an earlier configuration
};

// Rows are named by their name alone in test output.
void PrintTo(const FaultCase &c, std::ostream *os)
{
    *os << c.name;
}

const QString kFile = QStringLiteral("FILE");

const FaultCase kCases[] = {
    // Identity, read by every connection.
    {"info_corrupt_once", {"--corrupt", "44"}, {"info"}, 0},
    {"info_corrupt_always", {"--corrupt", "44:all"}, {"info"}, 1},
    {"info_dropped", {"--drop", "44:all"}, {"info"}, 1},
    {"info_noise", {"--noise"}, {"info"}, 0},
    {"info_slow", {"--slow", "50"}, {"info"}, 0},
    {"info_slower_than_the_timeout", {"--slow", "1000"}, {"info"}, 1},
    {"info_silent_after_connecting", {"--silent-after", "1"}, {"info"}, 1},
    {"info_modem_busy", {"--modem", "--key", "1234", "--dial-result", "BUSY"},
     {"--modem", "600123456", "--key", "1234", "info"}, 1},
    // Download.
    {"read_corrupt_once", {"--corrupt", "42"}, {"read-config", kFile}, 0, Output::Config},
    {"read_corrupt_always", {"--corrupt", "42:all"}, {"read-config", kFile}, 1, Output::Config},
    {"read_dropped_once", {"--drop", "42"}, {"read-config", kFile}, 0, Output::Config, true},
    {"read_dropped_always", {"--drop", "42:all"}, {"read-config", kFile}, 1, Output::Config, true},
    {"read_skipped_line_once", {"--skip-seq", "1"}, {"read-config", kFile}, 0, Output::Config},
    {"read_skipped_line_always", {"--skip-seq", "3"}, {"read-config", kFile}, 1, Output::Config, true},
    {"read_noise", {"--noise"}, {"read-config", kFile}, 0, Output::Config},
    {"read_slow", {"--slow", "50"}, {"read-config", kFile}, 0, Output::Config},
    {"read_silent", {"--silent-after", "2"}, {"read-config", kFile}, 1, Output::Config, true},
    // Upload.
    {"write_refused_once", {"--refuse-line", "5"}, {"write-config", kFile}, 0},
    {"write_refused_always", {"--refuse-line", "5", "--refuse-attempts", "3"}, {"write-config", kFile}, 1},
    {"write_closing_withheld_once", {"--withhold-b91", "1"}, {"write-config", kFile}, 0},
    {"write_closing_withheld_always", {"--withhold-b91", "3"}, {"write-config", kFile}, 1},
    {"write_noise", {"--noise"}, {"write-config", kFile}, 0},
    {"write_silent_midway", {"--silent-after", "20"}, {"write-config", kFile}, 1},
    // Voice-call list.
    {"voice_read_bad_crc_once", {"--bad-crc-once"}, {"voice-list", "read", kFile}, 0, Output::VoiceList, true},
    {"voice_read_crc_corrupt", {"--corrupt", "4E:all"}, {"voice-list", "read", kFile}, 1, Output::VoiceList, true},
    {"voice_read_dropped", {"--drop", "4F:all"}, {"voice-list", "read", kFile}, 1, Output::VoiceList},
    {"voice_read_noise", {"--noise"}, {"voice-list", "read", kFile}, 0, Output::VoiceList},
    {"voice_read_silent_before_crc", {"--silent-after", "3"}, {"voice-list", "read", kFile}, 1,
     Output::VoiceList, true},
    {"voice_write_bad_crc_once", {"--bad-crc-once"}, {"voice-list", "write", kFile}, 0},
    {"voice_write_crc_corrupt", {"--corrupt", "4E:all"}, {"voice-list", "write", kFile}, 1},
    {"voice_write_refused_always", {"--refuse-line", "0", "--refuse-attempts", "3"},
     {"voice-list", "write", kFile}, 1},
    {"voice_write_closing_withheld_always", {"--withhold-b91", "3"}, {"voice-list", "write", kFile}, 1},
    // Live values and switches.
    {"live_noise", {"--noise"}, {"live", "--count", "2", "--interval", "0"}, 0},
    {"live_states_dropped", {"--drop", "23:all"}, {"live", "--count", "1"}, 1},
    {"live_states_corrupt", {"--corrupt", "23:all"}, {"live", "--count", "1"}, 1},
    {"live_silent", {"--silent-after", "2"}, {"live", "--count", "1"}, 1},
    {"output_stuck", {"--stuck-outputs"}, {"output", "2", "on"}, 1},
    {"output_states_dropped", {"--drop", "23:all"}, {"output", "2", "on"}, 1},
    {"counter_unanswered", {"--drop", "41:all"}, {"counter", "3", "100"}, 1},
    {"clock_unanswered", {"--drop", "5C:all"}, {"set-clock"}, 1},
    // Firmware.
    {"firmware_dots_stop", {"--dots-stop", "600"}, {"firmware", "IMAGE", "LOADER"}, 1},
    {"firmware_erase_unconfirmed", {"--drop", "F0:all"}, {"firmware", "IMAGE", "LOADER"}, 1},
};

class CliFaults : public ::testing::TestWithParam<FaultCase> {
protected:
    void SetUp() override
    {
        if (!pseudoTerminalsWork())
            GTEST_SKIP() << "pseudo-terminals are not available";
        ASSERT_TRUE(dir.isValid());
        registerSections(sections);
    }

    QString path(const QString &name) const { return dir.filePath(name); }

    void write(const QString &name, const QByteArray &bytes)
    {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QByteArray read(const QString &name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // The unit's configuration as velkan-sim streams it, saved over `base`
    // (a missing file: a new one) as a whole download saves it.
    QByteArray downloadSavedOver(const QByteArray &base)
    {
        auto store = std::make_unique<ConfigStore>();
        sections.clearAll(*store);
        DownloadState state;
        const QStringList lines = ConfigStream::asHeld(ConfigStream::defaults(kFeatures), kFeatures);
        for (int i = 0; i < lines.size(); ++i)
            sections.readStreamLine(*store, state, QStringLiteral("#BD%1").arg(i, 3, 10, QLatin1Char('0')) + lines[i],
                                    kFeatures);
        const QString name = QStringLiteral("expected.qcf");
        if (!base.isEmpty())
            write(name, base);
        // read-config records the unit the configuration came from.
        SaveTarget target;
        target.sourceSerial = UnitState::defaults().serialNumber;
        EXPECT_TRUE(saveConfigFile(path(name), *store, sections, nullptr, target));
        const QByteArray bytes = read(name);
        QFile::remove(path(name));
        return bytes;
    }

    QTemporaryDir dir;
    SectionRegistry sections;
};

TEST_P(CliFaults, EndsWithItsStatusAndLeavesNoPartialFile)
{
    const FaultCase &c = GetParam();
    const QString file = QStringLiteral("unit.qcf");
    const QByteArray earlier = "[General]\r\nVERSION=" + Product::ProductKey.toLatin1()
                               + "\r\nNOMBRE=Earlier\r\n[AUT_VOZ]\r\nMACRO= 3\r\nTEL 0=600999999\r\n";
    const bool writesFile = c.output != Output::None;
    const bool upload = c.command.contains(QLatin1String("write-config")) || c.command.contains(QLatin1String("write"));
    if (c.command.contains(kFile) && (!writesFile || c.fileExisted))
        write(file, c.command.contains(QLatin1String("write-config")) ? downloadSavedOver({}) : earlier);
    // The unit's dots are checked once the first 8 KB of the image have gone out.
    write(QStringLiteral("image.hex"), hexText(8400, 'A'));
    write(QStringLiteral("CopyFlash.hex"), hexText(600, 'L'));
    const QStringList before = QDir(dir.path()).entryList(QDir::Files);

    SimulatedUnit sim;
    sim.setProgram(QStringLiteral(VELKAN_SIM));
    sim.setArguments(c.sim + QStringList{QStringLiteral("--features"), QString::number(kFeatures),
                                         QStringLiteral("--erase-delay"), QStringLiteral("50"),
                                         QStringLiteral("--log"), path(QStringLiteral("log.json"))});
    ASSERT_TRUE(sim.start()) << qPrintable(sim.errorString());

    QStringList command = c.command;
    command.replaceInStrings(QRegularExpression(QStringLiteral("^FILE$")), path(file));
    command.replaceInStrings(QRegularExpression(QStringLiteral("^IMAGE$")), path(QStringLiteral("image.hex")));
    command.replaceInStrings(QRegularExpression(QStringLiteral("^LOADER$")), path(QStringLiteral("CopyFlash.hex")));
    // A failing row waits out a short time-out; a recovering one is given room.
    const CliRun run = runCli(QStringList{QStringLiteral("--port"), sim.devicePath(), QStringLiteral("--fast-link"),
                                          QStringLiteral("--timeout"),
                                          c.status == 0 ? QStringLiteral("1500") : QStringLiteral("200")}
                              + command,
                              path(QStringLiteral("data")));
    sim.stop();
    EXPECT_EQ(run.status, c.status) << qPrintable(run.err);

    QStringList after = QDir(dir.path()).entryList(QDir::Files);
    after.removeAll(QStringLiteral("log.json"));
    if (writesFile && !c.fileExisted && run.status == 0)
        after.removeAll(file);
    EXPECT_EQ(after.join(u' '), before.join(u' ')) << "files left or lost";

    const QJsonObject log = QJsonDocument::fromJson(read(QStringLiteral("log.json"))).object();
    if (c.status != 0) {
        if (writesFile && c.fileExisted)
            EXPECT_EQ(read(file), earlier);
    } else if (c.output == Output::Config) {
        EXPECT_EQ(read(file), downloadSavedOver(c.fileExisted ? earlier : QByteArray()));
    } else if (c.output == Output::VoiceList) {
        auto store = std::make_unique<ConfigStore>();
        sections.clearAll(*store);
        ASSERT_EQ(restoreConfigFile(path(file), *store, sections), RestoreResult::Restored);
        const QStringList numbers = UnitState::defaults().voiceList;
        for (int i = 0; i <= numbers.size(); ++i)
            EXPECT_EQ(store->VoiceList.Numbers[i], numbers.value(i)) << "slot " << i;
    } else if (upload) {
        const QJsonArray writes =
            log[QLatin1String(c.command.contains(QLatin1String("voice-list")) ? "voiceWrites" : "uploads")].toArray();
        ASSERT_FALSE(writes.isEmpty());
        EXPECT_TRUE(writes.last()[QLatin1String("matched")].toBool());
    } else {
        EXPECT_FALSE(run.out.isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, CliFaults, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<FaultCase> &info) { return std::string(info.param.name); });

} // namespace
