// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "textencoding.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Plain whole-buffer versions of the engine's rules, written for checking it:
// short, slow and obviously right rather than fast.

// The lines of a stream of code units: a line ends at CR LF, at CR or at LF,
// a last line without terminator is a line (an odd last byte of UTF-16
// included), no bytes give no line.
std::vector<std::string_view> ReferenceLines(std::string_view stream, TextEncoding encoding);

// The ASCII text of a line's first column: after leading blank and tab
// units, the units up to the first below 33 or from 0x80 up.
std::string ReferenceFirstColumn(std::string_view line, TextEncoding encoding);

// Whether all of `text` is one decimal number: optional sign, digits with at
// most one point (at least one digit), optional exponent with digits.
bool IsCompleteDecimal(std::string_view text);

// The number a text begins with: the longest decimal number at its front, or
// &H and &O literals as 16-bit signed, else 32-bit signed, else 0; nothing
// when the text begins with neither.
std::optional<double> ReferenceVal(std::string_view text);
