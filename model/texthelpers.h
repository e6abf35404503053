#pragma once

#include <QString>
#include <QStringView>
#include <QTime>
#include <QtGlobal>

#include <concepts>
#include <optional>
#include <type_traits>

// Text helpers shared by the sections, the link and the file code. They are
// free functions without state; none of them touches the configuration.

// ---- Numbers as the unit and the configuration file carry them ----
//
// NumStr writes a number the way the lines to the unit and the .qcf file
// carry it: one blank before a value that is not negative, "-" before a
// negative one, "." as the decimal point whatever the locale, no zero before
// the point, no trailing zeros and no trailing point.
//
// A float gives its shortest decimal text when that has at most 7
// significant digits, otherwise the value rounded to 7 significant digits
// (0.1f gives " .1", 12345678.f gives " 1.234568E+07"). The text is
// positional while the rounded value is at least 1E-04 and below 1E+07;
// outside that it is E-form: mantissa, "E", the exponent's sign and at least
// two exponent digits (" 1E-05", "-2.5E+09", " 1E-40"). A double follows
// the same rule with 15 significant digits and E-form from 1E+15, so a day
// mask up to 4294967295 keeps all of its digits. Keep float fields as float
// when writing them: a float widened to double shows its binary noise.
// Integers are plain decimal digits. Infinities and NaN, which no field can
// hold, come out as "inf" and "nan" behind the sign, and read back as 0.
QString NumStr(float value);
QString NumStr(double value);
template <std::integral T>
QString NumStr(T value)
{
    if constexpr (std::is_signed_v<T>) {
        if (value < 0)
            return QString::number(value);
    }
    return QLatin1Char(' ') + QString::number(value);
}

// The display text of a number in the editors (and the flow ratio sent to the
// unit): NumStr's digits without the leading blank and with a "0" before the
// point of a magnitude below 1 (0.5 gives "0.5", -0.25 gives "-0.25").
QString NumberText(float value);
QString NumberText(double value);
template <std::integral T>
QString NumberText(T value)
{
    return QString::number(value);
}

// Reads a number with the old BASIC rules: blanks are ignored wherever they
// are; an optional sign, digits, an optional "." with digits and an optional
// exponent (E or D, either case, optional sign, at least one digit) are read
// up to the first character that does not fit. "&H" and "&O" at the start
// read a hexadecimal or octal whole number. A text without digits gives 0, and
// a comma is never a decimal point ("1,5" gives 1). Never fails: a value past
// the range of a double gives an infinity, which every field conversion below
// refuses; one too small gives 0. Reads back every text NumStr writes.
double ParseNumber(QStringView text);

// True when the text is one number in ParseNumber's syntax with nothing but
// blanks around it: no blank inside ("1 2" is not a number here, although
// ParseNumber reads it as 12), no comma, and an exponent only with its digits.
// An empty or blank text is false. The integer form also refuses a ".".
bool IsDecimalText(QStringView text);
bool IsIntegerText(QStringView text);

// The check behind an editor's numeric box: kind "int" tests IsIntegerText,
// kind "float" IsDecimalText, any other kind counts as invalid.
bool CheckNumberText(QStringView text, QStringView kind);

// ---- Conversions of a read number to a field's type ----
// Each fails (no value) when the number does not fit, so that the caller can
// skip the field and keep its old value. Whole-number targets round half to
// even first (2.5 gives 2, 3.5 gives 4, -0.5 gives 0); NaN never fits.
std::optional<qint16> ToInt16(double value);
std::optional<qint32> ToInt32(double value);
std::optional<quint32> ToUInt32(double value);
// The weekday set, 0 to 255 (bit 7 is carried but means nothing).
std::optional<quint8> ToWeekdays(double value);
// Fails for infinities, NaN and magnitudes above the largest float; a value
// too small for a float becomes 0.
std::optional<float> ToFloat32(double value);

// ---- Booleans ----
// "True" or "False".
QString BoolText(bool value);
// True only for exactly "True" (case-sensitive); any other text is false.
bool TextBool(QStringView text);

// ---- Times of day ----
// "H:MM:SS", 24-hour, the hour without a leading zero ("0:00:00", "8:05:00",
// "23:59:59"). An invalid (null) time writes as midnight.
QString TimeText(QTime time);
// Reads TimeText's form back ("H:MM:SS" or "H:MM", blanks around allowed);
// fails on anything else or on a time outside 0:00:00 to 23:59:59.
std::optional<QTime> TimeFromText(QStringView text);
// Seconds since midnight from the unit, 0 to 86400; 86400 reads as 23:59:59
// so that the end of the day stays inside it. Fails outside that range.
std::optional<QTime> SecondsToTime(qint64 seconds);
// Seven "1"/"0" characters for bits 0 (Monday) to 6 (Sunday); bit 7 never shows.
QString WeekBitsText(quint8 weekdays);
// Reads WeekBitsText's form back: exactly seven "1"/"0" characters.
std::optional<quint8> WeekBitsFromText(QStringView text);

// ---- Fields of a line ----
// The n-th comma-separated field, counted from 1: field 1 runs from the
// first character to the first comma (an answer's prefix included), field n
// from just after the (n-1)-th comma to the next comma or the end. A field
// number below 1 gives field 1; one past the last field gives "".
QString LineField(QStringView text, int n);
// The same rule for the phone entries and other comma lists of the editors.
QString CsvField(QStringView text, int n);
// The n-th brace field: field 1 runs from the first character to the first
// "}", field n from just after the (n-1)-th "{" to the next "}" or the end,
// so a body keeps its commas ("#BD031MACROS,2,{A,B}" field 2 is "A,B").
// A field number below 1 gives field 1; a missing "{" gives "".
QString BraceField(QStringView text, int n);
// Every "," replaced by ".".
QString CommaToDot(QStringView text);
