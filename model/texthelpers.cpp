#include "texthelpers.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace {

// ---- Writing numbers ----

// A finite non-zero value as significant digits (no trailing zeros) and the
// power of ten of the first digit.
struct Decimal {
    std::array<char, 24> digits{};
    int count = 0;
    int exponent = 0;
};

// Splits to_chars' scientific text "[-]d[.ddd]e±xx" into digits and exponent.
Decimal splitScientific(const char *first, const char *last)
{
    Decimal d;
    const char *p = first;
    if (*p == '-')
        ++p;
    for (; p != last && *p != 'e'; ++p) {
        if (*p != '.')
            d.digits[d.count++] = *p;
    }
    std::from_chars(p + 1 + (p[1] == '+'), last, d.exponent);
    while (d.count > 1 && d.digits[d.count - 1] == '0')
        --d.count;
    return d;
}

// The shortest digits that read back as the same value, unless they are more
// than maxDigits: then the value rounded to maxDigits significant digits.
template <typename F>
Decimal decimalOf(F value, int maxDigits)
{
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
    Decimal d = splitScientific(buf, res.ptr);
    if (d.count > maxDigits) {
        res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific,
                            maxDigits - 1);
        d = splitScientific(buf, res.ptr);
    }
    return d;
}

enum class Style { Wire, Display };

void appendExponent(QString &out, int exponent)
{
    out += QLatin1Char('E');
    out += QLatin1Char(exponent < 0 ? '-' : '+');
    const int magnitude = std::abs(exponent);
    if (magnitude < 10)
        out += QLatin1Char('0');
    out += QString::number(magnitude);
}

template <typename F>
QString formatFloat(F value, int maxDigits, Style style)
{
    QString out;
    if (std::signbit(value) && value != 0)
        out += QLatin1Char('-');
    else if (style == Style::Wire)
        out += QLatin1Char(' ');
    if (value == 0)
        return out + QLatin1Char('0');
    if (!std::isfinite(value))
        return out + QLatin1String(std::isnan(value) ? "nan" : "inf");

    const Decimal d = decimalOf(std::abs(value), maxDigits);
    const QLatin1String digits(d.digits.data(), d.count);
    const int x = d.exponent;
    if (x >= maxDigits || x < -4) {
        out += digits.front();
        if (d.count > 1)
            out += QLatin1Char('.') + digits.sliced(1);
        appendExponent(out, x);
    } else if (x >= 0) {
        out += digits.first(std::min(d.count, x + 1));
        for (int i = d.count; i <= x; ++i)
            out += QLatin1Char('0');
        if (d.count > x + 1)
            out += QLatin1Char('.') + digits.sliced(x + 1);
    } else {
        if (style == Style::Display)
            out += QLatin1Char('0');
        out += QLatin1Char('.') + QString(-x - 1, QLatin1Char('0')) + digits;
    }
    return out;
}

constexpr int kFloatDigits = 7;
constexpr int kDoubleDigits = 15;

// ---- Reading numbers ----

bool isBlank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

int digitValue(char16_t c, int base)
{
    int v = 16;
    if (isDigit(c))
        v = c - u'0';
    else if (c >= u'a' && c <= u'f')
        v = c - u'a' + 10;
    else if (c >= u'A' && c <= u'F')
        v = c - u'A' + 10;
    return v < base ? v : -1;
}

// Reads one number from the start of a text. Blanks are skipped between any
// two characters; the scanner remembers whether one was skipped inside the
// number so that the strict checks can refuse it.
class NumberScanner {
public:
    explicit NumberScanner(QStringView text) : m_text(text) {}

    double scan();

    bool hasDigits() const { return m_hasDigits; }
    bool hasPoint() const { return m_hasPoint; }
    bool hasInnerBlank() const { return m_innerBlank; }
    // Index just past the last character read.
    qsizetype end() const { return m_end; }

private:
    struct Cursor {
        qsizetype pos = 0;
        bool skipped = false;
    };

    char16_t peek();
    void take();
    double scanBased(int base);
    double scanDecimal();
    int scanExponent();

    QStringView m_text;
    Cursor m_at;
    qsizetype m_end = 0;
    bool m_hasDigits = false;
    bool m_hasPoint = false;
    bool m_innerBlank = false;
};

char16_t NumberScanner::peek()
{
    while (m_at.pos < m_text.size() && isBlank(m_text[m_at.pos].unicode())) {
        ++m_at.pos;
        m_at.skipped = true;
    }
    return m_at.pos < m_text.size() ? m_text[m_at.pos].unicode() : u'\0';
}

void NumberScanner::take()
{
    if (m_at.skipped && m_end > 0)
        m_innerBlank = true;
    m_at.skipped = false;
    m_end = ++m_at.pos;
}

double NumberScanner::scan()
{
    if (peek() == u'&') {
        const Cursor start = m_at;
        take();
        const char16_t kind = peek();
        if (kind == u'H' || kind == u'h' || kind == u'O' || kind == u'o') {
            take();
            return scanBased(kind == u'H' || kind == u'h' ? 16 : 8);
        }
        m_at = start;
        m_end = 0;
        return 0;
    }
    return scanDecimal();
}

double NumberScanner::scanBased(int base)
{
    double value = 0;
    for (int d; (d = digitValue(peek(), base)) >= 0; take()) {
        value = value * base + d;
        m_hasDigits = true;
    }
    return value;
}

double NumberScanner::scanDecimal()
{
    bool negative = false;
    if (const char16_t c = peek(); c == u'-' || c == u'+') {
        negative = c == u'-';
        take();
    }
    // The mantissa in from_chars' syntax, and one more than the power of ten
    // of its first non-zero digit, which tells an overflow from an underflow.
    std::string text;
    int order = 0;
    bool nonZero = false;
    for (char16_t c; isDigit(c = peek()); take()) {
        text += char(c);
        nonZero = nonZero || c != u'0';
        if (nonZero)
            ++order;
        m_hasDigits = true;
    }
    if (peek() == u'.') {
        take();
        m_hasPoint = true;
        text += '.';
        for (char16_t c; isDigit(c = peek()); take()) {
            text += char(c);
            if (!nonZero && c == u'0')
                --order;
            nonZero = nonZero || c != u'0';
            m_hasDigits = true;
        }
    }
    if (!m_hasDigits)
        return 0;
    const int exponent = scanExponent();
    text += 'e' + std::to_string(exponent);

    double value = 0;
    const auto res = std::from_chars(text.data(), text.data() + text.size(), value);
    if (res.ec == std::errc::result_out_of_range)
        value = order + exponent > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    return negative ? -value : value;
}

// An exponent is read only when digits follow its letter and sign; otherwise
// the letter is left unread, as the first character that does not fit.
int NumberScanner::scanExponent()
{
    const char16_t letter = peek();
    if (letter != u'E' && letter != u'e' && letter != u'D' && letter != u'd')
        return 0;
    const Cursor before = m_at;
    const qsizetype endBefore = m_end;
    const bool innerBefore = m_innerBlank;
    take();
    bool negative = false;
    if (const char16_t c = peek(); c == u'-' || c == u'+') {
        negative = c == u'-';
        take();
    }
    if (!isDigit(peek())) {
        m_at = before;
        m_end = endBefore;
        m_innerBlank = innerBefore;
        return 0;
    }
    // Far beyond any double either way; stops the count from overflowing.
    constexpr int kCap = 100000;
    int exponent = 0;
    for (char16_t c; isDigit(c = peek()); take())
        exponent = std::min(exponent * 10 + (c - u'0'), kCap);
    return negative ? -exponent : exponent;
}

bool isNumberText(QStringView text, bool integer)
{
    if (text.contains(u','))
        return false;
    NumberScanner scanner(text);
    scanner.scan();
    if (!scanner.hasDigits() || scanner.hasInnerBlank() || (integer && scanner.hasPoint()))
        return false;
    for (QChar c : text.sliced(scanner.end())) {
        if (!isBlank(c.unicode()))
            return false;
    }
    return true;
}

// ---- Conversions ----

std::optional<double> roundHalfEven(double value, double low, double high)
{
    if (!std::isfinite(value))
        return std::nullopt;
    double whole = std::floor(value);
    const double fraction = value - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0))
        whole += 1.0;
    if (whole < low || whole > high)
        return std::nullopt;
    return whole;
}

template <typename T>
std::optional<T> toWhole(double value)
{
    const auto r = roundHalfEven(value, double(std::numeric_limits<T>::min()),
                                 double(std::numeric_limits<T>::max()));
    if (!r)
        return std::nullopt;
    return T(*r);
}

// ---- Fields ----

// Start of field n (from 1) when each field after the first begins after a
// separator; -1 when the text has too few separators.
qsizetype fieldStart(QStringView text, int n, QChar separator)
{
    qsizetype start = 0;
    for (int i = 1; i < n; ++i) {
        const qsizetype at = text.indexOf(separator, start);
        if (at < 0)
            return -1;
        start = at + 1;
    }
    return start;
}

QString fieldAt(QStringView text, int n, QChar opener, QChar closer)
{
    const qsizetype start = fieldStart(text, n, opener);
    if (start < 0)
        return {};
    qsizetype stop = text.indexOf(closer, start);
    if (stop < 0)
        stop = text.size();
    return text.sliced(start, stop - start).toString();
}

} // namespace

QString NumStr(float value)
{
    return formatFloat(value, kFloatDigits, Style::Wire);
}

QString NumStr(double value)
{
    return formatFloat(value, kDoubleDigits, Style::Wire);
}

QString NumberText(float value)
{
    return formatFloat(value, kFloatDigits, Style::Display);
}

QString NumberText(double value)
{
    return formatFloat(value, kDoubleDigits, Style::Display);
}

double ParseNumber(QStringView text)
{
    return NumberScanner(text).scan();
}

bool IsDecimalText(QStringView text)
{
    return isNumberText(text, false);
}

bool IsIntegerText(QStringView text)
{
    return isNumberText(text, true);
}

bool CheckNumberText(QStringView text, QStringView kind)
{
    if (kind == u"int")
        return IsIntegerText(text);
    if (kind == u"float")
        return IsDecimalText(text);
    return false;
}

std::optional<qint16> ToInt16(double value)
{
    return toWhole<qint16>(value);
}

std::optional<qint32> ToInt32(double value)
{
    return toWhole<qint32>(value);
}

std::optional<quint32> ToUInt32(double value)
{
    return toWhole<quint32>(value);
}

std::optional<quint8> ToWeekdays(double value)
{
    return toWhole<quint8>(value);
}

std::optional<float> ToFloat32(double value)
{
    if (!std::isfinite(value) || std::abs(value) > double(std::numeric_limits<float>::max()))
        return std::nullopt;
    return float(value);
}

QString BoolText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

bool TextBool(QStringView text)
{
    return text == u"True";
}

QString TimeText(QTime time)
{
    if (!time.isValid())
        time = QTime(0, 0);
    QString out = QString::number(time.hour());
    for (int part : {time.minute(), time.second()}) {
        out += QLatin1Char(':');
        out += QLatin1Char(char('0' + part / 10));
        out += QLatin1Char(char('0' + part % 10));
    }
    return out;
}

std::optional<QTime> TimeFromText(QStringView text)
{
    const QList<QStringView> parts = text.trimmed().split(u':');
    if (parts.size() < 2 || parts.size() > 3)
        return std::nullopt;
    std::array<int, 3> values{};
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QStringView part = parts[i];
        // Hours have one or two digits, minutes and seconds exactly two.
        const bool sizeOk = i == 0 ? part.size() >= 1 && part.size() <= 2 : part.size() == 2;
        if (!sizeOk || !std::all_of(part.begin(), part.end(), [](QChar c) { return isDigit(c.unicode()); }))
            return std::nullopt;
        values[i] = part.toInt();
    }
    const QTime time(values[0], values[1], values[2]);
    if (!time.isValid())
        return std::nullopt;
    return time;
}

std::optional<QTime> SecondsToTime(qint64 seconds)
{
    constexpr qint64 kDay = 86400;
    if (seconds < 0 || seconds > kDay)
        return std::nullopt;
    const int s = int(std::min(seconds, kDay - 1));
    return QTime(s / 3600, s % 3600 / 60, s % 60);
}

QString WeekBitsText(quint8 weekdays)
{
    QString out(7, QLatin1Char('0'));
    for (int bit = 0; bit < 7; ++bit) {
        if (weekdays & (1u << bit))
            out[bit] = QLatin1Char('1');
    }
    return out;
}

std::optional<quint8> WeekBitsFromText(QStringView text)
{
    if (text.size() != 7)
        return std::nullopt;
    quint8 weekdays = 0;
    for (int bit = 0; bit < 7; ++bit) {
        if (text[bit] == QLatin1Char('1'))
            weekdays |= quint8(1u << bit);
        else if (text[bit] != QLatin1Char('0'))
            return std::nullopt;
    }
    return weekdays;
}

QString LineField(QStringView text, int n)
{
    return fieldAt(text, n, QLatin1Char(','), QLatin1Char(','));
}

QString CsvField(QStringView text, int n)
{
    return LineField(text, n);
}

QString BraceField(QStringView text, int n)
{
    return fieldAt(text, n, QLatin1Char('{'), QLatin1Char('}'));
}

QString CommaToDot(QStringView text)
{
    return text.toString().replace(QLatin1Char(','), QLatin1Char('.'));
}
