// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
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

    // A line number: mostly near zero, sometimes near either end of the
    // 64-bit range.
    std::int64_t lineNumber()
    {
        const std::int64_t near = int16();
        switch (byte() % 4) {
        case 1: return std::numeric_limits<std::int64_t>::max() - (near < 0 ? -near : near);
        case 2: return std::numeric_limits<std::int64_t>::min() + (near < 0 ? -near : near);
        default: return near;
        }
    }

    std::string_view rest() const { return m_rest; }

private:
    std::string_view m_rest;
};
