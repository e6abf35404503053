#pragma once

#include <QString>
#include <optional>

class IniDocument;

// The numbers a field takes: whole or decimal, and the range its box accepts.
// One table of the file's number keys holds them; the editors' boxes, the
// restore's notes and the check before every upload all read it, so that a
// value a box would show red is named wherever it comes from.
struct NumberRange {
    bool whole = true;
    double min = 0;
    double max = 32767;
    bool aboveMin = false; // min itself is refused ("greater than 0")
};

namespace NumberRanges {
inline constexpr NumberRange Count16{true, 0, 32767};   // 16-bit counts and times
inline constexpr NumberRange Int16{true, -32768, 32767};
inline constexpr NumberRange Port{true, 0, 65535};     // a 16-bit port number
inline constexpr NumberRange Count32{true, 0, 2147483647};
inline constexpr NumberRange Float{false, -3.4028234663852886e38, 3.4028234663852886e38};
inline constexpr NumberRange Positive{false, 0, 3.4028234663852886e38, true};
inline constexpr NumberRange NonNegative{false, 0, 3.4028234663852886e38};
} // namespace NumberRanges

// The range of a number key of the registered section `section` ("GPRS",
// "Caudal"), as its file section writes it ("SERVER_PORT", "MINIMO( 2)");
// none for a key no box edits.
std::optional<NumberRange> fieldRange(const QString &section, const QString &key);

// The range the value of `key` in file section `item` of `written` (a
// section's keys as it writes them) lies outside, when its box would show it
// red: none when it lies inside, when no box edits the key, or when the box
// is disabled by the record's own switch (a meter without interface, a timer
// not enabled), which the operator cannot mend and the window does not count.
std::optional<NumberRange> valueOutsideRange(const QString &section, const IniDocument &written, const QString &item,
                                             const QString &key);

// Whether a value lies in the range (whole where it must be).
bool inRange(double value, const NumberRange &range);
// The range as the operator reads it: "0 - 65535", "> 0".
QString rangeText(const NumberRange &range);
