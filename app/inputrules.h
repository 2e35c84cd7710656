// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// What the filtered number boxes let a typed character through for.
enum class InputRule {
    LineNumber,     // digits
    LastLineNumber, // digits and "*", the last line
    Value,          // digits and the decimal point
};

// True when `rule` accepts the typed character code `KeyAscii`. Backspace
// passes every rule; every other control character, and every code outside
// 0..127, is refused.
bool IsAccepted(InputRule rule, std::int16_t KeyAscii);

// Cancels the keystroke (sets the code to 0) unless `rule` accepts it.
void ApplyInputRule(InputRule rule, std::int16_t &KeyAscii);
