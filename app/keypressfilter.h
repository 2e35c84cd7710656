// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QChar>

#include <cstdint>
#include <functional>

class QWidget;

// Sees the code of a character typed into a box before the box takes it;
// setting the code to 0 cancels the keystroke.
using KeyPressHandler = std::function<void(std::int16_t &KeyAscii)>;

// The code a key handler sees for a typed character: its ASCII code, or a
// negative number for any character outside 0..127.
std::int16_t TypedCharacterCode(QChar character);

// Hands every character typed into `box` to `handler` first. Keys that type
// no character (arrows, Delete, Home...) and Tab / Shift+Tab, which move the
// focus, are left alone. Input methods are turned off in `box`, since text
// they compose would reach it without a keystroke.
void InstallKeyPressHandler(QWidget *box, KeyPressHandler handler);
