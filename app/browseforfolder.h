// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

// Opens the folder dialog, modal to `owner` and headed by `title`, and gives
// the chosen folder's path, or empty text when the user cancels.
QString BrowseForFolder(QWidget *owner, const QString &title);
