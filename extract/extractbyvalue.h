// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "extractbylines.h"
#include "linereader.h"

#include <string_view>

// The number in a line's first column, read by Val. Blanks and tabs at the
// start of the line are skipped; the first column is then the bytes up to the
// first byte below 33 (control characters, tab, space) or from 0x81 to 0xFE
// (the lead byte of a double-byte character), or to the end of the line.
// NaN when the column does not begin with a number: a header, a comment or a
// blank line is no measurement, and no value range holds NaN.
double FirstColumnKey(std::string_view line);

// The same for a line of UTF-16 code units: blank and tab units are skipped,
// and the first column ends at the first unit below 33 or from 0x80 up.
double FirstColumnKey(std::string_view line, TextEncoding encoding);

// The line without the UTF-8 byte order mark that a file's first line may
// begin with.
std::string_view WithoutByteOrderMark(std::string_view firstLine);

// A line's first column is read only within its first LongestFirstColumn
// bytes (after a UTF-8 byte order mark), which the reader hands out whole: a
// column that does not end there is no number.
constexpr std::size_t LongestFirstColumn = 4 << 10;
static_assert(LineReader::ShortestPiece >= LongestFirstColumn + 3);

// The start of the line that holds its first column, or nothing when the
// column does not end within LongestFirstColumn bytes.
std::string_view FirstColumnPart(std::string_view line, TextEncoding encoding);

// Appends to `kept` every line whose first-column key lies in
// [LowValue, HighValue], unchanged; a line whose key is NaN is never kept.
// False when `kept` refused a line.
template <class Lines, class Sink>
bool ExtractByValue(Lines &source, Sink &kept, double LowValue, double HighValue)
{
    const TextEncoding encoding = source.encoding();
    std::string_view line;
    for (bool firstLine = true; source.next(line); firstLine = false) {
        const std::string_view keyed = firstLine && encoding == TextEncoding::Bytes ? WithoutByteOrderMark(line) : line;
        const std::string_view column =
            keyed.size() <= LongestFirstColumn && !source.lineGoesOn() ? keyed : FirstColumnPart(keyed, encoding);
        const double key = encoding == TextEncoding::Bytes ? FirstColumnKey(column) : FirstColumnKey(column, encoding);
        if (!(key >= LowValue && key <= HighValue))
            SkipRestOfLine(source); // NaN too
        else if (!AppendLine(source, kept, line))
            return false;
    }
    return true;
}
