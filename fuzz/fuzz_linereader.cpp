// LineReader through a small buffer and short reads against the whole-buffer
// line rule.

#include "reference.h"
#include "require.h"
#include "smallbufferstream.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput input(data, size);
    SmallBufferStream stream(input);
    std::string_view line;
    for (const std::string_view expected : ReferenceLines(stream.bytes)) {
        Require(stream.reader.next(line), "a line is missing");
        Require(line == expected, "a line differs");
    }
    Require(!stream.reader.next(line), "a line too many");
    Require(!stream.reader.next(line), "a line after the end");
    Require(!stream.reader.failed(), "reading failed");
    return 0;
}
