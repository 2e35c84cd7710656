// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// The current folder and the data files listed in it.
struct FolderState
{
    QString FolderPath;
    QStringList FileNames;

    qsizetype FileCount() const { return FileNames.size(); }
};

// Lists the regular files directly in FolderPath whose names end in .txt,
// .asc or .dat (in any case) into FileNames: all .txt names first, then .asc,
// then .dat, each group sorted by the bytes of the names. Hidden files (and
// on Windows system files) and folders are left out; a folder that cannot be
// read gives an empty list.
// A name that is not valid UTF-8 is listed with each byte above 127 as the
// lone surrogate U+DC00 + byte, which a run reports instead of opening.
void ScanFolder(FolderState &state);

// True for the lone surrogate that stands for a byte of such a name.
inline bool IsEscapedByte(QChar c) { return c.unicode() >= 0xDC80 && c.unicode() <= 0xDCFF; }

// The bytes of a name that is not valid UTF-8 as such a listing holds them.
QString EscapedName(const QByteArray &bytes);
