#pragma once

#include <QString>

#include <cstdint>
#include <string_view>

// The number reading of a line's first column: the longest leading part of
// the bytes that forms a decimal number (sign, digits with at most one point,
// exponent), or &H / &O followed by hexadecimal or octal digits. Anything
// that does not begin with a number gives 0.
double Val(std::string_view text);

// The conversions of the window's number fields. Both accept exactly: spaces
// or tabs around, an optional sign, digits with at most one point among or
// around them, an optional exponent. The point is the decimal separator in
// every locale. Anything else, and anything out of range, gives 0.
std::int16_t FieldToInt16(const QString &text);
double FieldToDouble(const QString &text);
