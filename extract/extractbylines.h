#pragma once

#include "linereader.h"

#include <cstdint>

// Appends to `kept` the lines from StartLine to EndLine (both inclusive), or
// from StartLine to the last line when toLastLine is set. Lines after EndLine
// are not read. False when `kept` refused a line.
template <class Sink>
bool ExtractByLines(LineReader &source, Sink &kept, std::int16_t StartLine, std::int16_t EndLine,
                    bool ToLastLine)
{
    std::string_view line;
    if (ToLastLine) {
        for (std::int64_t LineNumber = 1; source.next(line); ++LineNumber) {
            if (LineNumber >= StartLine && !kept.append(line))
                return false;
        }
        return true;
    }
    for (int LineNumber = 1; LineNumber <= EndLine && source.next(line); ++LineNumber) {
        if (LineNumber >= StartLine && !kept.append(line))
            return false;
    }
    return true;
}
