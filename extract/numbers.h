// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <string_view>

// The number reading of a line's first column: the longest leading part of
// the bytes that forms a decimal number (sign, digits with at most one point,
// exponent), or &H / &O followed by hexadecimal or octal digits. NaN when the
// text does not begin with a number, that is when no digit starts it, after
// its sign and point or after &H / &O: NaN compares false with every bound, so
// no value range holds it, at no cost to the line loop. A number is never NaN.
double Val(std::string_view text);

// The numbers typed into the window's fields. A field holds a number when its
// text is exactly: spaces or tabs around, an optional sign, digits with at
// most one point among or around them, an optional exponent. The point is the
// decimal separator in every locale.

// The field's number; nothing when the text is not one or is not finite.
std::optional<double> FieldNumber(const QString &text);

// The field's number rounded to a line number (halves to even); nothing when
// the text is not a number or lies outside the 64-bit range. Whole numbers
// are exact over the whole range, others up to 2^53.
std::optional<std::int64_t> FieldLineNumber(const QString &text);

// As the window takes its fields: 0 for a text that gives no number.
std::int64_t FieldToLineNumber(const QString &text);
double FieldToDouble(const QString &text);
