#pragma once

// A tmpfs mounted over a folder for the life of the object, for tests that
// need a file system of their own (a small one that fills up). Mounting
// needs root; whyNot() tells why it did not happen.

#include <QFile>
#include <QString>

#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <unistd.h>

class TmpfsMount
{
public:
    TmpfsMount(const QString &where, const char *options) : m_where(QFile::encodeName(where))
    {
        if (::geteuid() != 0)
            m_whyNot = QStringLiteral("mounting a file system needs root");
        else if (::mount("tmpfs", m_where.constData(), "tmpfs", 0, options) != 0)
            m_whyNot = QStringLiteral("cannot mount a tmpfs: %1")
                           .arg(QString::fromLocal8Bit(std::strerror(errno)));
    }
    ~TmpfsMount()
    {
        if (m_whyNot.isEmpty())
            ::umount2(m_where.constData(), MNT_DETACH);
    }
    TmpfsMount(const TmpfsMount &) = delete;
    TmpfsMount &operator=(const TmpfsMount &) = delete;

    QString whyNot() const { return m_whyNot; }

private:
    QByteArray m_where;
    QString m_whyNot;
};
