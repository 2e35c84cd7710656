#include "extractbyvalue.h"

#include "numbers.h"

namespace {

bool endsFirstColumn(unsigned char byte)
{
    return byte < 33 || (byte >= 0x81 && byte <= 0xFE);
}

} // namespace

double FirstColumnKey(std::string_view line)
{
    std::size_t length = 0;
    while (length < line.size() && !endsFirstColumn(static_cast<unsigned char>(line[length])))
        ++length;
    return Val(line.substr(0, length));
}
