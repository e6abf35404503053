// Checks the section parsers share for download lines.
#include <gtest/gtest.h>

#include "sections/common/downloadline.h"

namespace {

TEST(ItemIndex, AcceptsOnlyWholeNumbersInsideTheTable)
{
    const struct {
        const char *line;
        std::optional<int> index;
    } cases[] = {
        {"#BD004DIGITAL,0,x", 0},
        {"#BD004DIGITAL,7,x", 7},
        {"#BD004DIGITAL, 3 ,x", 3},
        {"#BD004DIGITAL,8,x", std::nullopt},
        {"#BD004DIGITAL,-1,x", std::nullopt},
        {"#BD004DIGITAL,70000,x", std::nullopt},
        {"#BD004DIGITAL,1.5,x", std::nullopt},
        {"#BD004DIGITAL,abc,x", std::nullopt},
        {"#BD004DIGITAL,,x", std::nullopt},
        {"#BD004DIGITAL", std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ItemIndex(QString::fromLatin1(c.line), 8), c.index) << c.line;
}

TEST(CheckSiempre, NeedsEveryDayAndTheWholeDay)
{
    const struct {
        qint32 start, stop;
        quint8 week;
        bool always;
    } cases[] = {
        {0, 86399, 127, true},
        {0, 86400, 255, true}, // bit 7 carries nothing
        {1, 86399, 127, false},
        {0, 86398, 127, false},
        {0, 86399, 126, false},
        {0, 86399, 128, false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(CheckSiempre(c.start, c.stop, c.week), c.always) << c.start << " " << c.stop << " " << int(c.week);
}

} // namespace
