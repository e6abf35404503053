#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>
#include <ostream>

#include "files/configcompare.h"
#include "files/configfile.h"
#include "files/inidocument.h"
#include "files/sectionregistry.h"
#include "model/configstore.h"
#include "sections/sectionlist.h"

namespace {

using Side = ConfigDifference::Side;

} // namespace

void PrintTo(const ConfigDifference &d, std::ostream *os)
{
    const QString fields = QStringList{d.section, d.item, d.key, d.left, d.right}.join(u'|');
    *os << fields.toStdString() << '|' << int(d.side);
}

namespace {

struct ConfigCompareTest : ::testing::Test {
    ConfigCompareTest()
    {
        registerSections(registry);
        registry.clearAll(*left);
        left->Flow[1].Ratio = 0.5f;
        left->Flow[2].Name = QStringLiteral("Tank 3");
    }

    // The left model through a file and back into a model of its own;
    // edit changes the file in between.
    std::unique_ptr<ConfigStore> throughFile(void (*edit)(IniDocument &) = nullptr)
    {
        const QString path = dir.filePath(QStringLiteral("a.qcf"));
        EXPECT_TRUE(saveConfigFile(path, *left, registry));
        if (edit) {
            IniDocument doc;
            EXPECT_TRUE(doc.load(path));
            edit(doc);
            EXPECT_TRUE(doc.save(path));
        }
        auto restored = std::make_unique<ConfigStore>();
        EXPECT_EQ(restoreConfigFile(path, *restored, registry), RestoreResult::Restored);
        return restored;
    }

    QTemporaryDir dir;
    SectionRegistry registry;
    std::unique_ptr<ConfigStore> left = std::make_unique<ConfigStore>();
};

TEST_F(ConfigCompareTest, ModelsEqualAfterTheFileRoundTripAndValuesThatReadAlike)
{
    EXPECT_TRUE(compareConfigurations(*left, *throughFile(), registry).isEmpty());
    // Written by another hand: the value reads as the number the save writes as ".5".
    const auto spaced = throughFile([](IniDocument &doc) {
        ASSERT_TRUE(doc.hasKey("CAUDAL 1", "RATIO"));
        doc.writeValue("CAUDAL 1", "RATIO", "0.50");
    });
    EXPECT_TRUE(compareConfigurations(*left, *spaced, registry).isEmpty());
}

TEST_F(ConfigCompareTest, OneChangedValueIsOneDifference)
{
    auto right = throughFile();
    right->Flow[1].Ratio = 2.5f;
    const QList<ConfigDifference> expected{{"Caudal", "CAUDAL 1", "RATIO", ".5", "2.5", Side::Both}};
    EXPECT_EQ(compareConfigurations(*left, *right, registry), expected);
}

// What one side holds and the other does not, over the documents a section writes.
TEST(CompareDocuments, OneSidedKeysAndItemsAreListedOnceInFileOrder)
{
    struct Case {
        const char *name;
        QByteArray left;
        QByteArray right;
        QList<ConfigDifference> expected;
    };
    const QList<Case> cases{
        {"same keys, other case and spacing", "[A]\r\nK=1\r\n", "[a]\r\nk = 1\r\n", {}},
        {"key only on the left",
         "[A]\r\nK=1\r\nL=2\r\n",
         "[A]\r\nK=1\r\n",
         {{"S", "A", "L", "2", "", Side::LeftOnly}}},
        {"key only on the right, after the changed ones",
         "[A]\r\nK=1\r\n",
         "[A]\r\nM=3\r\nK=2\r\n",
         {{"S", "A", "K", "1", "2", Side::Both}, {"S", "A", "M", "", "3", Side::RightOnly}}},
        {"a whole item on one side is one row",
         "[A]\r\nK=1\r\n[B]\r\nX=1\r\nY=2\r\n",
         "[A]\r\nK=1\r\n[C]\r\nZ=1\r\n",
         {{"S", "B", "", "2 keys", "", Side::LeftOnly}, {"S", "C", "", "", "1 key", Side::RightOnly}}},
    };
    for (const Case &c : cases) {
        IniDocument left;
        IniDocument right;
        left.parse(c.left);
        right.parse(c.right);
        QList<ConfigDifference> found;
        compareDocuments(QStringLiteral("S"), left, right, found);
        EXPECT_EQ(found, c.expected) << c.name;
    }
}

} // namespace
