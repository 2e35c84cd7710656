// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// `path` as Windows' own file calls take it (CreateFileW, MoveFileExW and
// the like), also when it is longer than they take in its plain form.
QString Win32Path(const QString &path);
