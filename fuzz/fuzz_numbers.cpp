// SPDX-License-Identifier: GPL-3.0-or-later
// Val against the reference on any bytes, then FieldToDouble and
// FieldToLineNumber on the same bytes read as UTF-8 (full-width digits and
// other non-ASCII included) against the field rule.

#include "harness.h"
#include "reference.h"

#include "numbers.h"

#include <cerrno>
#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // Val gets libFuzzer's buffer of exactly the input's size, so that
    // AddressSanitizer stops any read past the text.
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    Require(SameKey(Val(bytes), ReferenceVal(bytes)), "Val");

    // A field holds a number when it is all ASCII, and blanks and tabs around
    // one complete decimal number that is finite.
    const QString text = QString::fromUtf8(bytes.data(), qsizetype(size));
    std::string field = text.toStdString();
    field.erase(0, field.find_first_not_of(" \t"));
    field.erase(field.find_last_not_of(" \t") + 1);
    const bool ascii = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 128; });
    const double number = ascii && IsCompleteDecimal(field) ? *ReferenceVal(field) : NAN;
    const bool isNumber = std::isfinite(number);
    Require(FieldToDouble(text) == (isNumber ? number : 0), "FieldToDouble");

    // Whole numbers are exact line numbers, through strtoll; others are
    // rounded from the double, halves to even; 0 outside the 64-bit range.
    std::int64_t lineNumber = 0;
    if (isNumber && field.find_first_of(".eE") == std::string::npos) {
        errno = 0;
        lineNumber = std::strtoll(field.c_str(), nullptr, 10);
        lineNumber = errno == ERANGE ? 0 : lineNumber;
    } else if (isNumber) {
        const double below = std::floor(number), fraction = number - below;
        const double rounded = fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2) != 0) ? below + 1 : below;
        lineNumber = rounded >= -0x1p63 && rounded < 0x1p63 ? std::int64_t(rounded) : 0;
    }
    Require(FieldToLineNumber(text) == lineNumber, "FieldToLineNumber");
    return 0;
}
