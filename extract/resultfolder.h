// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "filestatus.h"

#include <QFile>
#include <QString>

// What stands at a result's name, looked at without following a link.
struct EarlierFile
{
    enum class Kind { None, Link, Folder, Regular, Other };
    Kind Type = Kind::None;
    QString Reason; // why the name could not be looked at; Type is then None
    FileIdentity Identity;
    uint Owner = 0, Group = 0;
    bool Foreign = false; // it belongs to another user than the one running the program
    QFile::Permissions Permissions;
};

// The folder a run writes its results into, held open from the start of the
// run where the platform allows (POSIX), so that every result, temporary
// file, clean-up and the final sync refer to that folder even when it is
// renamed or replaced meanwhile. Names given are plain names within it.
class ResultFolder
{
public:
    explicit ResultFolder(const QString &path);
    ~ResultFolder();
    ResultFolder(const ResultFolder &) = delete;
    ResultFolder &operator=(const ResultFolder &) = delete;

    // Why the folder could not be opened, in the system's words; empty when
    // it is open.
    QString errorString() const { return m_error; }

    EarlierFile look(const QString &name) const;
    // Why the process may not write into the file `name`; empty when it may.
    QString whyNotWritable(const QString &name) const;
    // Creates the file `name`, which must not exist, and opens it in `file`
    // for writing; the system's reason when it cannot.
    QString create(const QString &name, QFile::Permissions permissions, QFile &file) const;
    QString rename(const QString &from, const QString &to) const;
    void remove(const QString &name) const;
    // Gives the open `file` the extended attributes of `name`, access
    // control lists included, where the platform has them.
    QString copyExtendedAttributes(const QString &name, QFile &file) const;
#ifdef Q_OS_LINUX
    // Puts everything written to the folder's file system on disk, names
    // included: one wait however many results it took.
    QString syncFileSystem() const;
#else
    // Puts the file `name` on disk.
    QString sync(const QString &name) const;
#endif

#ifdef Q_OS_UNIX
    int handle() const { return m_handle; }
#else
    QString pathOf(const QString &name) const { return m_path + u'/' + name; }
#endif

private:
    QString m_error;
#ifdef Q_OS_UNIX
    int m_handle = -1; // -1 when the folder could not be opened
#else
    QString m_path;
#endif
};
