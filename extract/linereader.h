#pragma once

#include <QByteArray>
#include <QString>

#include <cstring>
#include <string_view>

class QIODevice;

// Splits a byte stream into lines: a line ends at CR LF, at a CR that no LF
// follows, or at an LF that no CR precedes. The terminator is not part of the
// line; a last line without terminator is a line and an empty stream has no
// line. Lines are handed out as views into one buffer that holds a block of
// the stream; it grows only to fit the longest line. A view stays valid until
// the next call of next() or nextCrLfLines().
class LineReader
{
public:
    static constexpr qsizetype DefaultBlockSize = 1 << 20;

    explicit LineReader(QIODevice &source, qsizetype blockSize = DefaultBlockSize);

    // The next line, without its terminator; false at the end of the stream
    // or when reading failed (see failed()).
    bool next(std::string_view &line)
    {
        // Where the buffer holds no lone CR, every line ends at an LF, with
        // or without a CR before it: one memchr finds it.
        if (!m_loneCr && !m_skipLineFeed) {
            const char *begin = m_buffer.constData() + m_begin;
            if (const void *found = std::memchr(begin, '\n', m_end - m_begin)) {
                const char *end = static_cast<const char *>(found);
                m_begin += end - begin + 1;
                if (end > begin && end[-1] == '\r')
                    --end;
                line = std::string_view(begin, end - begin);
                return true;
            }
        }
        return nextSlow(line);
    }

    // The buffered lines that end in CR LF, when all of them do, terminators
    // included: the bytes a result holds for them anyway. False when the
    // buffer holds another line end, or no whole line; next() then reads on.
    bool nextCrLfLines(std::string_view &lines);

    bool failed() const { return m_failed; }
    QString errorString() const;

private:
    bool nextSlow(std::string_view &line);
    bool refill();
    void noteLineEnds();
    bool startLine();
    qsizetype find(char byte, qsizetype &found);

    QIODevice &m_source;
    QByteArray m_buffer;
    qsizetype m_begin = 0; // first unread byte
    qsizetype m_end = 0;   // one past the last byte read
    // Whether the unread bytes hold, as seen at the last refill, a CR that an
    // LF does not follow, or an LF that a CR does not precede; false only
    // where there is none (see noteLineEnds()).
    bool m_loneCr = true;
    bool m_loneLf = true;
    // Where the next CR and the next LF at or after m_begin lie; when a byte
    // is not there, the offset up to which the buffer was searched without
    // finding it, so that no byte is searched twice.
    qsizetype m_nextCr = 0;
    qsizetype m_nextLf = 0;
    bool m_atEnd = false;
    bool m_skipLineFeed = false; // the previous line ended at a CR, the last byte read then
    bool m_failed = false;
};
