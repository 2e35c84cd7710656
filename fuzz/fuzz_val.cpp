// SPDX-License-Identifier: GPL-3.0-or-later
// Val against the reference on any bytes. libFuzzer hands over a buffer of
// exactly the input's size, so AddressSanitizer stops any read past the text.

#include "reference.h"
#include "require.h"

#include "numbers.h"

#include <cmath>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const double value = Val(text);
    Require(!std::isnan(value), "Val gave NaN");
    Require(value == ReferenceVal(text), "Val");
    return 0;
}
