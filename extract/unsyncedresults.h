// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

class ResultFolder;

// The system's reason when the open file's data could not be made durable;
// empty when it is on disk.
QString SyncToDisk(int handle);

// The results a run has renamed to their names, new ones and replacements
// alike: their names are put on disk together, once, at the end of the run,
// instead of one wait per file.
class UnsyncedResults
{
public:
    struct Failure
    {
        QString FileName, Path, Reason;
    };

    // `name` is the result's name in `folder`, `path` the result's path as
    // the run was given it.
    void add(const QString &FileName, const QString &name, const QString &path);

    // Puts every added result of `folder` on disk: on Linux by one sync of
    // its file system, elsewhere file by file. Gives those that could not
    // be, with the system's reason, and forgets them all.
    QList<Failure> syncAll(const ResultFolder &folder);

private:
    struct Result
    {
        QString FileName, Name, Path;
    };
    QList<Result> m_results;
};
