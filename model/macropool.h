#pragma once

#include <QString>
#include <array>

// Macro and equation pool: command macros ("MACRO3={...}") and equations
// ("F2={...}") as the unit lists them, one text per row, in the order they were
// added. An empty row is free.
struct MacroPool {
    static constexpr int kRows = 56;
    static constexpr int kUploadedRows = 40; // the unit takes rows 0..39 only
    static constexpr int kMemoryBudget = 1024; // characters, shown to the operator

    std::array<QString, kRows> Rows;
};
