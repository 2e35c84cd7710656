// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "linereader.h"

#include <cstdint>

// Reads past the rest of a line that next() handed out in pieces.
template <class Lines>
void SkipRestOfLine(Lines &source)
{
    std::string_view piece;
    while (source.lineGoesOn() && source.next(piece)) {
    }
}

// Appends to `kept` the line that next() handed out last as `piece`, with
// the pieces that follow it when it goes on. False when `kept` refused it;
// when reading fails, true with the line unfinished (see failed()).
template <class Lines, class Sink>
bool AppendLine(Lines &source, Sink &kept, std::string_view piece)
{
    while (source.lineGoesOn()) {
        if (!kept.appendPart(piece))
            return false;
        if (!source.next(piece))
            return true;
    }
    return kept.append(piece);
}

// Appends to `kept` every line left in `source`. A sink that can do better
// overloads it: the result writer passes runs of lines through in one piece.
// `Lines` is a LineReader, or a wrapper that hands on its lines.
template <class Lines, class Sink>
bool AppendRemainingLines(Lines &source, Sink &kept)
{
    std::string_view line;
    while (source.next(line)) {
        if (!AppendLine(source, kept, line))
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
            SkipRestOfLine(source);
        }
        return AppendRemainingLines(source, kept);
    }
    for (std::int64_t LineNumber = 1; LineNumber <= EndLine && source.next(line); ++LineNumber) {
        if (LineNumber < StartLine)
            SkipRestOfLine(source);
        else if (!AppendLine(source, kept, line))
            return false;
    }
    return true;
}
