// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// A listed source that a result of a run would replace.
struct ReplacedSource
{
    QString Name;       // the listed file whose result it is
    QString ResultPath;
    QString SourceName; // a listed source it is the same file as
    bool OwnSource;     // that file is its own source and no other listed one
};

// Every result of a run, in list order, that is the same file as a listed
// source, through symbolic and hard links alike. A result that is another
// listed source would take that source's place, before or after it is read.
// One look at each file, so that large folders stay fast.
QList<ReplacedSource> FindReplacedSources(const QString &SavePrefix, const QString &FolderPath,
                                          const QStringList &FileNames);
