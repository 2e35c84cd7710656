// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QCoreApplication;

// Puts Qt's own texts (the folder dialog, the boxes' context menus, the
// buttons of message boxes) into the system's language, where Qt has a
// translation for it; otherwise they stay English.
void InstallQtTranslation(QCoreApplication &app);
