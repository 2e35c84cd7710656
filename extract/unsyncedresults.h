// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

// The system's reason when the open file's data could not be made durable;
// empty when it is on disk.
QString SyncToDisk(int handle);

// Results that took a free name without waiting for the disk: no earlier
// file is at stake for them, so they are made durable together, once, at the
// end of the run instead of one wait per file.
class UnsyncedResults
{
public:
    struct Failure
    {
        QString FileName, Path, Reason;
    };

    void add(const QString &FileName, const QString &path);

    // Puts every added result on disk: on Linux by one sync of each file
    // system written to, elsewhere file by file. Gives those that could not
    // be, with the system's reason, and forgets them all.
    QList<Failure> syncAll();

private:
    struct Result
    {
        QString FileName, Path;
    };
    QList<Result> m_results;
};
