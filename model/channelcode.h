#pragma once

#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <array>

// The numeric codes by which the unit and the phone masks name a measurable
// channel. One row covers a run of names: Prefix + FirstNumber has FirstCode,
// and code and number grow together for Count names.
struct ChannelCode {
    const char *Prefix;
    qint16 FirstNumber;
    qint16 Count;
    qint16 FirstCode;
};

inline constexpr std::array<ChannelCode, 7> kChannelCodes{{
    {"AI", 0, 4, 0},
    {"FL", 0, 8, 12},
    {"DI", 0, 8, 21},
    {"MB", 0, 32, 29},
    {"FG", 0, 16, 61},
    {"DI", 8, 1, 97}, // the mains-failure input
    {"PB", 0, 4, 105},
}};

// The code of a name of the table (exact, case-sensitive: "DI3", not "di3"
// or "DI03"). Any other text gives 0, which is also AI0's code: callers pass
// only names taken from the table.
qint16 NameToCode(QStringView name);
// The name of a code of the table, "" for a code without one.
QString CodeToName(int code);
