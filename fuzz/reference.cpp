// SPDX-License-Identifier: GPL-3.0-or-later
#include "reference.h"

#include <QRegularExpression>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <locale.h>

using namespace Qt::StringLiterals;

namespace {

// Optional sign, digits with at most one point (at least one digit),
// optional exponent with digits; \d is ASCII digits alone.
const QString Decimal = u"[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?"_s;

// The &H or &O digits at the front of `text`: up to 0xFFFF as 16-bit signed,
// up to 0xFFFFFFFF as 32-bit signed, else 0; nothing without digits.
std::optional<double> radixValue(std::string_view text, std::string_view digitsOfBase, int base)
{
    std::string_view digits = text.substr(0, text.find_first_not_of(digitsOfBase));
    if (digits.empty())
        return std::nullopt;
    digits.remove_prefix(std::min(digits.find_first_not_of('0'), digits.size()));
    if (digits.size() > 16) // beyond 64 bits, so beyond 32 bits too
        return 0;
    const unsigned long long value = std::strtoull(std::string(digits).c_str(), nullptr, base);
    if (value <= 0xFFFF)
        return std::int16_t(std::uint16_t(value));
    return value <= 0xFFFFFFFF ? std::int32_t(std::uint32_t(value)) : 0;
}

// The code unit at `at`: a byte, or two in the encoding's order.
unsigned unitAt(std::string_view text, std::size_t at, TextEncoding encoding)
{
    const unsigned first = static_cast<unsigned char>(text[at]);
    if (encoding == TextEncoding::Bytes)
        return first;
    const unsigned second = static_cast<unsigned char>(text[at + 1]);
    return encoding == TextEncoding::Utf16BigEndian ? first << 8 | second : second << 8 | first;
}

} // namespace

std::vector<std::string_view> ReferenceLines(std::string_view stream, TextEncoding encoding)
{
    const std::size_t size = UnitSize(encoding);
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i + size <= stream.size(); i += size) {
        const unsigned unit = unitAt(stream, i, encoding);
        if (unit != '\r' && unit != '\n')
            continue;
        lines.push_back(stream.substr(start, i - start));
        if (unit == '\r' && i + 2 * size <= stream.size() && unitAt(stream, i + size, encoding) == '\n')
            i += size;
        start = i + size;
    }
    if (start < stream.size())
        lines.push_back(stream.substr(start));
    return lines;
}

// The engine ends a byte line's column at bytes 0x81 to 0xFE rather than at
// every byte from 0x80 up; none of those is part of a number, so Val reads
// the same.
std::string ReferenceFirstColumn(std::string_view line, TextEncoding encoding)
{
    std::string column;
    for (std::size_t i = 0; i + UnitSize(encoding) <= line.size(); i += UnitSize(encoding)) {
        const unsigned unit = unitAt(line, i, encoding);
        if (column.empty() && (unit == ' ' || unit == '\t'))
            continue; // a leading blank, since a blank ends the column
        if (unit < 33 || unit >= 0x80)
            break;
        column += char(unit);
    }
    return column;
}

bool IsCompleteDecimal(std::string_view text)
{
    static const QRegularExpression complete(QRegularExpression::anchoredPattern(Decimal));
    return complete.match(QString::fromLatin1(text.data(), qsizetype(text.size()))).hasMatch();
}

std::optional<double> ReferenceVal(std::string_view text)
{
    if (text.starts_with("&H") || text.starts_with("&h"))
        return radixValue(text.substr(2), "0123456789abcdefABCDEF", 16);
    if (text.starts_with("&O") || text.starts_with("&o"))
        return radixValue(text.substr(2), "01234567", 8);
    // The greedy pattern finds the longest decimal number at the front;
    // strtod reads it in the "C" locale, whatever locale the process is in.
    static const QRegularExpression front(u"^"_s + Decimal);
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    const QString number = front.match(QString::fromLatin1(text.data(), qsizetype(text.size()))).captured();
    if (number.isEmpty())
        return std::nullopt;
    return strtod_l(number.toLatin1().constData(), nullptr, cLocale);
}
