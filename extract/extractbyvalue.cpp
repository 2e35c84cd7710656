// SPDX-License-Identifier: GPL-3.0-or-later
#include "extractbyvalue.h"

#include "numbers.h"

#include <QVarLengthArray>

double FirstColumnKey(std::string_view line)
{
    std::size_t start = 0;
    while (start < line.size() && (line[start] == ' ' || line[start] == '\t'))
        ++start;
    // Val reads only signs, digits, points, exponents and &H / &O digits, and
    // no such byte ends the first column: reading from its start is reading
    // the column alone.
    return Val(line.substr(start));
}

double FirstColumnKey(std::string_view line, TextEncoding encoding)
{
    const bool bigEndian = encoding == TextEncoding::Utf16BigEndian;
    const auto unitAt = [&](std::size_t at) {
        const auto first = static_cast<unsigned char>(line[at]), second = static_cast<unsigned char>(line[at + 1]);
        return bigEndian ? char16_t(first << 8 | second) : char16_t(second << 8 | first);
    };
    std::size_t at = 0;
    while (at + 1 < line.size() && (unitAt(at) == u' ' || unitAt(at) == u'\t'))
        at += 2;
    // The column's units are ASCII, so their low bytes are its text.
    QVarLengthArray<char, 256> column;
    for (; at + 1 < line.size(); at += 2) {
        const char16_t unit = unitAt(at);
        if (unit < 33 || unit >= 0x80)
            break;
        column.append(char(unit));
    }
    return Val(std::string_view(column.constData(), column.size()));
}

std::string_view WithoutByteOrderMark(std::string_view firstLine)
{
    constexpr std::string_view Utf8ByteOrderMark = "\xEF\xBB\xBF";
    if (firstLine.starts_with(Utf8ByteOrderMark))
        firstLine.remove_prefix(Utf8ByteOrderMark.size());
    return firstLine;
}

std::string_view FirstColumnPart(std::string_view line, TextEncoding encoding)
{
    const std::string_view start = line.substr(0, LongestFirstColumn);
    const int unit = UnitSize(encoding);
    const bool bigEndian = encoding == TextEncoding::Utf16BigEndian;
    // A UTF-16 unit's high byte, or a byte; and its low byte.
    const auto high = [&](std::size_t at) { return unit == 1 ? 0 : static_cast<unsigned char>(start[at + !bigEndian]); };
    const auto low = [&](std::size_t at) { return static_cast<unsigned char>(start[at + (unit == 2 && bigEndian)]); };
    std::size_t at = 0;
    while (at + unit <= start.size() && high(at) == 0 && (low(at) == ' ' || low(at) == '\t'))
        at += unit;
    for (; at + unit <= start.size(); at += unit) {
        const bool ends = unit == 1 ? low(at) < 33 || (low(at) >= 0x81 && low(at) <= 0xFE)
                                    : high(at) != 0 || low(at) < 33 || low(at) >= 0x80;
        if (ends)
            return start;
    }
    return {};
}
