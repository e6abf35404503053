#pragma once

#include <QString>
#include <QList>
#include <QStringList>

#include <optional>

#include "model/texttranslator.h"

// The pool form's rules as plain functions: building a new row, reading a row
// back into the boxes, and the memory budget. The form only shows what they
// return.

// Why a new row was not added.
enum class MacroRefusal {
    None,
    EmptyCommand,   // nothing typed: nothing happens, no message
    EquationNumber, // equations are numbered 0 to 15
    PoolFull,       // the pool holds its 56 rows already
    Brace,          // a "}" would end the row's body early when the unit reports it back
    TooLong,        // longer than a file value can hold
};

struct MacroRowResult {
    QString row;                        // the new row; empty when refused
    MacroRefusal refusal = MacroRefusal::None;
    bool nameDiscarded = false;         // an equation's name was dropped: tell the operator
};

// "MACRO" + number + "={" + command [+ ",NAME=" + name] + "}".
// rowsInPool: the rows the pool list holds before this one.
MacroRowResult buildMacroRow(int number, const QString &command, const QString &name,
                             int rowsInPool);
// "F" + number + "={" + expression + "}"; a name is dropped (nameDiscarded).
MacroRowResult buildEquationRow(int number, const QString &expression, const QString &name,
                                int rowsInPool);

// The message for a refusal, each part translated; empty for None and EmptyCommand.
QString macroRefusalText(MacroRefusal refusal, const TextTranslator &translate);
// Shown (translated) when an equation's name is dropped.
inline const QString kMacroNameDiscarded = QStringLiteral("El campo nombre se descartara");
// Shown (translated) while the pool holds more rows than the unit is sent.
inline const QString kMacroUploadNotice =
    QStringLiteral("Solo se envian al equipo las 40 primeras filas");
bool macroUploadNoticeShown(int rowsInPool);

// The number box after an add: one up while below 39 (macros) or 15 (equations).
int nextMacroNumber(int number, bool equation);

// The macro number of a "MACRO" + number + "={...}" row; none for an
// equation or any other row.
std::optional<int> macroNumberOf(const QString &row);
// The number a new macro takes: the one asked for while no row holds it,
// else the lowest one free (0 to 39); none when every number is taken.
std::optional<int> freeMacroNumber(const QStringList &rows, int asked);
// The macro numbers that more than one row holds, in ascending order: the
// unit would keep only one of each.
QList<int> repeatedMacroNumbers(const QStringList &rows);

// A pool row split back into the command (or expression) and the name.
// Equations and macros without ",NAME=" give an empty name; a row without
// braces gives what it holds.
struct MacroRowParts {
    QString command;
    QString name;
};
MacroRowParts splitMacroRow(const QString &row);

// 1024 minus the length of every row; negative once over budget (shown, not enforced).
int macroMemoryLeft(const QStringList &rows);
// "Memoria restante" (translated) followed by NumStr of what is left.
QString macroMemoryText(const QStringList &rows, const TextTranslator &translate);
