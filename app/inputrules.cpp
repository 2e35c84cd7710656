// SPDX-License-Identifier: GPL-3.0-or-later
#include "inputrules.h"

#include <string_view>

namespace {

constexpr std::int16_t Backspace = 8;

// The printable characters each rule accepts, indexed by the rule.
constexpr std::string_view AcceptedCharacters[] = {
    "0123456789",  // LineNumber
    "0123456789*", // LastLineNumber
    "0123456789.", // Value
};

} // namespace

bool IsAccepted(InputRule rule, std::int16_t KeyAscii)
{
    if (KeyAscii == Backspace)
        return true;
    if (KeyAscii < 32 || KeyAscii > 126)
        return false;
    const std::string_view accepted = AcceptedCharacters[static_cast<int>(rule)];
    return accepted.find(static_cast<char>(KeyAscii)) != std::string_view::npos;
}

void ApplyInputRule(InputRule rule, std::int16_t &KeyAscii)
{
    if (!IsAccepted(rule, KeyAscii))
        KeyAscii = 0;
}
