// The four-byte address entry: what it shows of a stored text, the text it
// gives back and when a store-back writes it.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include "widgets/addressbox.h"
#include "widgets/numberbox.h"

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

QStringList fieldTexts(const AddressBox &box)
{
    QStringList texts;
    for (int i = 0; i < 4; ++i)
        texts << box.findChild<QLineEdit *>(QStringLiteral("byte%1").arg(i))->text();
    return texts;
}

// Typed as an operator does, into whichever value has the cursor: every
// keystroke stays where it was typed. A value no address holds turns the box
// red with the reason; then nothing is stored, and the window's faults (which
// stop the save, the upload and leaving it) name the box.
TEST(AddressBox, KeepsWhatWasTypedAndShowsRedWhatNoAddressHolds)
{
    const struct {
        const char *shown;  // the stored text shown first
        int from;           // the value typed into, the cursor at its end
        const char *typed;
        const char *fields; // the four values after, joined by "|"
        bool red;
    } cases[] = {
        {"", 0, "300", "300|||", true},
        {"", 0, "256", "256|||", true},
        {"", 0, "999", "999|||", true},
        {"", 0, "1.2.3.4.5", "1|2|3|4.5", true},       // a fifth value
        {"192.168.1.10", 0, "9", "1929|168|1|10", true}, // a fourth digit
        {"", 0, "2555", "255|5||", false},              // three digits move on
        {"", 0, "10.0.0.1", "10|0|0|1", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed);
        QWidget window;
        auto *box = new AddressBox(&window, AddressBox::Digits::Plain, AddressBox::Other::AsItStands);
        box->setCaption(QStringLiteral("Direccion IP del servidor:"));
        window.show();
        QString stored = QString::fromLatin1(c.shown);
        box->showAddress(stored);
        auto *first = box->findChild<QLineEdit *>(QStringLiteral("byte%1").arg(c.from));
        first->setFocus();
        first->end(false);
        for (const QChar ch : QString::fromLatin1(c.typed))
            QTest::keyClicks(window.focusWidget(), QString(ch));
        EXPECT_EQ(fieldTexts(*box).join(u'|'), QString::fromLatin1(c.fields));
        EXPECT_EQ(!box->fault().isEmpty(), c.red);
        const QList<BoxFault> faults = numberBoxFaults(&window);
        ASSERT_EQ(faults.size(), c.red ? 1 : 0);
        box->storeIfEdited(stored);
        if (c.red) {
            EXPECT_EQ(stored, QString::fromLatin1(c.shown)) << "nothing stored";
            EXPECT_EQ(faults.first().field, QStringLiteral("Direccion IP del servidor"));
            EXPECT_EQ(faults.first().reason, QStringLiteral("Cuatro valores de 0 a 255 separados por puntos"));
        } else {
            EXPECT_EQ(stored, box->text());
        }
    }
}

} // namespace
