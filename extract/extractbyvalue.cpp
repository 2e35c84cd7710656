#include "extractbyvalue.h"

#include "numbers.h"

namespace {

bool isBlank(char byte)
{
    return byte == ' ' || byte == '\t';
}

bool endsFirstColumn(unsigned char byte)
{
    return byte < 33 || (byte >= 0x81 && byte <= 0xFE);
}

} // namespace

double FirstColumnKey(std::string_view line)
{
    std::size_t start = 0;
    while (start < line.size() && isBlank(line[start]))
        ++start;
    std::size_t end = start;
    while (end < line.size() && !endsFirstColumn(static_cast<unsigned char>(line[end])))
        ++end;
    return Val(line.substr(start, end - start));
}

std::string_view WithoutByteOrderMark(std::string_view firstLine)
{
    constexpr std::string_view Utf8ByteOrderMark = "\xEF\xBB\xBF";
    if (firstLine.starts_with(Utf8ByteOrderMark))
        firstLine.remove_prefix(Utf8ByteOrderMark.size());
    return firstLine;
}
