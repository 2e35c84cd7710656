// SPDX-License-Identifier: GPL-3.0-or-later
// Both extraction modes on UTF-16 streams (odd lengths, surrogates, CR and
// LF units split across blocks) through a small buffer, against the line and
// first-column rules applied to the stream's code units. Parameters: one
// byte whose bits choose big-endian, by value and to the last line; StartLine
// and EndLine (three bytes each), LowValue and HighValue (two bytes each, in
// eighths); then the stream's buffer and read sizes.

#include "keptbytes.h"
#include "reference.h"
#include "require.h"
#include "smallbufferstream.h"

#include "extractbylines.h"
#include "extractbyvalue.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput input(data, size);
    const std::uint8_t choice = input.byte();
    const bool bigEndian = choice & 1, byValue = choice & 2, ToLastLine = choice & 4;
    const std::int64_t StartLine = input.lineNumber();
    const std::int64_t EndLine = input.lineNumber();
    const double LowValue = input.int16() / 8.0;
    const double HighValue = input.int16() / 8.0;
    const TextEncoding encoding = bigEndian ? TextEncoding::Utf16BigEndian : TextEncoding::Utf16LittleEndian;
    SmallBufferStream stream(input, encoding);

    const std::vector<std::string_view> lines = ReferenceUtf16Lines(stream.bytes, bigEndian);
    std::vector<std::string_view> expected;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (byValue) {
            const double key = ReferenceVal(ReferenceUtf16FirstColumn(lines[i], bigEndian));
            Require(FirstColumnKey(lines[i], encoding) == key, "FirstColumnKey");
            if (key >= LowValue && key <= HighValue)
                expected.push_back(lines[i]);
        } else {
            const auto number = std::int64_t(i + 1);
            if (number >= StartLine && (ToLastLine || number <= EndLine))
                expected.push_back(lines[i]);
        }
    }

    KeptBytes kept{LineEnd(encoding)};
    Require(byValue ? ExtractByValue(stream.reader, kept, LowValue, HighValue)
                    : ExtractByLines(stream.reader, kept, StartLine, EndLine, ToLastLine),
            "refused");
    Require(kept.bytes == ResultBytes(expected, LineEnd(encoding)), "kept lines");
    return 0;
}
