// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Plain whole-buffer versions of the engine's rules, written for checking it:
// short, slow and obviously right rather than fast.

// The lines of a stream: a line ends at CR LF, at CR or at LF, a last line
// without terminator is a line, no bytes give no line.
std::vector<std::string_view> ReferenceLines(std::string_view stream);

// The same rule over UTF-16 code units in the given order; an odd last byte
// belongs to the last line.
std::vector<std::string_view> ReferenceUtf16Lines(std::string_view stream, bool bigEndian);

// The ASCII text of a UTF-16 line's first column: after leading blank and
// tab units, the units up to the first below 33 or from 0x80 up.
std::string ReferenceUtf16FirstColumn(std::string_view line, bool bigEndian);

// The bytes of a line after its leading blanks and tabs, up to the first
// byte below 33 or from 0x81 to 0xFE.
std::string_view ReferenceFirstColumn(std::string_view line);

// Whether all of `text` is one decimal number: optional sign, digits with at
// most one point (at least one digit), optional exponent with digits.
bool IsCompleteDecimal(std::string_view text);

// The number a text begins with, by trying its prefixes from the longest;
// &H and &O literals as 16-bit signed, else 32-bit signed, else 0.
double ReferenceVal(std::string_view text);

// The kept lines as a result holds them: each followed by `lineEnd`.
std::string ResultBytes(const std::vector<std::string_view> &lines, std::string_view lineEnd = "\r\n");
