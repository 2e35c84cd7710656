#include "resultwriter.h"

#ifdef Q_OS_LINUX
#include <fcntl.h>
#endif

#include <utility>

namespace {

// How much written data may wait in the page cache before its write-back to
// disk is started.
constexpr qint64 WritebackStep = 8 << 20;

} // namespace

ResultWriter::ResultWriter(const QString &path, bool mayWriteDirectly, qsizetype bufferSize)
    : m_file(path)
{
    m_file.setDirectWriteFallback(mayWriteDirectly);
    m_buffer.resize(bufferSize);
}

bool ResultWriter::open()
{
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        fail();
    return !m_failed;
}

void ResultWriter::fail()
{
    m_failed = true;
    m_error = m_file.errorString();
}

QString ResultWriter::errorString() const
{
    return m_failed ? m_error : m_file.errorString();
}

// Every byte reaches the file through here.
bool ResultWriter::writeOut(const char *data, qint64 size)
{
    if (m_file.write(data, size) != size) {
        fail();
        return false;
    }
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
    ::sync_file_range(m_file.handle(), m_writebackFrom, m_written - m_writebackFrom,
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
    if (qsizetype(line.size()) + 2 <= m_buffer.size())
        return append(line);
    return writeOut(line.data(), qint64(line.size())) && writeOut("\r\n", 2);
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
    if (!flush()) {
        m_file.cancelWriting();
        m_file.commit(); // discards the temporary file
        return false;
    }
    if (!m_file.commit()) {
        fail();
        return false;
    }
    return true;
}
