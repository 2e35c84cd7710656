// SPDX-License-Identifier: GPL-3.0-or-later
// LineReader through a small buffer and short reads against the whole-buffer
// line rule. The first byte's bits, taken in turn, choose for each call
// between next() (0) and a run (1): nextCrLfLines(), or nextLfLines() when
// the call's number is odd.

#include "reference.h"
#include "require.h"
#include "smallbufferstream.h"

#include <cstdint>

namespace {

// Where a view into the stream begins, as an offset into the stream.
std::size_t offsetIn(std::string_view stream, std::string_view part)
{
    return std::size_t(part.data() - stream.data());
}

// Checks that a run is the stream's bytes from the line `first` on, made of
// whole lines that each end in `lineEnd` (CR LF, or a lone LF); gives the
// number of lines it held.
std::size_t linesOfRun(std::string_view stream, const std::vector<std::string_view> &lines,
                       std::size_t first, std::string_view run, std::string_view lineEnd)
{
    const std::size_t begin = offsetIn(stream, lines[first]);
    Require(stream.substr(begin, run.size()) == run, "a run differs from the stream");
    std::size_t count = 0;
    for (std::size_t i = first; i < lines.size(); ++i) {
        const std::size_t lineEndAt = offsetIn(stream, lines[i]) + lines[i].size();
        Require(stream.substr(lineEndAt, lineEnd.size()) == lineEnd, "a run holds a line with another end");
        ++count;
        const std::size_t end = lineEndAt + lineEnd.size();
        if (end - begin == run.size())
            return count;
        Require(end - begin < run.size(), "a run ends inside a line");
    }
    Require(false, "a run goes past the last line");
    return count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput input(data, size);
    const std::uint8_t calls = input.byte();
    SmallBufferStream stream(input);
    const std::vector<std::string_view> lines = ReferenceLines(stream.bytes);

    std::string_view got;
    for (std::size_t i = 0, call = 0; i < lines.size(); ++call) {
        const bool lineFeeds = call % 2;
        if ((calls >> (call % 8)) & 1
            && (lineFeeds ? stream.reader.nextLfLines(got) : stream.reader.nextCrLfLines(got))) {
            Require(!got.empty(), "an empty run");
            i += linesOfRun(stream.bytes, lines, i, got, lineFeeds ? "\n" : "\r\n");
            continue;
        }
        Require(stream.reader.next(got), "a line is missing");
        Require(got == lines[i], "a line differs");
        ++i;
    }
    Require(!stream.reader.nextCrLfLines(got) && !stream.reader.nextLfLines(got), "a run after the end");
    Require(!stream.reader.next(got), "a line too many");
    Require(!stream.reader.next(got), "a line after the end");
    Require(!stream.reader.failed(), "reading failed");
    return 0;
}
