// The pool form's rules: new rows, rows read back into the boxes, the budget.
#include <gtest/gtest.h>

#include "sections/macros/macrorows.h"

namespace {

using R = MacroRefusal;

QString bracketed(const QString &text)
{
    return QLatin1Char('[') + text + QLatin1Char(']');
}

TEST(MacroRows, BuildingANewRow)
{
    const QString longest(254 - QStringLiteral("MACRO3={}").size(), QLatin1Char('x'));
    const struct {
        bool equation;
        int number;
        QString command;
        QString name;
        int rowsInPool;
        QString row;
        R refusal;
        bool nameDiscarded;
    } cases[] = {
        {false, 3, "OUT1=1", "", 0, "MACRO3={OUT1=1}", R::None, false},
        {false, 3, "OUT1=1", "bomba", 0, "MACRO3={OUT1=1,NAME=bomba}", R::None, false},
        {false, 3, "", "bomba", 0, "", R::EmptyCommand, false},
        {false, 55, "A,B", "", 55, "MACRO55={A,B}", R::None, false},
        {false, 3, "A", "", 56, "", R::PoolFull, false},
        {false, 3, "A}B", "", 0, "", R::Brace, false},
        {false, 3, "A", "b}", 0, "", R::Brace, false},
        {false, 3, longest, "", 0, "MACRO3={" + longest + "}", R::None, false},
        {false, 3, longest + "x", "", 0, "", R::TooLong, false},
        {false, 3, longest, "n", 0, "", R::TooLong, false},
        {true, 2, "a+b", "", 0, "F2={a+b}", R::None, false},
        {true, 15, "a+b", "nombre}", 0, "F15={a+b}", R::None, true}, // the name never counts
        {true, 16, "a+b", "", 0, "", R::EquationNumber, false},
        {true, 2, "", "nombre", 0, "", R::EmptyCommand, false},
        {true, 2, "a}", "nombre", 0, "", R::Brace, false},
    };
    for (const auto &c : cases) {
        const MacroRowResult result =
            c.equation ? buildEquationRow(c.number, c.command, c.name, c.rowsInPool)
                       : buildMacroRow(c.number, c.command, c.name, c.rowsInPool);
        EXPECT_EQ(result.row, c.row) << c.command.toStdString();
        EXPECT_EQ(result.refusal, c.refusal) << c.command.toStdString();
        EXPECT_EQ(result.nameDiscarded, c.nameDiscarded) << c.command.toStdString();
    }
}

TEST(MacroRows, RefusalMessagesTranslateEachTextPart)
{
    EXPECT_EQ(macroRefusalText(R::EquationNumber, bracketed),
              "[Debe seleccionar un numero de ecuacion menor a] 16");
    EXPECT_EQ(macroRefusalText(R::PoolFull, bracketed),
              QString::fromUtf8("[No se pueden añadir mas de] 56[ filas]"));
    EXPECT_EQ(macroRefusalText(R::TooLong, bracketed),
              "[La fila no puede superar] 254[ caracteres]");
    EXPECT_FALSE(macroRefusalText(R::Brace, bracketed).isEmpty());
    EXPECT_TRUE(macroRefusalText(R::EmptyCommand, bracketed).isEmpty());
    EXPECT_TRUE(macroRefusalText(R::None, bracketed).isEmpty());
}

TEST(MacroRows, DoubleClickSplitsARowBackIntoTheBoxes)
{
    const struct {
        QString row;
        QString command;
        QString name;
    } cases[] = {
        {"MACRO3={OUT1=1,NAME=bomba}", "OUT1=1", "bomba"},
        {"MACRO3={A,B}", "A,B", ""},
        {"MACRO3={}", "", ""},
        {"F2={(a+b)/2}", "(a+b)/2", ""},
        {"F2={x,NAME=y}", "x,NAME=y", ""}, // equations have no name
        // Rows without braces give what they hold.
        {"MACRO5=OUT1", "MACRO5=OUT1", ""},
        {"MACRO5=OUT1,NAME=n", "MACRO5=OUT1", "n"},
        {"F1={open", "open", ""},
        {"texto", "texto", ""},
    };
    for (const auto &c : cases) {
        const MacroRowParts parts = splitMacroRow(c.row);
        EXPECT_EQ(parts.command, c.command) << c.row.toStdString();
        EXPECT_EQ(parts.name, c.name) << c.row.toStdString();
    }
}

TEST(MacroRows, BudgetNumberBoxAndNotice)
{
    EXPECT_EQ(macroMemoryText({}, bracketed), "[Memoria restante] 1024");
    const QStringList full(56, QString(20, QLatin1Char('x')));
    EXPECT_EQ(macroMemoryLeft(full), 1024 - 56 * 20);
    EXPECT_EQ(macroMemoryText(full, bracketed), "[Memoria restante]-96");

    EXPECT_EQ(nextMacroNumber(38, false), 39);
    EXPECT_EQ(nextMacroNumber(39, false), 39);
    EXPECT_EQ(nextMacroNumber(14, true), 15);
    EXPECT_EQ(nextMacroNumber(15, true), 15);

    EXPECT_FALSE(macroUploadNoticeShown(40));
    EXPECT_TRUE(macroUploadNoticeShown(41));
}

TEST(MacroRows, FreeAndRepeatedNumbers)
{
    const QStringList rows{"MACRO0={A}", "F0={A0}", "MACRO2={B,NAME=MACRO1=}", "MACRO0={C}"};
    EXPECT_EQ(freeMacroNumber(rows, 0), 1);
    EXPECT_EQ(freeMacroNumber(rows, 5), 5);
    EXPECT_EQ(freeMacroNumber(rows, 2), 1);
    EXPECT_EQ(repeatedMacroNumbers(rows), QList<int>{0});
    QStringList full;
    for (int n = 0; n < 40; ++n)
        full << QStringLiteral("MACRO%1={X}").arg(n);
    EXPECT_EQ(freeMacroNumber(full, 3), std::nullopt);
}

} // namespace
