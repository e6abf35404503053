// The macro pool's core: download storage, upload lines, file keys.
#include <gtest/gtest.h>

#include "files/inidocument.h"
#include "model/configstore.h"
#include "model/texthelpers.h"
#include "sections/macros/macrocore.h"

namespace {

const MacroCore core;

// Runs stream lines (keyword and fields) through the parser as one download
// attempt does, numbering them from 000.
void download(ConfigStore &store, DownloadState &state, const QStringList &lines)
{
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = QStringLiteral("#BD%1").arg(i, 3, 10, QLatin1Char('0')) + lines[i];
        core.parseLine(store, state, LineField(lines[i], 1), line, 0);
    }
}

QStringList filledRows(const ConfigStore &store)
{
    QStringList rows;
    for (const QString &row : store.Macros.Rows) {
        if (!row.isEmpty())
            rows << row;
    }
    return rows;
}

TEST(MacroCore, DownloadFillsRowsInArrivalOrderWhateverTheNumbers)
{
    ConfigStore store;
    DownloadState state;
    download(store, state,
             {"MACROS,3,{A,B}", "F,2,{x+y}", "MACROS,0,{OUT1=1,NAME=pump}", "MACROS,nine,{X}",
              "MACROS,,{X}", "F,1.5,{X}"});

    // Lines whose number is not a whole number are skipped without taking a row.
    EXPECT_EQ(filledRows(store),
              QStringList({"MACRO3={A,B}", "F2={x+y}", "MACRO0={OUT1=1,NAME=pump}"}));
    EXPECT_EQ(state.macroFreeRow, 3);
}

TEST(MacroCore, DownloadDropsLinesPastTheLastRow)
{
    ConfigStore store;
    DownloadState state;
    QStringList lines;
    for (int i = 0; i < MacroPool::kRows + 3; ++i)
        lines << QStringLiteral("F,%1,{v%1}").arg(i);
    download(store, state, lines);

    EXPECT_EQ(state.macroFreeRow, MacroPool::kRows);
    EXPECT_EQ(store.Macros.Rows.front(), "F0={v0}");
    EXPECT_EQ(store.Macros.Rows.back(), "F55={v55}");
}

TEST(MacroCore, UploadClearsThenSendsFilledRowsUpTo39AsStored)
{
    ConfigStore store;
    store.Macros.Rows[0] = "MACRO0={OUT1=1,NAME=pump}";
    store.Macros.Rows[5] = "F2={x+y}";
    store.Macros.Rows[39] = "MACRO39={OUT2=0}";
    store.Macros.Rows[40] = "MACRO40={never}";
    store.Macros.Rows[55] = "F15={never}";

    EXPECT_EQ(core.uploadLines(store, {}),
              QStringList({"CLEARMACRO", "MACRO0={OUT1=1,NAME=pump}", "F2={x+y}", "MACRO39={OUT2=0}"}));

    core.clear(store);
    EXPECT_EQ(core.uploadLines(store, {}), QStringList({"CLEARMACRO"}));
}

TEST(MacroCore, FileKeysRoundTripAndRestoreClearsFirst)
{
    ConfigStore saved;
    saved.Macros.Rows[0] = "MACRO0={OUT1=1,NAME=pump}";
    saved.Macros.Rows[55] = "F15={a,b}";
    IniDocument doc;
    core.save(saved, doc);
    EXPECT_EQ(doc.readValue("MACROS", "LINE( 0)"), "MACRO0={OUT1=1,NAME=pump}");
    EXPECT_EQ(doc.readValue("MACROS", "LINE( 55)"), "F15={a,b}");
    EXPECT_TRUE(doc.hasKey("MACROS", "LINE( 1)")); // free rows are written too

    IniDocument reread;
    reread.parse(doc.serialize());
    ConfigStore restored;
    restored.Macros.Rows[1] = "MACRO1={stale}";
    core.restore(restored, reread);
    EXPECT_EQ(restored.Macros.Rows, saved.Macros.Rows);
}

TEST(MacroCore, UnitLinesDownloadBackToTheSameRows)
{
    ConfigStore unit;
    unit.Macros.Rows[0] = "MACRO7={OUT1=1,NAME=pump}";
    unit.Macros.Rows[1] = "F3={(a+b)/2}";
    unit.Macros.Rows[2] = "MACRO12={}";

    const QStringList lines = core.downloadLines(unit, 0);
    EXPECT_EQ(lines.first(), "MACROS,7,{OUT1=1,NAME=pump}");

    ConfigStore tool;
    DownloadState state;
    download(tool, state, lines);
    EXPECT_EQ(tool.Macros.Rows, unit.Macros.Rows);
}

} // namespace
