// SPDX-License-Identifier: GPL-3.0-or-later
#include "linereader.h"

#include "systemerror.h"

#include <QIODevice>

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

// Where the last LF of the bytes ends, or nullptr when they hold none.
const char *endOfLastLineFeed(const char *begin, const char *end)
{
    for (const char *at = end - 1; at >= begin; --at) {
        if (*at == '\n')
            return at + 1;
    }
    return nullptr;
}

} // namespace

LineReader::LineReader(QIODevice &source, qsizetype blockSize, TextEncoding encoding, qint64 limit)
    : m_source(source), m_encoding(encoding), m_unread(limit)
{
    m_buffer.resize(blockSize);
}

// Keeps the unread bytes, moved to the front, and reads behind them; the
// buffer doubles when a single line shorter than ShortestPiece fills it.
// False when nothing more came.
bool LineReader::refill()
{
    if (m_atEnd)
        return false;
    Q_ASSERT(m_begin <= m_end && m_end <= m_buffer.size());
    if (m_begin > 0) {
        std::memmove(m_buffer.data(), m_buffer.constData() + m_begin, m_end - m_begin);
        m_nextCr = std::max<qsizetype>(m_nextCr - m_begin, 0);
        m_nextLf = std::max<qsizetype>(m_nextLf - m_begin, 0);
        m_end -= m_begin;
        m_begin = 0;
    }
    if (m_end == m_buffer.size())
        m_buffer.resize(m_buffer.size() * 2);
    const qint64 got = m_source.read(m_buffer.data() + m_end, std::min<qint64>(m_buffer.size() - m_end, m_unread));
    if (got <= 0) {
        m_atEnd = true;
        m_failed = got < 0;
        if (m_failed)
            m_error = ReasonOf(m_source);
        return false;
    }
    m_end += got;
    m_unread -= got;
    noteLineEnds();
    return true;
}

// One branch-free pass over the unread bytes, so that the compiler can
// vectorise it. A CR as the last byte is left out: no line search goes past
// it without a refill. An LF as the first byte is lone unless it belongs to
// the CR that ended the previous line. Bytes without any CR, as most
// programs on Linux write them, are told by one memchr.
void LineReader::noteLineEnds()
{
    if (m_encoding != TextEncoding::Bytes)
        return;
    const char *begin = m_buffer.constData() + m_begin;
    const char *end = m_buffer.constData() + m_end;
    if (!std::memchr(begin, '\r', end - begin)) {
        m_endsAtLineFeeds = true;
        m_endsAtCrLf = false;
        m_endsAtLoneLf = !m_skipLineFeed;
        return;
    }
    unsigned char loneCr = 0, loneLf = begin[0] == '\n' && !m_skipLineFeed;
    for (const char *at = begin; at + 1 < end; ++at) {
        loneCr |= (at[0] == '\r') & (at[1] != '\n');
        loneLf |= (at[0] != '\r') & (at[1] == '\n');
    }
    m_endsAtLineFeeds = !loneCr;
    m_endsAtCrLf = !loneCr && !loneLf;
    m_endsAtLoneLf = false;
}

// Whether the code unit at `at`, wholly in the buffer, is the ASCII `value`.
bool LineReader::isUnit(qsizetype at, char value) const
{
    const char *unit = m_buffer.constData() + at;
    switch (m_encoding) {
    case TextEncoding::Utf16LittleEndian: return unit[0] == value && unit[1] == 0;
    case TextEncoding::Utf16BigEndian: return unit[0] == 0 && unit[1] == value;
    case TextEncoding::Bytes: break;
    }
    return unit[0] == value;
}

// Makes the next line's first byte available, past the LF of a CR LF that
// ended the previous line. False at the end of the stream.
bool LineReader::startLine()
{
    if (m_begin == m_end && !refill())
        return false;
    if (m_skipLineFeed) {
        m_skipLineFeed = false;
        if (m_end - m_begin < unitSize())
            refill(); // the rest of the unit, if the stream has it
        if (m_end - m_begin >= unitSize() && isUnit(m_begin, '\n')) {
            m_begin += unitSize();
            if (m_begin == m_end && !refill())
                return false;
        }
    }
    return true;
}

// The offset of the next `value` unit at or after m_begin, or, when the
// whole units of the buffer hold none, the end of those; `found` remembers
// the answer between calls. memchr finds the candidates: the byte that holds
// the value within a unit, at a unit's start.
qsizetype LineReader::find(char value, qsizetype &found)
{
    const qsizetype limit = wholeUnitsEnd();
    const qsizetype valueByte = m_encoding == TextEncoding::Utf16BigEndian ? 1 : 0;
    const char *data = m_buffer.constData();
    found = std::max(found, m_begin);
    while (found < limit && !isUnit(found, value)) {
        const void *at = std::memchr(data + found + valueByte, value, limit - found - valueByte);
        if (!at) {
            found = limit;
            break;
        }
        const qsizetype candidate = static_cast<const char *>(at) - data - valueByte;
        const qsizetype misalignment = (candidate - m_begin) % unitSize();
        found = misalignment == 0 ? candidate : candidate + unitSize() - misalignment;
        if (found == candidate && !isUnit(found, value))
            found += unitSize();
    }
    Q_ASSERT(m_begin % unitSize() == 0 && found % unitSize() == 0 && found >= m_begin && found <= limit);
    return found;
}

// The buffered lines up to the last LF, when `allEndAlike`, one of the
// flags of noteLineEnds(), says their ends are all of one kind; checked after
// startLine(), which may refill and so set the flags anew.
bool LineReader::takeRun(std::string_view &lines, const bool &allEndAlike)
{
    if (!startLine() || !allEndAlike)
        return false;
    const char *begin = m_buffer.constData() + m_begin;
    const char *end = endOfLastLineFeed(begin, m_buffer.constData() + m_end);
    if (!end)
        return false;
    lines = std::string_view(begin, end - begin); // the rest of a line that goes on first
    m_begin += end - begin;
    m_lineGoesOn = false;
    return true;
}

bool LineReader::nextSlow(std::string_view &line)
{
    const bool goingOn = std::exchange(m_lineGoesOn, false);
    if (!startLine()) {
        if (!goingOn || m_failed)
            return false;
        line = {}; // the stream ended the line
        return true;
    }
    for (;;) {
        const qsizetype end = std::min(find('\r', m_nextCr), find('\n', m_nextLf));
        if (end < wholeUnitsEnd()) {
            line = std::string_view(m_buffer.constData() + m_begin, end - m_begin);
            m_begin = end + unitSize();
            if (isUnit(end, '\r')) {
                // An LF right behind the CR belongs to it; when the CR is the
                // last whole unit read, the next line looks for that LF.
                if (m_end - m_begin < unitSize())
                    m_skipLineFeed = true;
                else if (isUnit(m_begin, '\n'))
                    m_begin += unitSize();
            }
            return true;
        }
        if (m_begin == 0 && m_end == m_buffer.size() && m_buffer.size() >= ShortestPiece) {
            line = std::string_view(m_buffer.constData(), wholeUnitsEnd());
            m_begin = wholeUnitsEnd();
            m_lineGoesOn = true;
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
