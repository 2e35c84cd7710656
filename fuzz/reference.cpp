// SPDX-License-Identifier: GPL-3.0-or-later
#include "reference.h"

#include <cstdint>
#include <cstdlib>
#include <locale.h>

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isSign(char c) { return c == '+' || c == '-'; }

bool isDigitOfBase(char c, int base)
{
    if (base == 8)
        return c >= '0' && c <= '7';
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// strtod in the "C" locale, whatever locale the process is in.
double cLocaleStrtod(const std::string &number)
{
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return strtod_l(number.c_str(), nullptr, cLocale);
}

double radixValue(std::string_view text, int base)
{
    std::size_t length = 0;
    while (length < text.size() && isDigitOfBase(text[length], base))
        ++length;
    std::string_view digits = text.substr(0, length);
    while (!digits.empty() && digits.front() == '0')
        digits.remove_prefix(1);
    if (digits.size() > 16) // beyond 64 bits, so beyond 32 bits too
        return 0;
    const unsigned long long value =
        digits.empty() ? 0 : std::strtoull(std::string(digits).c_str(), nullptr, base);
    if (value <= 0xFFFF)
        return std::int16_t(std::uint16_t(value));
    if (value <= 0xFFFFFFFF)
        return std::int32_t(std::uint32_t(value));
    return 0;
}

} // namespace

std::vector<std::string_view> ReferenceLines(std::string_view stream)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < stream.size(); ++i) {
        if (stream[i] != '\r' && stream[i] != '\n')
            continue;
        lines.push_back(stream.substr(start, i - start));
        if (stream[i] == '\r' && i + 1 < stream.size() && stream[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < stream.size())
        lines.push_back(stream.substr(start));
    return lines;
}

namespace {

unsigned unitAt(std::string_view stream, std::size_t at, bool bigEndian)
{
    const auto first = static_cast<unsigned char>(stream[at]), second = static_cast<unsigned char>(stream[at + 1]);
    return bigEndian ? first * 256u + second : second * 256u + first;
}

} // namespace

std::vector<std::string_view> ReferenceUtf16Lines(std::string_view stream, bool bigEndian)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0, i = 0;
    for (; i + 1 < stream.size(); i += 2) {
        const unsigned unit = unitAt(stream, i, bigEndian);
        if (unit != '\r' && unit != '\n')
            continue;
        lines.push_back(stream.substr(start, i - start));
        if (unit == '\r' && i + 3 < stream.size() && unitAt(stream, i + 2, bigEndian) == '\n')
            i += 2;
        start = i + 2;
    }
    if (start < stream.size())
        lines.push_back(stream.substr(start));
    return lines;
}

std::string ReferenceUtf16FirstColumn(std::string_view line, bool bigEndian)
{
    std::size_t i = 0;
    while (i + 1 < line.size() && (unitAt(line, i, bigEndian) == ' ' || unitAt(line, i, bigEndian) == '\t'))
        i += 2;
    std::string column;
    for (; i + 1 < line.size(); i += 2) {
        const unsigned unit = unitAt(line, i, bigEndian);
        if (unit < 33 || unit >= 0x80)
            break;
        column += char(unit);
    }
    return column;
}

std::string_view ReferenceFirstColumn(std::string_view line)
{
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
        line.remove_prefix(1);
    for (std::size_t i = 0; i < line.size(); ++i) {
        const auto byte = static_cast<unsigned char>(line[i]);
        if (byte < 33 || (byte >= 0x81 && byte <= 0xFE))
            return line.substr(0, i);
    }
    return line;
}

bool IsCompleteDecimal(std::string_view text)
{
    std::size_t i = 0;
    if (i < text.size() && isSign(text[i]))
        ++i;
    std::size_t digits = 0;
    for (; i < text.size() && isDigit(text[i]); ++i)
        ++digits;
    if (i < text.size() && text[i] == '.')
        ++i;
    for (; i < text.size() && isDigit(text[i]); ++i)
        ++digits;
    if (digits == 0)
        return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && isSign(text[i]))
            ++i;
        std::size_t exponentDigits = 0;
        for (; i < text.size() && isDigit(text[i]); ++i)
            ++exponentDigits;
        if (exponentDigits == 0)
            return false;
    }
    return i == text.size();
}

double ReferenceVal(std::string_view text)
{
    if (text.size() >= 2 && text[0] == '&' && (text[1] == 'H' || text[1] == 'h'))
        return radixValue(text.substr(2), 16);
    if (text.size() >= 2 && text[0] == '&' && (text[1] == 'O' || text[1] == 'o'))
        return radixValue(text.substr(2), 8);
    for (std::size_t length = text.size(); length > 0; --length) {
        if (IsCompleteDecimal(text.substr(0, length)))
            return cLocaleStrtod(std::string(text.substr(0, length)));
    }
    return 0;
}

std::string ResultBytes(const std::vector<std::string_view> &lines, std::string_view lineEnd)
{
    std::string bytes;
    for (const std::string_view line : lines) {
        bytes += line;
        bytes += lineEnd;
    }
    return bytes;
}
