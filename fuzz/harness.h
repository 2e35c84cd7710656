// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIODevice>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <string_view>

// Stops the run when the engine and the reference disagree; libFuzzer then
// keeps the input that made them disagree.
inline void Require(bool holds, const char *what)
{
    if (!holds) {
        std::fprintf(stderr, "engine and reference disagree: %s\n", what);
        std::abort();
    }
}

// Whether the engine's key, NaN for no number, is the reference's.
inline bool SameKey(double engine, std::optional<double> reference)
{
    return reference ? engine == *reference : std::isnan(engine);
}

// A fuzzer's input: parameters taken from its front, then the rest as the
// data under test.
struct FuzzInput
{
    std::string_view rest;

    // The next byte; 0 once the input is used up.
    std::uint8_t byte()
    {
        if (rest.empty())
            return 0;
        const auto value = static_cast<std::uint8_t>(rest.front());
        rest.remove_prefix(1);
        return value;
    }

    std::int16_t int16() // low byte first
    {
        const std::uint8_t low = byte();
        return static_cast<std::int16_t>(low | byte() << 8);
    }

    // Mostly near zero, sometimes near either end of the 64-bit range.
    std::int64_t lineNumber()
    {
        const std::int64_t near = int16(), distance = near < 0 ? -near : near;
        switch (byte() % 4) {
        case 1: return std::numeric_limits<std::int64_t>::max() - distance;
        case 2: return std::numeric_limits<std::int64_t>::min() + distance;
        default: return near;
        }
    }
};

// A device over bytes in memory that hands out at most `readSize` bytes per
// read, as a pipe or a slow disk may.
struct TricklingDevice : QIODevice
{
    TricklingDevice(std::string_view bytes, qint64 readSize) : unread(bytes), readSize(readSize)
    {
        open(ReadOnly | Unbuffered); // so that each read of the reader is one readData()
    }

    bool isSequential() const override { return true; }
    qint64 writeData(const char *, qint64) override { return -1; }
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 count = std::min({maxSize, readSize, qint64(unread.size())});
        std::memcpy(data, unread.data(), count);
        unread.remove_prefix(count);
        return count;
    }

    std::string_view unread;
    qint64 readSize;
};
