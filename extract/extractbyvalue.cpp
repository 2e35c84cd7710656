// SPDX-License-Identifier: GPL-3.0-or-later
#include "extractbyvalue.h"

#include "numbers.h"

#include <QVarLengthArray>

namespace {

// The code unit at byte `at` of a line: a byte, or a UTF-16 unit in the
// encoding's order.
char16_t unitAt(std::string_view line, std::size_t at, TextEncoding encoding)
{
    const auto first = static_cast<unsigned char>(line[at]);
    switch (encoding) {
    case TextEncoding::Utf16LittleEndian: return char16_t(static_cast<unsigned char>(line[at + 1]) << 8 | first);
    case TextEncoding::Utf16BigEndian: return char16_t(first << 8 | static_cast<unsigned char>(line[at + 1]));
    case TextEncoding::Bytes: break;
    }
    return first;
}

// Whether the unit ends a first column: a control character, a blank, or a
// Chinese character (in bytes, the lead byte of a double-byte one).
bool endsFirstColumn(char16_t unit, TextEncoding encoding)
{
    return unit < 33 || (encoding == TextEncoding::Bytes ? unit >= 0x81 && unit <= 0xFE : unit >= 0x80);
}

// The first column of a line as byte offsets: it begins past the blank and
// tab units at the start, and ends at the first unit that ends it (`ended`)
// or at the last whole unit of the line.
struct ColumnSpan
{
    std::size_t begin, end;
    bool ended;
};

ColumnSpan firstColumnSpan(std::string_view line, TextEncoding encoding)
{
    const std::size_t unit = UnitSize(encoding);
    const auto unitIs = [&](std::size_t at, char16_t value) { return unitAt(line, at, encoding) == value; };
    std::size_t at = 0;
    while (at + unit <= line.size() && (unitIs(at, u' ') || unitIs(at, u'\t')))
        at += unit;
    const std::size_t begin = at;
    while (at + unit <= line.size() && !endsFirstColumn(unitAt(line, at, encoding), encoding))
        at += unit;
    return {begin, at, at + unit <= line.size()};
}

} // namespace

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
    // The column's units are ASCII, so their low bytes are its text. A run
    // hands over at most LongestFirstColumn bytes, which fit without
    // allocating.
    const ColumnSpan span = firstColumnSpan(line, encoding);
    QVarLengthArray<char, LongestFirstColumn / 2> column;
    for (std::size_t at = span.begin; at < span.end; at += 2)
        column.append(char(unitAt(line, at, encoding)));
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
    return firstColumnSpan(start, encoding).ended ? start : std::string_view();
}
