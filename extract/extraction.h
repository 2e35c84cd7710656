// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "batchrun.h"
#include "extractbylines.h"
#include "extractbyvalue.h"

#include <QList>

#include <cstdint>

// Which lines of a file a run keeps: the mode of a pass and the numbers of
// its range, converted once from the settings at the start of a run.

enum class ExtractMode { ByLines, ByValue };

struct LineRanges
{
    std::int64_t StartLine;
    std::int64_t EndLine;
    bool ToLastLine;
    double LowValue;
    double HighValue;
};

LineRanges RangesOf(const BatchSettings &settings);

// The passes a run makes over the files, in order: by line numbers when
// ByLines is set, then by value when ByValue is set.
QList<ExtractMode> PassesOf(const BatchSettings &settings);

// Appends to `kept` the lines of `source` that the pass keeps. False when
// `kept` refused a line.
template <class Lines, class Sink>
bool ExtractLines(ExtractMode mode, const LineRanges &ranges, Lines &source, Sink &kept)
{
    return mode == ExtractMode::ByLines
        ? ExtractByLines(source, kept, ranges.StartLine, ranges.EndLine, ranges.ToLastLine)
        : ExtractByValue(source, kept, ranges.LowValue, ranges.HighValue);
}
