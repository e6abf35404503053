#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>

#include "files/sectionregistry.h"
#include "files/uploadcompare.h"
#include "link/devicevalues.h"
#include "model/configstore.h"
#include "sections/sectionlist.h"

void PrintTo(const ConfigDifference &d, std::ostream *os)
{
    const QString fields = QStringList{d.section, d.item, d.key, d.left, d.right}.join(u'|');
    *os << fields.toStdString() << '|' << int(d.side);
}

namespace {

using Side = ConfigDifference::Side;

constexpr quint32 kFeatures = Feature::RetrySettings | Feature::MathChannels | Feature::ExtendedPhoneMask;

void addPhone(ConfigStore &store, int slot, const QString &number, int priority)
{
    AuthorisedPhone &phone = store.General.Phones[slot];
    phone.Number = number;
    phone.Priority = priority;
}

struct UploadCompareCase {
    const char *name;
    quint32 features;
    std::function<void(ConfigStore &)> change; // what the unit holds differently
    QList<ConfigDifference> expected;
};

TEST(CompareUploads, ListsEachDifferingLineUnderItsSectionAndKey)
{
    SectionRegistry registry;
    registerSections(registry);
    auto sent = std::make_unique<ConfigStore>();
    registry.clearAll(*sent);
    sent->General.ResendCount = 3;
    addPhone(*sent, 0, QStringLiteral("+34600111222"), 1);
    addPhone(*sent, 1, QStringLiteral("+34600333444"), 2);
    sent->Math[1].Interface = MathChannel::kDisabled;

    const QString general = QStringLiteral("General");
    const UploadCompareCase cases[] = {
        {"equal", kFeatures, [](ConfigStore &) {}, {}},
        {"one value", kFeatures, [](ConfigStore &s) { s.General.ResendCount = 9; },
         {{general, general, "RETRYMAX", "RETRYMAX= 3", "RETRYMAX= 9", Side::Both}}},
        // "+TLF" repeats, so each phone's line goes by its number.
        {"a phone's field", kFeatures, [](ConfigStore &s) { s.General.Phones[1].Priority = 5; },
         {{general, general, "TLF=+34600333444", "+TLF=+34600333444,Prio=2,PRV0,MASKMODE0",
           "+TLF=+34600333444,Prio=5,PRV0,MASKMODE0", Side::Both}}},
        {"a line on one side", kFeatures,
         [](ConfigStore &s) {
             s.General.Phones[1].Number.clear();
             addPhone(s, 2, QStringLiteral("+34600555666"), 1);
         },
         {{general, general, "TLF=+34600333444", "+TLF=+34600333444,Prio=2,PRV0,MASKMODE0", {}, Side::LeftOnly},
          {general, general, "TLF=+34600555666", {}, "+TLF=+34600555666,Prio=1,PRV0,MASKMODE0",
           Side::RightOnly}}},
        // Neither a unit without the retry settings nor a disabled math
        // channel is sent these fields, so they cannot differ.
        {"gated off", kFeatures & ~Feature::RetrySettings, [](ConfigStore &s) { s.General.ResendCount = 9; }, {}},
        {"disabled slot", kFeatures, [](ConfigStore &s) { s.Math[1].Equation = QStringLiteral("C0*2"); }, {}},
        {"math gated off", kFeatures & ~Feature::MathChannels,
         [](ConfigStore &s) { s.Math[0].Equation = QStringLiteral("C0*2"); }, {}},
    };
    for (const UploadCompareCase &c : cases) {
        auto held = std::make_unique<ConfigStore>(*sent);
        c.change(*held);
        const UploadContext context{c.features};
        EXPECT_EQ(compareUploads(*sent, *held, registry, context), c.expected) << c.name;
    }
}

// A slot enabled on one side meets its disabling line on the other, told
// apart from the channel's other slots by its index.
TEST(CompareUploads, AnAlarmSlotOffOnTheUnitIsOneRow)
{
    SectionRegistry registry;
    registerSections(registry);
    auto sent = std::make_unique<ConfigStore>();
    registry.clearAll(*sent);
    sent->Digital[0].Alarms[1].Enabled = true;
    sent->Digital[0].Alarms[1].Text = QStringLiteral("Door");
    auto held = std::make_unique<ConfigStore>(*sent);
    held->Digital[0].Alarms[1].Enabled = false;

    const QList<ConfigDifference> rows = compareUploads(*sent, *held, registry, UploadContext{kFeatures});
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].section, QStringLiteral("E_Digital"));
    EXPECT_EQ(rows[0].key, QStringLiteral("ALMD0,INDEX= 1"));
    EXPECT_TRUE(rows[0].left.startsWith(QStringLiteral("+ALMD0=Door,INDEX= 1,"))) << rows[0].left.toStdString();
    EXPECT_EQ(rows[0].right, QStringLiteral("-ALMD0,INDEX= 1"));
    EXPECT_EQ(rows[0].side, Side::Both);
}

} // namespace
