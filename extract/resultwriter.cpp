#include "resultwriter.h"

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

bool ResultWriter::flush()
{
    if (m_failed)
        return false;
    if (m_used > 0 && m_file.write(m_buffer.constData(), m_used) != m_used)
        fail();
    m_used = 0;
    return !m_failed;
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
    const qint64 size = qint64(line.size());
    if (m_file.write(line.data(), size) != size || m_file.write("\r\n", 2) != 2)
        fail();
    return !m_failed;
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
    if (!flush())
        return false;
    if (m_file.write(lines.data(), size) != size)
        fail();
    return !m_failed;
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
