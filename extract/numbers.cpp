// SPDX-License-Identifier: GPL-3.0-or-later
#include "numbers.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

constexpr double NoNumber = std::numeric_limits<double>::quiet_NaN();

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

// Adds the digits from `at` on to `mantissa`, which wraps past 19 of them;
// gives where they end.
const char *readDigits(const char *at, const char *end, std::uint64_t &mantissa)
{
    for (; at < end; ++at) {
        const unsigned digit = unsigned(*at) - '0';
        if (digit > 9)
            break;
        mantissa = mantissa * 10 + digit;
    }
    return at;
}

// Reads the decimal number at the start of `s` exactly where that takes one
// floating-point operation: at most 19 digits making a mantissa up to 2^53,
// and a power of ten within 10^22, both held exactly by a double, so that one
// correctly rounded multiplication or division gives the same double as the
// general conversion (Clinger's fast path). False for any other number, which
// the general conversion then reads.
bool readPlainDecimal(std::string_view s, double &value)
{
    static constexpr double PowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                             1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                             1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    constexpr int MaxPower = 22, MaxDigits = 19, MaxExponentDigits = 3;
    const char *at = s.data(), *const end = at + s.size();
    const bool negative = at < end && *at == '-';
    if (at < end && (*at == '+' || *at == '-'))
        ++at;
    std::uint64_t mantissa = 0;
    const char *const integerStart = at;
    at = readDigits(at, end, mantissa);
    int digits = int(at - integerStart), fractionDigits = 0;
    if (at < end && *at == '.') {
        const char *const fractionStart = ++at;
        at = readDigits(at, end, mantissa);
        fractionDigits = int(at - fractionStart);
        digits += fractionDigits;
    }
    if (digits == 0 || digits > MaxDigits)
        return false; // no number, or one whose mantissa may not fit
    int exponent = 0;
    if (at + 1 < end && (*at == 'e' || *at == 'E')) {
        const char *e = at + 1;
        const bool negativeExponent = *e == '-';
        if (*e == '+' || *e == '-')
            ++e;
        const char *const first = e;
        for (; e < end && isDigit(*e); ++e) {
            if (e - first == MaxExponentDigits)
                return false;
            exponent = exponent * 10 + (*e - '0');
        }
        if (negativeExponent)
            exponent = -exponent;
    }
    const int power = exponent - fractionDigits;
    if (mantissa > (std::uint64_t(1) << 53) || power < -MaxPower || power > MaxPower)
        return false;
    const double magnitude = power < 0 ? double(mantissa) / PowersOfTen[-power]
                                       : double(mantissa) * PowersOfTen[power];
    value = negative ? -magnitude : magnitude;
    return true;
}

// &H and &O literals: 16-bit values are taken as signed 16-bit, larger ones
// up to 32 bits as signed 32-bit; wider literals give 0. NoNumber when no
// digit of the base starts `digits`.
double parseRadix(std::string_view digits, int base)
{
    std::uint32_t value = 0;
    const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
    if (result.ec == std::errc::invalid_argument)
        return NoNumber;
    if (result.ec == std::errc::result_out_of_range)
        return 0.0;
    if (value <= 0xFFFFu)
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
    return static_cast<std::int32_t>(value);
}

std::string_view trimBlanks(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// A field's text without the blanks around it, when that is exactly one
// decimal number of ASCII characters; nothing otherwise.
std::optional<std::string> fieldDecimal(const QString &text)
{
    std::string ascii;
    ascii.reserve(text.size());
    for (const QChar c : text) {
        if (c.unicode() > 127)
            return std::nullopt;
        ascii += char(c.unicode());
    }
    std::string number(trimBlanks(ascii));
    if (number.empty() || decimalLength(number) != number.size())
        return std::nullopt;
    return number;
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
        return NoNumber;
    }
    double value;
    if (readPlainDecimal(text, value))
        return value;
    const std::size_t length = decimalLength(text);
    return length == 0 ? NoNumber : parseDecimal(text.substr(0, length));
}

std::optional<double> FieldNumber(const QString &text)
{
    const std::optional<std::string> number = fieldDecimal(text);
    if (!number)
        return std::nullopt;
    const double value = parseDecimal(*number);
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<std::int64_t> FieldLineNumber(const QString &text)
{
    const std::optional<std::string> number = fieldDecimal(text);
    if (!number)
        return std::nullopt;
    // Whole numbers, a decimal without point or exponent, are read exactly
    // over the full range; a double would round those past 2^53.
    if (number->find_first_of(".eE") == std::string::npos) {
        std::string_view digits = *number;
        if (digits.front() == '+')
            digits.remove_prefix(1); // from_chars takes a minus only
        std::int64_t value = 0;
        const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (result.ec != std::errc())
            return std::nullopt;
        return value;
    }
    // nearbyint rounds in the default mode: to nearest, halves to even.
    const double rounded = std::nearbyint(parseDecimal(*number));
    constexpr double Limit = 0x1p63; // the int64 range is [-Limit, Limit)
    if (!(rounded >= -Limit && rounded < Limit))
        return std::nullopt;
    return static_cast<std::int64_t>(rounded);
}

std::int64_t FieldToLineNumber(const QString &text)
{
    return FieldLineNumber(text).value_or(0);
}

double FieldToDouble(const QString &text)
{
    return FieldNumber(text).value_or(0.0);
}
