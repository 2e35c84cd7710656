// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdio>
#include <cstdlib>

// Stops the run when the engine and the reference disagree; libFuzzer then
// keeps the input that made them disagree.
inline void Require(bool holds, const char *what)
{
    if (!holds) {
        std::fprintf(stderr, "engine and reference disagree: %s\n", what);
        std::abort();
    }
}
