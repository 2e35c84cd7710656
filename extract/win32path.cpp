// SPDX-License-Identifier: GPL-3.0-or-later
#include "win32path.h"

#include <QDir>
#include <QFileInfo>

#include <windows.h>

using namespace Qt::StringLiterals;

// Made absolute, as the call would resolve it now. From MAX_PATH characters
// on, a plain path fails unless the program and the system both allow long
// ones; the "\\?\" form has no such limit on any Windows, but is taken as it
// stands, so the path is cleaned of "." and ".." first, as Windows would.
QString Win32Path(const QString &path)
{
    const QString absolute = QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    if (absolute.size() < MAX_PATH)
        return absolute;
    if (absolute.startsWith(u"\\\\"_s))
        return u"\\\\?\\UNC\\"_s + absolute.sliced(2);
    return u"\\\\?\\"_s + absolute;
}
