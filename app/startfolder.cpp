// SPDX-License-Identifier: GPL-3.0-or-later
#include "startfolder.h"

FolderState StartFolder(const QString &programFolder, const QString &workingFolder)
{
    FolderState state{programFolder, {}};
    ScanFolder(state);
    if (state.FileNames.isEmpty()) {
        state.FolderPath = workingFolder;
        ScanFolder(state);
    }
    return state;
}
