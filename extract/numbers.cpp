#include "numbers.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the decimal number at the start of `s` (sign, mantissa with at
// most one point, optional complete exponent); 0 when there is none.
std::size_t decimalLength(std::string_view s)
{
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < s.size() && isDigit(s[i])) {
        ++i;
        ++digits;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            ++j;
        if (j < s.size() && isDigit(s[j])) {
            while (j < s.size() && isDigit(s[j]))
                ++j;
            i = j;
        }
    }
    return i;
}

// The power of ten of the leading significant digit of an unsigned decimal
// number, roughly; only its sign matters, to tell overflow from underflow.
long long decimalMagnitude(std::string_view number)
{
    long long magnitude = 0;
    bool seenPoint = false, seenSignificant = false;
    std::size_t i = 0;
    for (; i < number.size() && (isDigit(number[i]) || number[i] == '.'); ++i) {
        if (number[i] == '.') {
            seenPoint = true;
        } else if (!seenPoint) {
            if (seenSignificant || number[i] != '0') {
                seenSignificant = true;
                ++magnitude;
            }
        } else if (!seenSignificant) {
            if (number[i] != '0')
                seenSignificant = true;
            else
                --magnitude;
        }
    }
    long long exponent = 0;
    if (i < number.size()) {
        const bool negative = number[i + 1] == '-';
        for (++i; i < number.size(); ++i) {
            if (isDigit(number[i]) && exponent < 100000)
                exponent = exponent * 10 + (number[i] - '0');
        }
        if (negative)
            exponent = -exponent;
    }
    return magnitude + exponent;
}

// Converts a complete decimal number as decimalLength() delimits it.
// Overflow gives an infinity of the number's sign, underflow gives zero.
double parseDecimal(std::string_view number)
{
    bool negative = false;
    if (!number.empty() && (number.front() == '+' || number.front() == '-')) {
        negative = number.front() == '-';
        number.remove_prefix(1);
    }
    double value = 0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range)
        value = decimalMagnitude(number) > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    return negative ? -value : value;
}

// &H and &O literals: 16-bit values are taken as signed 16-bit, larger ones
// up to 32 bits as signed 32-bit; wider literals give 0.
double parseRadix(std::string_view digits, int base)
{
    std::uint64_t value = 0;
    std::size_t i = 0;
    for (; i < digits.size(); ++i) {
        const char c = digits[i];
        int d;
        if (isDigit(c))
            d = c - '0';
        else if (c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            break;
        if (d >= base)
            break;
        value = value * base + d;
        if (value > 0xFFFFFFFFu)
            return 0;
    }
    if (value <= 0xFFFFu)
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

std::string_view trimBlanks(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// A field's text as a finite number, or nothing when it is not exactly one.
std::optional<double> fieldNumber(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() > 127)
            return std::nullopt;
    }
    const QByteArray ascii = text.toLatin1();
    const std::string_view s = trimBlanks(std::string_view(ascii.constData(), ascii.size()));
    if (s.empty() || decimalLength(s) != s.size())
        return std::nullopt;
    const double value = parseDecimal(s);
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

double Val(std::string_view text)
{
    if (text.size() >= 2 && text[0] == '&') {
        const char kind = text[1];
        if (kind == 'H' || kind == 'h')
            return parseRadix(text.substr(2), 16);
        if (kind == 'O' || kind == 'o')
            return parseRadix(text.substr(2), 8);
        return 0;
    }
    const std::size_t length = decimalLength(text);
    return length == 0 ? 0.0 : parseDecimal(text.substr(0, length));
}

std::int16_t FieldToInt16(const QString &text)
{
    const std::optional<double> value = fieldNumber(text);
    if (!value)
        return 0;
    // nearbyint rounds in the default mode: to nearest, halves to even.
    const double rounded = std::nearbyint(*value);
    if (rounded < std::numeric_limits<std::int16_t>::min()
        || rounded > std::numeric_limits<std::int16_t>::max())
        return 0;
    return static_cast<std::int16_t>(rounded);
}

double FieldToDouble(const QString &text)
{
    return fieldNumber(text).value_or(0.0);
}
