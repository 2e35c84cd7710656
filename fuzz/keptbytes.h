// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

// An extraction's sink that keeps the bytes a result file would receive.
struct KeptBytes
{
    bool append(std::string_view line)
    {
        bytes += line;
        bytes += lineEnd;
        return true;
    }

    std::string_view lineEnd = "\r\n";
    std::string bytes;
};
