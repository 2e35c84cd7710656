// SPDX-License-Identifier: GPL-3.0-or-later
#include "resultwriter.h"

#include "linereader.h"
#include "systemerror.h"
#include "unsyncedresults.h"

#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>

#include <cstdio>
#include <utility>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <fcntl.h>
#endif
#ifdef Q_OS_WIN
#include "win32path.h"

#include <io.h>
#include <windows.h>
#endif

using namespace Qt::StringLiterals;

namespace {

// How much written data may wait in the page cache before its write-back to
// disk is started.
constexpr qint64 WritebackStep = 8 << 20;

// Bits that QFileInfo sets for the user running the program, not stored
// with the file.
constexpr QFile::Permissions CurrentUserBits = QFile::ReadUser | QFile::WriteUser | QFile::ExeUser;

// Why the file at `target` must not be replaced; empty when it may be. The
// checks look at the name itself: a symbolic link is never followed.
QString whyNotReplaceable(const QFileInfo &target)
{
    if (target.isSymLink())
        return ReasonFor(Refusal::SymbolicLink);
    if (target.isDir())
        return ReasonFor(Refusal::IsDirectory);
    if (target.exists() && !target.isFile())
        return ReasonFor(Refusal::NotRegularFile);
    return {};
}

// Puts `from` in the place of `to` in one step. A link named `to` is
// replaced itself, never followed. Returns the system's reason on failure.
QString replaceFile(const QString &from, const QString &to)
{
#ifdef Q_OS_WIN
    const QString nativeFrom = Win32Path(from), nativeTo = Win32Path(to);
    if (!::MoveFileExW(reinterpret_cast<const wchar_t *>(nativeFrom.utf16()),
                       reinterpret_cast<const wchar_t *>(nativeTo.utf16()),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return LastSystemError();
#else
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        return LastSystemError();
#endif
    return {};
}

// Gives the open file the owner and group of `earlier` where the process
// may; where it may not, the file stays the process's own.
void keepOwner(int handle, const QFileInfo &earlier)
{
#ifdef Q_OS_UNIX
    [[maybe_unused]] const int ignored = ::fchown(handle, earlier.ownerId(), earlier.groupId());
#else
    Q_UNUSED(handle);
    Q_UNUSED(earlier);
#endif
}

} // namespace

ResultWriter::ResultWriter(const QString &path, qsizetype bufferSize)
    : m_path(path)
{
    m_buffer.resize(bufferSize);
}

ResultWriter::~ResultWriter()
{
    discardTemporaryFile();
}

bool ResultWriter::open(QFile::Permissions newFilePermissions, TextEncoding encoding)
{
    const QFileInfo earlier(m_path);
    if (const QString why = whyNotReplaceable(earlier); !why.isEmpty())
        return fail(why);
    if (!createTemporaryFile(newFilePermissions & ~CurrentUserBits))
        return false;
    m_replacesEarlier = earlier.exists();
    if (m_replacesEarlier && !keepAttributesOf(earlier))
        return false;
    const std::string_view lineEnd = LineEnd(encoding), mark = ByteOrderMark(encoding);
    std::memcpy(m_lineEnd, lineEnd.data(), lineEnd.size());
    m_lineEndSize = qsizetype(lineEnd.size());
    std::memcpy(m_buffer.data(), mark.data(), mark.size());
    m_used = m_markSize = qsizetype(mark.size());
    return true;
}

// Beside the result, so that the rename stays on one file system. The name
// is short and fixed in length, so that it fits wherever the result's does.
bool ResultWriter::createTemporaryFile(QFile::Permissions permissions)
{
    const QString folder = QFileInfo(m_path).path();
    for (int attempt = 0; attempt < 8; ++attempt) {
        const QString suffix = QString::number(QRandomGenerator::global()->generate64(), 36);
        m_temporary.setFileName(folder + u"/.tarvel-"_s + suffix + u".tmp"_s);
        // NewOnly creates the file or fails; it never opens one that is there.
        if (m_temporary.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered, permissions)) {
            m_temporaryExists = true;
            return true;
        }
        const QString reason = ReasonOf(m_temporary);
        if (!QFileInfo::exists(m_temporary.fileName()))
            return fail(reason);
    }
    return fail(ReasonFor(Refusal::FileExists));
}

bool ResultWriter::keepAttributesOf(const QFileInfo &earlier)
{
    // The folder took a new file, so what stops the write is the earlier
    // file's own protection, as it would stop writing into it.
    if (!earlier.isWritable())
        return fail(ReasonFor(Refusal::AccessDenied));
    keepOwner(m_temporary.handle(), earlier);
    // After the owner: changing the owner may clear some mode bits.
    if (!m_temporary.setPermissions(earlier.permissions() & ~CurrentUserBits))
        return fail(ReasonOf(m_temporary));
    return true;
}

bool ResultWriter::fail(const QString &reason)
{
    m_failed = true;
    m_error = reason;
    discardTemporaryFile();
    return false;
}

void ResultWriter::discardTemporaryFile()
{
    if (!std::exchange(m_temporaryExists, false))
        return;
    m_temporary.close();
    QFile::remove(m_temporary.fileName());
}

// Every byte reaches the file through here.
bool ResultWriter::writeOut(const char *data, qint64 size)
{
    if (m_temporary.write(data, size) != size)
        return fail(ReasonOf(m_temporary));
    m_written += size;
    startWriteback();
    return true;
}

// The commit waits until the result is on disk. Starting the write-back as
// the data comes, instead of all of it at the commit, lets the disk work
// while the source is still being read.
void ResultWriter::startWriteback()
{
#ifdef Q_OS_LINUX
    if (m_written - m_writebackFrom < WritebackStep)
        return;
    ::sync_file_range(m_temporary.handle(), m_writebackFrom, m_written - m_writebackFrom,
                      SYNC_FILE_RANGE_WRITE);
    m_writebackFrom = m_written;
#endif
}

bool ResultWriter::flush()
{
    if (m_failed)
        return false;
    const qsizetype used = std::exchange(m_used, 0);
    return used == 0 || writeOut(m_buffer.constData(), used);
}

// A line that does not fit behind the buffered ones: flush them, then keep
// the line in the buffer or, when it is larger than the buffer, write it
// straight through.
bool ResultWriter::appendSlow(std::string_view line)
{
    if (!flush())
        return false;
    if (qsizetype(line.size()) + MaxLineEndSize <= m_buffer.size())
        return append(line);
    return writeOut(line.data(), qint64(line.size())) && writeOut(m_lineEnd, m_lineEndSize);
}

// Large runs of lines go straight from the reader's buffer to the file; small
// ones are gathered in the buffer so that each write stays large.
bool ResultWriter::appendLines(std::string_view lines)
{
    const qsizetype size = qsizetype(lines.size());
    if (m_used + size <= m_buffer.size() / 2) {
        std::memcpy(m_buffer.data() + m_used, lines.data(), size);
        m_used += size;
        return true;
    }
    return flush() && writeOut(lines.data(), size);
}

bool ResultWriter::commit()
{
    if (!flush())
        return false;
    // An earlier file's only copy is at stake: the new one must be on disk
    // before it takes that file's name.
    if (m_replacesEarlier) {
        if (const QString why = SyncToDisk(m_temporary.handle()); !why.isEmpty())
            return fail(why);
    }
    m_temporary.close();
    if (m_temporary.error() != QFileDevice::NoError)
        return fail(ReasonOf(m_temporary));
    // Once more, as late as can be: a link put there while the file was
    // written is not replaced either.
    if (const QString why = whyNotReplaceable(QFileInfo(m_path)); !why.isEmpty())
        return fail(why);
    if (const QString why = replaceFile(m_temporary.fileName(), m_path); !why.isEmpty())
        return fail(why);
    m_temporaryExists = false;
    return true;
}

// Lines that each end in a lone LF, given CR LF instead, in one tight loop
// over the buffer: at most as many bytes at a time as fit in it twice over,
// which even a run of empty lines does.
bool ResultWriter::appendLfLines(std::string_view lines)
{
    while (!lines.empty()) {
        if (m_buffer.size() - m_used < 2 * MaxLineEndSize && !flush())
            return false;
        const std::size_t take = std::min<std::size_t>(lines.size(), (m_buffer.size() - m_used) / 2);
        const char *in = lines.data(), *const end = in + take;
        char *out = m_buffer.data() + m_used;
        while (const void *found = std::memchr(in, '\n', end - in)) {
            const auto lineFeed = static_cast<const char *>(found);
            copyLine(out, std::string_view(in, lineFeed - in));
            out += lineFeed - in;
            *out++ = '\r';
            *out++ = '\n';
            in = lineFeed + 1;
        }
        copyLine(out, std::string_view(in, end - in)); // the start of a line the next take ends
        out += end - in;
        m_used = out - m_buffer.data();
        lines.remove_prefix(take);
    }
    return true;
}

bool AppendRemainingLines(LineReader &source, ResultWriter &kept)
{
    std::string_view lines;
    for (;;) {
        if (source.nextCrLfLines(lines)) {
            if (!kept.appendLines(lines))
                return false;
        } else if (source.nextLfLines(lines)) {
            if (!kept.appendLfLines(lines))
                return false;
        } else if (!source.next(lines)) {
            return true;
        } else if (!kept.append(lines)) {
            return false;
        }
    }
}
