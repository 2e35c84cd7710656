// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

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

// Appends to `kept` every line whose first-column key lies in
// [LowValue, HighValue], unchanged; a line whose key is NaN is never kept.
// False when `kept` refused a line.
template <class Lines, class Sink>
bool ExtractByValue(Lines &source, Sink &kept, double LowValue, double HighValue)
{
    const TextEncoding encoding = source.encoding();
    std::string_view line;
    for (bool firstLine = true; source.next(line); firstLine = false) {
        const double key = encoding == TextEncoding::Bytes
            ? FirstColumnKey(firstLine ? WithoutByteOrderMark(line) : line)
            : FirstColumnKey(line, encoding);
        if (key >= LowValue && key <= HighValue && !kept.append(line))
            return false;
    }
    return true;
}
