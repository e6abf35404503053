// The four-byte address entry: what it shows of a stored text, the text it
// gives back and when a store-back writes it.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QSignalSpy>
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

// Typed as an operator does, into whichever value has the cursor: a keystroke
// the address cannot take is refused with a reason, never cut into another address.
TEST(AddressBox, RefusesWhatNoAddressHoldsAsItIsTyped)
{
    const struct {
        const char *typed;
        const char *text;
        int refusals;
    } cases[] = {
        {"300", "30.0.0.0", 1},
        {"256", "25.0.0.0", 1},
        {"2555", "255.5.0.0", 0}, // three digits move on to the next value
        {"1.2.3.4.5", "1.2.3.45", 1},
        {"10.0.0.1", "10.0.0.1", 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed);
        AddressBox box(nullptr, AddressBox::Digits::Plain, AddressBox::Other::AsItStands);
        box.show(); // empty values, as a new server address
        QSignalSpy refused(&box, &AddressBox::typingRefused);
        box.setFocus();
        for (const QChar ch : QString::fromLatin1(c.typed))
            QTest::keyClicks(box.focusWidget(), QString(ch));
        EXPECT_EQ(box.text(), QString::fromLatin1(c.text));
        EXPECT_EQ(refused.size(), c.refusals);
        if (!refused.isEmpty())
            EXPECT_FALSE(refused.first().first().toString().isEmpty());
    }
}

} // namespace
