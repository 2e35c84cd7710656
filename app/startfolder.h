// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "folderstate.h"

// The folder the window opens on when it is given none, scanned: the
// program's own folder when it holds data files (the program kept beside
// its data), otherwise the working directory, which is where a desktop menu
// or a terminal starts it.
FolderState StartFolder(const QString &programFolder, const QString &workingFolder);
