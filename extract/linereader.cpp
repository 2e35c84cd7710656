#include "linereader.h"

#include <QIODevice>

#include <algorithm>
#include <cstring>

namespace {

// Where the last CR LF of the bytes ends, or nullptr when they hold none.
const char *endOfLastCrLf(const char *begin, const char *end)
{
    for (const char *at = end - 1; at > begin; --at) {
        if (*at == '\n' && at[-1] == '\r')
            return at + 1;
    }
    return nullptr;
}

} // namespace

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
        m_nextCr = std::max<qsizetype>(m_nextCr - m_begin, 0);
        m_nextLf = std::max<qsizetype>(m_nextLf - m_begin, 0);
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
    noteLineEnds();
    return true;
}

// One branch-free pass over the unread bytes, so that the compiler can
// vectorise it. A CR as the last byte is left out: no line search goes past
// it without a refill. An LF as the first byte is lone unless it belongs to
// the CR that ended the previous line.
void LineReader::noteLineEnds()
{
    const char *begin = m_buffer.constData() + m_begin;
    const char *end = m_buffer.constData() + m_end;
    unsigned char loneCr = 0, loneLf = begin[0] == '\n' && !m_skipLineFeed;
    for (const char *at = begin; at + 1 < end; ++at) {
        loneCr |= (at[0] == '\r') & (at[1] != '\n');
        loneLf |= (at[0] != '\r') & (at[1] == '\n');
    }
    m_loneCr = loneCr;
    m_loneLf = loneLf;
}

// Makes the next line's first byte available, past the LF of a CR LF that
// ended the previous line. False at the end of the stream.
bool LineReader::startLine()
{
    if (m_begin == m_end && !refill())
        return false;
    if (m_skipLineFeed) {
        m_skipLineFeed = false;
        if (m_buffer.constData()[m_begin] == '\n') {
            ++m_begin;
            if (m_begin == m_end && !refill())
                return false;
        }
    }
    return true;
}

// The offset of the next `byte` at or after m_begin, or m_end when the
// buffer holds none; `found` remembers the answer between calls.
qsizetype LineReader::find(char byte, qsizetype &found)
{
    found = std::max(found, m_begin);
    const char *data = m_buffer.constData();
    if (found < m_end && data[found] != byte) {
        const void *at = std::memchr(data + found, byte, m_end - found);
        found = at ? static_cast<const char *>(at) - data : m_end;
    }
    return found;
}

bool LineReader::nextCrLfLines(std::string_view &lines)
{
    if (!startLine() || m_loneCr || m_loneLf) // startLine() may refill
        return false;
    const char *begin = m_buffer.constData() + m_begin;
    const char *end = endOfLastCrLf(begin, m_buffer.constData() + m_end);
    if (!end)
        return false;
    lines = std::string_view(begin, end - begin);
    m_begin += end - begin;
    return true;
}

bool LineReader::nextSlow(std::string_view &line)
{
    if (!startLine())
        return false;
    for (;;) {
        const qsizetype end = std::min(find('\r', m_nextCr), find('\n', m_nextLf));
        if (end < m_end) {
            const char *data = m_buffer.constData();
            line = std::string_view(data + m_begin, end - m_begin);
            m_begin = end + 1;
            if (data[end] == '\r') {
                // An LF right behind the CR belongs to it; when the CR is the
                // last byte read, the next line looks for that LF.
                if (m_begin == m_end)
                    m_skipLineFeed = true;
                else if (data[m_begin] == '\n')
                    ++m_begin;
            }
            return true;
        }
        if (!refill()) {
            if (m_failed)
                return false;
            line = std::string_view(m_buffer.constData() + m_begin, m_end - m_begin);
            m_begin = m_end;
            return true;
        }
    }
}
