// SPDX-License-Identifier: GPL-3.0-or-later
// ExtractByValue and FirstColumnKey through a small buffer against the
// reference first column and Val. Parameters: LowValue and HighValue (two
// bytes each, in eighths), then the stream's buffer and read sizes.

#include "keptbytes.h"
#include "reference.h"
#include "require.h"
#include "smallbufferstream.h"

#include "extractbyvalue.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput input(data, size);
    const double LowValue = input.int16() / 8.0;
    const double HighValue = input.int16() / 8.0;
    SmallBufferStream stream(input);

    std::vector<std::string_view> expected;
    const std::vector<std::string_view> lines = ReferenceLines(stream.bytes);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        std::string_view keyed = line; // the first line without a UTF-8 byte order mark
        if (i == 0 && keyed.substr(0, 3) == "\xEF\xBB\xBF")
            keyed.remove_prefix(3);
        const double key = ReferenceVal(ReferenceFirstColumn(keyed));
        Require(FirstColumnKey(keyed) == key, "FirstColumnKey");
        if (key >= LowValue && key <= HighValue)
            expected.push_back(line);
    }

    KeptBytes kept;
    Require(ExtractByValue(stream.reader, kept, LowValue, HighValue), "refused");
    Require(kept.bytes == ResultBytes(expected), "kept lines");
    return 0;
}
