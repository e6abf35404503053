// The four-byte address entry: what it shows of a stored text, the text it
// gives back and when a store-back writes it.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>

#include "widgets/addressbox.h"

namespace {

TEST(AddressBox, ShowsFourBytesAndAnythingElseAsZeros)
{
    const struct {
        const char *stored;
        const char *shown;
    } cases[] = {
        {"040.170.187.204", "040.170.187.204"},
        {"40.1.2.0", "040.001.002.000"},
        {"255.255.255.255", "255.255.255.255"},
        {"0", "000.000.000.000"},
        {"", "000.000.000.000"},
        {"256.1.1.1", "000.000.000.000"},
        {"1.2.3", "000.000.000.000"},
        {"1.2.3.4.5", "000.000.000.000"},
        {"1.2.3.x", "000.000.000.000"},
        {" 1.2.3.4", "000.000.000.000"},
        {"1.-2.3.4", "000.000.000.000"},
    };
    AddressBox box;
    for (const auto &c : cases) {
        box.showAddress(QString::fromLatin1(c.stored));
        EXPECT_EQ(box.text(), QString::fromLatin1(c.shown)) << c.stored;
    }
}

TEST(AddressBox, PlainDigitsDropLeadingZeros)
{
    AddressBox box(nullptr, AddressBox::Digits::Plain);
    box.showAddress(QStringLiteral("192.168.001.010"));
    EXPECT_EQ(box.text(), QStringLiteral("192.168.1.10"));
}

TEST(AddressBox, StoresBackOnlyWhatWasTypedOrSet)
{
    AddressBox box;
    QString field = QStringLiteral("0");
    box.showAddress(field);
    box.storeIfEdited(field);
    EXPECT_EQ(field, QStringLiteral("0")) << "an untouched box keeps the stored text";

    // Zeroing a box that already shows zeros is still the operator's choice.
    box.setBytes({0, 0, 0, 0});
    box.storeIfEdited(field);
    EXPECT_EQ(field, QStringLiteral("000.000.000.000"));

    field = QStringLiteral("40.170.187.204");
    box.showAddress(field);
    auto *third = box.findChild<QLineEdit *>(QStringLiteral("byte2"));
    ASSERT_NE(third, nullptr);
    third->selectAll();
    QTest::keyClicks(third, QStringLiteral("9"));
    box.storeIfEdited(field);
    EXPECT_EQ(field, QStringLiteral("040.170.009.204"));

    box.showAddress(field);
    EXPECT_FALSE(box.edited()) << "showing a text starts a fresh edit";
}

TEST(AddressBox, RefusesValuesAboveAByte)
{
    AddressBox box;
    auto *first = box.findChild<QLineEdit *>(QStringLiteral("byte0"));
    ASSERT_NE(first, nullptr);
    first->selectAll();
    QTest::keyClicks(first, QStringLiteral("300"));
    EXPECT_EQ(box.bytes()[0], 30);
    first->clear();
    EXPECT_EQ(box.text(), QStringLiteral("000.000.000.000")) << "an emptied value counts as 0";
}

} // namespace
