// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "linereader.h"

#include <cstdint>

// Appends to `kept` every line left in `source`. A sink that can do better
// overloads it: the result writer passes runs of lines through in one piece.
// `Lines` is a LineReader, or a wrapper that hands on its lines.
template <class Lines, class Sink>
bool AppendRemainingLines(Lines &source, Sink &kept)
{
    std::string_view line;
    while (source.next(line)) {
        if (!kept.append(line))
            return false;
    }
    return true;
}

// Appends to `kept` the lines from StartLine to EndLine (both inclusive), or
// from StartLine to the last line when ToLastLine is set. Lines after EndLine
// are not read. False when `kept` refused a line.
template <class Lines, class Sink>
bool ExtractByLines(Lines &source, Sink &kept, std::int64_t StartLine, std::int64_t EndLine,
                    bool ToLastLine)
{
    std::string_view line;
    if (ToLastLine) {
        for (std::int64_t LineNumber = 1; LineNumber < StartLine; ++LineNumber) {
            if (!source.next(line))
                return true;
        }
        return AppendRemainingLines(source, kept);
    }
    for (std::int64_t LineNumber = 1; LineNumber <= EndLine && source.next(line); ++LineNumber) {
        if (LineNumber >= StartLine && !kept.append(line))
            return false;
    }
    return true;
}
