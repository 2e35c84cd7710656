#pragma once

#include "linereader.h"

#include <cstdint>

// Appends to `kept` the lines from StartLine to EndLine (both inclusive), or
// from StartLine to the last line when toLastLine is set. Lines after EndLine
// are not read. False when `kept` refused a line.
template <class Sink>
bool ExtractByLines(LineReader &source, Sink &kept, std::int64_t StartLine, std::int64_t EndLine,
                    bool ToLastLine)
{
    std::string_view line;
    if (ToLastLine) {
        for (std::int64_t LineNumber = 1; LineNumber < StartLine; ++LineNumber) {
            if (!source.next(line))
                return true;
        }
        // Every further line is kept: lines that already end in CR LF pass
        // through in runs, the others are given their CR LF one by one.
        for (;;) {
            if (source.nextCrLfLines(line)) {
                if (!kept.appendLines(line))
                    return false;
            } else if (!source.next(line)) {
                return true;
            } else if (!kept.append(line)) {
                return false;
            }
        }
    }
    for (std::int64_t LineNumber = 1; LineNumber <= EndLine && source.next(line); ++LineNumber) {
        if (LineNumber >= StartLine && !kept.append(line))
            return false;
    }
    return true;
}
