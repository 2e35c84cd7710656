// SPDX-License-Identifier: GPL-3.0-or-later
// ExtractByLines through a small buffer against the line range applied to the
// reference lines. Parameters: StartLine and EndLine (three bytes each), then
// ToLastLine (lowest bit of a byte), then the stream's buffer and read sizes.

#include "keptbytes.h"
#include "reference.h"
#include "require.h"
#include "smallbufferstream.h"

#include "extractbylines.h"

#include <algorithm>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput input(data, size);
    const std::int64_t StartLine = input.lineNumber();
    const std::int64_t EndLine = input.lineNumber();
    const bool ToLastLine = input.byte() & 1;
    SmallBufferStream stream(input);

    const std::vector<std::string_view> lines = ReferenceLines(stream.bytes);
    std::vector<std::string_view> expected;
    for (std::size_t number = 1; number <= lines.size(); ++number) {
        const auto n = std::int64_t(number);
        if (n >= StartLine && (ToLastLine || n <= EndLine))
            expected.push_back(lines[number - 1]);
    }

    KeptBytes kept;
    Require(ExtractByLines(stream.reader, kept, StartLine, EndLine, ToLastLine), "refused");
    Require(kept.bytes == ResultBytes(expected), "kept lines");

    // In a numbered range the lines after EndLine are left unread.
    const std::size_t read = ToLastLine
        ? lines.size()
        : std::size_t(std::min<std::int64_t>(std::int64_t(lines.size()), std::max<std::int64_t>(EndLine, 0)));
    std::string_view line;
    for (std::size_t i = read; i < lines.size(); ++i)
        Require(stream.reader.next(line) && line == lines[i], "the lines after the range");
    Require(!stream.reader.next(line), "a line after the end");
    return 0;
}
