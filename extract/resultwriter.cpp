// SPDX-License-Identifier: GPL-3.0-or-later
#include "resultwriter.h"

#include "interruptcleanup.h"
#include "linereader.h"
#include "resultfolder.h"
#include "systemerror.h"
#include "unsyncedresults.h"

#include <QRandomGenerator>

#include <algorithm>

#include <cstdio>
#include <utility>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <fcntl.h>
#endif

using namespace Qt::StringLiterals;

namespace {

// How much written data may wait in the page cache before its write-back to
// disk is started.
constexpr qint64 WritebackStep = 8 << 20;

// Bits that QFileInfo sets for the user running the program, not stored
// with the file.
constexpr QFile::Permissions CurrentUserBits = QFile::ReadUser | QFile::WriteUser | QFile::ExeUser;

// Why the file at a result's name must not be replaced; empty when it may
// be. A symbolic link is never followed.
QString whyNotReplaceable(const EarlierFile &earlier)
{
    switch (earlier.Type) {
    case EarlierFile::Kind::None: return earlier.Reason;
    case EarlierFile::Kind::Link: return ReasonFor(Refusal::SymbolicLink);
    case EarlierFile::Kind::Folder: return ReasonFor(Refusal::IsDirectory);
    case EarlierFile::Kind::Other: return ReasonFor(Refusal::NotRegularFile);
    case EarlierFile::Kind::Regular: break;
    }
    return {};
}

// Gives the open file the owner, group and permission bits of `earlier`:
// owner and group where the process may set them, else it stays the
// process's own. The system's reason when the bits cannot be set.
QString keepOwnerAndMode(QFile &file, const EarlierFile &earlier)
{
#ifdef Q_OS_UNIX
    [[maybe_unused]] const int ignored = ::fchown(file.handle(), earlier.Owner, earlier.Group);
    // After the owner: changing the owner may clear some mode bits.
    if (::fchmod(file.handle(), ModeOf(earlier.Permissions)) != 0)
        return LastSystemError();
    return {};
#else
    return file.setPermissions(earlier.Permissions & ~CurrentUserBits) ? QString() : ReasonOf(file);
#endif
}

} // namespace

ResultWriter::ResultWriter(const ResultFolder &folder, const QString &name, qsizetype bufferSize)
    : m_folder(folder), m_name(name)
{
    Q_ASSERT(bufferSize >= MaxLineEndSize);
    m_buffer.resize(bufferSize);
}

ResultWriter::~ResultWriter()
{
    discardTemporaryFile();
}

bool ResultWriter::open(QFile::Permissions newFilePermissions, TextEncoding encoding, const FileIdentity &source)
{
    if (const QString why = m_folder.errorString(); !why.isEmpty())
        return fail(why);
    const EarlierFile earlier = m_folder.look(m_name);
    if (const QString why = whyNotReplaceable(earlier); !why.isEmpty())
        return fail(why);
    if (!createTemporaryFile(newFilePermissions & ~CurrentUserBits))
        return false;
    m_replacesEarlier = earlier.Type == EarlierFile::Kind::Regular;
    if (m_replacesEarlier && !keepAttributesOf(earlier, source))
        return false;
    const std::string_view lineEnd = LineEnd(encoding), mark = ByteOrderMark(encoding);
    Q_ASSERT(qsizetype(lineEnd.size()) <= MaxLineEndSize && qsizetype(mark.size()) <= MaxLineEndSize);
    std::memcpy(m_lineEnd, lineEnd.data(), lineEnd.size());
    m_lineEndSize = qsizetype(lineEnd.size());
    std::memcpy(m_buffer.data(), mark.data(), mark.size());
    m_used = m_markSize = qsizetype(mark.size());
    return true;
}

// Beside the result, so that the rename stays on one file system. The name
// is short and fixed in length, so that it fits wherever the result's does.
// It is made known before the file is created, so that a signal between
// the two leaves nothing behind.
bool ResultWriter::createTemporaryFile(QFile::Permissions permissions)
{
    for (int attempt = 0; attempt < 8; ++attempt) {
        const QString suffix = QString::number(QRandomGenerator::global()->generate64(), 36);
        m_temporaryName = u".tarvel-"_s + suffix + u".tmp"_s;
        TemporaryFileStarted(m_folder, m_temporaryName);
        const QString reason = m_folder.create(m_temporaryName, permissions, m_temporary);
        if (reason.isEmpty()) {
            m_temporaryExists = true;
            TemporaryFileOpened(m_temporary);
            return true;
        }
        TemporaryFileGone();
        if (m_folder.look(m_temporaryName).Type == EarlierFile::Kind::None)
            return fail(reason);
    }
    return fail(ReasonFor(Refusal::FileExists));
}

bool ResultWriter::keepAttributesOf(const EarlierFile &earlier, const FileIdentity &source)
{
    // The folder took a new file, so what stops the write is the earlier
    // file's own protection, as it would stop writing into it.
    if (const QString why = m_folder.whyNotWritable(m_name); !why.isEmpty())
        return fail(why);
    // Another user's file, left where a result goes, must not make the
    // process's data theirs, nor readable by more people than its source
    // allows; replacing that user's file in place keeps it theirs.
    if (earlier.Foreign && earlier.Identity != source)
        return true;
    if (const QString why = keepOwnerAndMode(m_temporary, earlier); !why.isEmpty())
        return fail(why);
    if (const QString why = m_folder.copyExtendedAttributes(m_name, m_temporary); !why.isEmpty())
        return fail(why);
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
    m_folder.remove(m_temporaryName);
    TemporaryFileGone();
}

// Every byte reaches the file through here.
bool ResultWriter::writeOut(const char *data, qint64 size)
{
    Q_ASSERT(!m_failed); // a failed result's file is gone
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
    Q_ASSERT(m_used <= m_buffer.size());
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
    if (const QString why = whyNotReplaceable(m_folder.look(m_name)); !why.isEmpty())
        return fail(why);
    if (const QString why = m_folder.rename(m_temporaryName, m_name); !why.isEmpty())
        return fail(why);
    m_temporaryExists = false;
    TemporaryFileGone();
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
        } else if (!(source.lineGoesOn() ? kept.appendPart(lines) : kept.append(lines))) {
            return false; // the pieces that follow come through here, or begin a run
        }
    }
}
