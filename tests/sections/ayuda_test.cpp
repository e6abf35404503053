// The pulse-equivalence calculator dialog.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "files/langtable.h"
#include "sections/flow/ayuda.h"

namespace {

class AyudaDialog : public ::testing::Test {
protected:
    AyudaDialog() { setLang(&lang); }
    ~AyudaDialog() override { setLang(nullptr); }

    QString calculate(const char *pulses, int volume, const char *timeBase, int unit)
    {
        dialog.TextPulsos->setText(pulses);
        dialog.ComboPulso->setCurrentIndex(volume);
        dialog.TextTimeBase->setText(timeBase);
        dialog.ComboEq->setCurrentIndex(unit);
        dialog.CalcButton->click();
        return dialog.TextEqUn->text();
    }

    LangTable lang{QStringLiteral("no-such-folder/Lang.txt")};
    Ayuda dialog;
};

TEST_F(AyudaDialog, OpensOnTheFirstItemsWithoutBlocking)
{
    EXPECT_EQ(dialog.ComboPulso->currentText(), "Litros");
    EXPECT_EQ(dialog.ComboEq->currentText(), "Litros / segundo");
    EXPECT_FALSE(dialog.isModal());
    EXPECT_FALSE(dialog.windowIcon().isNull());
    dialog.show();
    dialog.CancelButton->click();
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(AyudaDialog, ShowsTheEquivalenceAndKeepsItWhenThereIsNone)
{
    EXPECT_EQ(calculate("10", 0, "60", 1), " .6");
    EXPECT_EQ(calculate("1", 1, "1", 0), " 1000");
    for (const char *timeBase : {"0", "40000"})
        EXPECT_EQ(calculate("10", 0, timeBase, 0), " 1000") << timeBase;
    EXPECT_EQ(calculate("1E39", 0, "60", 0), " 1000");
    EXPECT_EQ(calculate("1,5", 0, "60", 0), " 1000");
    EXPECT_EQ(dialog.TextPulsos->palette().color(QPalette::Base), QColor(255, 0, 0));
}

} // namespace
