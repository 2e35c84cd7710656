#pragma once

#include "linereader.h"

#include <string_view>

// The number in a line's first column: the bytes before the first byte below
// 33 (control characters, tab, space) or from 0x81 to 0xFE (the lead byte of
// a double-byte character), read by Val. A line without such a byte is all
// first column.
double FirstColumnKey(std::string_view line);

// Appends to `kept` every line whose first-column key lies in
// [LowValue, HighValue]. False when `kept` refused a line.
template <class Sink>
bool ExtractByValue(LineReader &source, Sink &kept, double LowValue, double HighValue)
{
    std::string_view line;
    while (source.next(line)) {
        const double key = FirstColumnKey(line);
        if (key >= LowValue && key <= HighValue && !kept.append(line))
            return false;
    }
    return true;
}
