// SPDX-License-Identifier: GPL-3.0-or-later
// Both extractions, FirstColumnKey and LineReader's next() and runs, on bytes
// or UTF-16, through a buffer of 1 to 64 bytes and reads of 1 to 256 bytes so
// that lines and CR LF pairs straddle buffer ends and reads come short,
// against the reference lines and first column. The kept lines go through a
// ResultWriter into a file that is read back, byte order mark included; its
// buffer, twice the block size squared (4 bytes to 8 KiB), lines and runs
// fill, straddle and overflow in every way it has. Parameters: a byte (encoding
// = byte % 3, by value = byte / 3 % 2, ToLastLine = byte / 6 % 2); StartLine
// and EndLine (three bytes each); LowValue and HighValue (two bytes each, in
// eighths); a byte whose bits, taken in turn, choose for each read after a
// numbered range between next() (0) and a run (1): nextCrLfLines(), or
// nextLfLines() when the call's number is odd; the buffer and read sizes.

#include "harness.h"
#include "reference.h"

#include "extractbylines.h"
#include "extractbyvalue.h"
#include "resultfolder.h"
#include "resultwriter.h"

#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput input{{reinterpret_cast<const char *>(data), size}};
    const std::uint8_t choice = input.byte();
    const auto encoding = TextEncoding(choice % 3);
    const bool byValue = choice / 3 % 2, ToLastLine = choice / 6 % 2;
    const std::int64_t StartLine = input.lineNumber(), EndLine = input.lineNumber();
    const double LowValue = input.int16() / 8.0, HighValue = input.int16() / 8.0;
    const std::uint8_t calls = input.byte();
    const qsizetype blockSize = 1 + input.byte() % 64;
    const qint64 readSize = 1 + input.byte();
    const std::string_view stream = input.rest;
    TricklingDevice device(stream, readSize);
    LineReader reader(device, blockSize, encoding);

    const std::vector<std::string_view> lines = ReferenceLines(stream, encoding);
    std::string expected(ByteOrderMark(encoding));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string_view keyed = lines[i];
        if (i == 0 && encoding == TextEncoding::Bytes && keyed.starts_with("\xEF\xBB\xBF"))
            keyed.remove_prefix(3); // a UTF-8 byte order mark
        // A first column that does not end within LongestFirstColumn bytes
        // of a longer line, which a digit put behind them would lengthen, is
        // no number.
        std::string start(keyed.substr(0, LongestFirstColumn));
        if (encoding == TextEncoding::Bytes) // the reference ends a column at 0x80 and 0xFF too, no GBK lead bytes
            std::replace_if(start.begin(), start.end(), [](char c) { return c == '\x80' || c == '\xFF'; }, 'x');
        const std::string digit = encoding == TextEncoding::Bytes            ? std::string("0")
                                : encoding == TextEncoding::Utf16LittleEndian ? std::string("0\0", 2)
                                                                              : std::string("\0" "0", 2);
        const bool ends = keyed.size() <= LongestFirstColumn
                       || ReferenceFirstColumn(start, encoding) == ReferenceFirstColumn(start + digit, encoding);
        const std::optional<double> key = ReferenceVal(ends ? ReferenceFirstColumn(keyed, encoding) : std::string());
        const std::string_view column = keyed.size() <= LongestFirstColumn ? keyed : FirstColumnPart(keyed, encoding);
        Require(SameKey(encoding == TextEncoding::Bytes ? FirstColumnKey(column) : FirstColumnKey(column, encoding), key),
                "FirstColumnKey");
        const auto number = std::int64_t(i + 1);
        if (byValue ? key && *key >= LowValue && *key <= HighValue : number >= StartLine && (ToLastLine || number <= EndLine))
            expected.append(lines[i]).append(LineEnd(encoding));
    }
    static const QTemporaryDir folderPath;
    static const ResultFolder folder(folderPath.path());
    ResultWriter kept(folder, QStringLiteral("result"), std::max(2 * blockSize * blockSize, ResultWriter::MaxLineEndSize));
    Require(kept.open(QFile::ReadOwner | QFile::WriteOwner, encoding, {}), "open");
    Require(byValue ? ExtractByValue(reader, kept, LowValue, HighValue)
                    : ExtractByLines(reader, kept, StartLine, EndLine, ToLastLine),
            "refused");
    QFile result(folderPath.filePath(QStringLiteral("result")));
    Require(kept.commit() && result.open(QIODevice::ReadOnly) && result.readAll().toStdString() == expected, "kept lines");
    result.remove(); // so that the next result is new, not one that replaces it

    // A numbered range leaves the lines after EndLine unread.
    std::size_t i = byValue || ToLastLine ? lines.size() : std::size_t(std::clamp<std::int64_t>(EndLine, 0, lines.size()));
    std::string_view got;
    for (std::size_t call = 0; i < lines.size(); ++call) {
        const std::string_view lineEnd = call % 2 ? "\n" : "\r\n";
        if (calls >> call % 8 & 1 && (call % 2 ? reader.nextLfLines(got) : reader.nextCrLfLines(got))) {
            // The stream's next whole lines, each ending in `lineEnd`.
            Require(encoding == TextEncoding::Bytes, "a run of UTF-16");
            Require(stream.substr(lines[i].data() - stream.data(), got.size()) == got, "a run differs from the stream");
            std::string joined;
            while (i < lines.size() && joined.size() < got.size())
                joined.append(lines[i++]).append(lineEnd);
            Require(!got.empty() && got == joined, "a run holds other lines or line ends");
        } else {
            Require(reader.next(got), "a line after the range");
            std::string line(got);
            while (reader.lineGoesOn()) {
                Require(reader.next(got), "the rest of a line");
                line.append(got);
            }
            Require(line == lines[i++], "a line after the range");
        }
    }
    Require(!reader.nextCrLfLines(got) && !reader.nextLfLines(got), "a run after the end");
    Require(!reader.next(got) && !reader.next(got), "a line after the end");
    Require(!reader.failed(), "reading failed");
    return 0;
}
