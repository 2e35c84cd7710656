#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// A fuzzer's input as parameter bytes taken from its front, then the rest as
// the data under test.
class FuzzInput
{
public:
    FuzzInput(const std::uint8_t *data, std::size_t size)
        : m_rest(reinterpret_cast<const char *>(data), size)
    {
    }

    // The next parameter byte; 0 once the input is used up.
    std::uint8_t byte()
    {
        if (m_rest.empty())
            return 0;
        const auto value = static_cast<std::uint8_t>(m_rest.front());
        m_rest.remove_prefix(1);
        return value;
    }

    // Two parameter bytes, low byte first.
    std::int16_t int16()
    {
        const std::uint8_t low = byte();
        return static_cast<std::int16_t>(low | (byte() << 8));
    }

    std::string_view rest() const { return m_rest; }

private:
    std::string_view m_rest;
};
