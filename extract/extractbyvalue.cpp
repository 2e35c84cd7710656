#include "extractbyvalue.h"

#include "numbers.h"

double FirstColumnKey(std::string_view line)
{
    std::size_t start = 0;
    while (start < line.size() && (line[start] == ' ' || line[start] == '\t'))
        ++start;
    // Val reads only signs, digits, points, exponents and &H / &O digits, and
    // no such byte ends the first column: reading from its start is reading
    // the column alone.
    return Val(line.substr(start));
}

std::string_view WithoutByteOrderMark(std::string_view firstLine)
{
    constexpr std::string_view Utf8ByteOrderMark = "\xEF\xBB\xBF";
    if (firstLine.starts_with(Utf8ByteOrderMark))
        firstLine.remove_prefix(Utf8ByteOrderMark.size());
    return firstLine;
}
