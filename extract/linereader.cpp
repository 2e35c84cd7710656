#include "linereader.h"

#include <QIODevice>

#include <cstring>

LineReader::LineReader(QIODevice &source, qsizetype blockSize)
    : m_source(source)
{
    m_buffer.resize(blockSize);
}

QString LineReader::errorString() const
{
    return m_source.errorString();
}

// Keeps the unread bytes, moved to the front, and reads behind them; the
// buffer doubles when a single line fills it. False when nothing more came.
bool LineReader::refill()
{
    if (m_atEnd)
        return false;
    if (m_begin > 0) {
        std::memmove(m_buffer.data(), m_buffer.constData() + m_begin, m_end - m_begin);
        m_end -= m_begin;
        m_begin = 0;
    }
    if (m_end == m_buffer.size())
        m_buffer.resize(m_buffer.size() * 2);
    const qint64 got = m_source.read(m_buffer.data() + m_end, m_buffer.size() - m_end);
    if (got <= 0) {
        m_atEnd = true;
        m_failed = got < 0;
        return false;
    }
    m_end += got;
    return true;
}

bool LineReader::next(std::string_view &line)
{
    if (m_begin == m_end && !refill())
        return false;
    if (m_skipLineFeed) {
        m_skipLineFeed = false;
        if (m_buffer[m_begin] == '\n') {
            ++m_begin;
            if (m_begin == m_end && !refill())
                return false;
        }
    }
    qsizetype searched = m_begin;
    for (;;) {
        const char *data = m_buffer.constData();
        const void *cr = std::memchr(data + searched, '\r', m_end - searched);
        if (cr) {
            const qsizetype at = static_cast<const char *>(cr) - data;
            line = std::string_view(data + m_begin, at - m_begin);
            m_begin = at + 1;
            m_skipLineFeed = true;
            return true;
        }
        searched = m_end - m_begin; // offset of the unsearched tail after refill
        if (!refill()) {
            if (m_failed)
                return false;
            line = std::string_view(m_buffer.constData() + m_begin, m_end - m_begin);
            m_begin = m_end;
            return true;
        }
    }
}
