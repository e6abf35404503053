#include <gtest/gtest.h>

#include "simroundtrip.h"

namespace {

// The 45 lines of macros_unit_lines.txt: line i is equation F(i/9) when
// i % 9 == 8, macro i otherwise, each body holding commas.
QString rowOfLine(int i)
{
    if (i % 9 == 8)
        return QStringLiteral("F%1={A%2*2,%3}").arg(i / 9).arg(i % 4).arg(i);
    return QStringLiteral("MACRO%1={SETOUT %2,ON,T=%1}").arg(i).arg(i % 6);
}

TEST(MacrosRoundTrip, TheUnitGetsItsFirstFortyRowsBackWithTheirCommas)
{
    SimRoundTrip trip;
    ASSERT_NO_FATAL_FAILURE(
        runSimRoundTrip(QStringLiteral(VELKAN_TEST_DATA "/macros_unit_lines.txt"), trip));
    if (IsSkipped())
        return;
    EXPECT_TRUE(trip.matched);
    const qsizetype clear = trip.received.indexOf(QStringLiteral("CLEARMACRO"));
    ASSERT_GE(clear, 0);
    QStringList expected;
    for (int i = 0; i < 40; ++i)
        expected << rowOfLine(i);
    EXPECT_EQ(trip.received.mid(clear + 1, 40), expected);
    EXPECT_FALSE(trip.received.contains(rowOfLine(40)));
    EXPECT_EQ(trip.received.count(QStringLiteral("CLEARMACRO")), 1);
}

} // namespace
