// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFile>
#include <QHashFunctions>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

// What tells one file from another, whatever names it has: two names of one
// file give equal identities. All zero where the platform gives none.
struct FileIdentity
{
    quint64 Device = 0, Inode = 0;
    bool operator==(const FileIdentity &) const = default;
};

inline size_t qHash(const FileIdentity &identity, size_t seed = 0)
{
    return qHashMulti(seed, identity.Device, identity.Inode);
}

#ifdef Q_OS_UNIX
inline FileIdentity IdentityOf(const struct stat &status)
{
    return {quint64(status.st_dev), quint64(status.st_ino)};
}

// The owner, group and other bits of a mode, as Qt names them; the bits of
// the user running the program are left out, as they are not stored.
inline QFile::Permissions PermissionsOf(mode_t mode)
{
    return QFile::Permissions::fromInt(int((mode & 0700) << 6 | (mode & 070) << 1 | (mode & 07)));
}

inline mode_t ModeOf(QFile::Permissions permissions)
{
    const int bits = permissions.toInt();
    return mode_t((bits >> 6 & 0700) | (bits >> 1 & 070) | (bits & 07));
}
#endif
