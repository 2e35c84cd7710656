// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "textencoding.h"

#include <QByteArray>
#include <QString>

#include <cstring>
#include <limits>
#include <string_view>

class QIODevice;

// Splits a stream of text into lines: a line ends at CR LF, at a CR that no
// LF follows, or at an LF that no CR precedes, each a code unit of the
// stream's encoding (a byte, or a UTF-16 unit). The terminator is not part of
// the line; a last line without terminator is a line (a UTF-16 stream's odd
// last byte included) and an empty stream has no line. Lines are handed out
// as views of their bytes into one buffer that holds a block of the stream.
// It grows to fit a line of up to ShortestPiece bytes; a line longer than
// the buffer then is handed out in pieces, each a full buffer but the last,
// so that memory stays flat whatever the line's length (see lineGoesOn()).
// A view stays valid until the next call of next(), nextCrLfLines() or
// nextLfLines().
class LineReader
{
public:
    // Lines of up to this many bytes are handed out whole, and so is the
    // first ShortestPiece bytes of any longer line.
    static constexpr qsizetype ShortestPiece = 8 << 10;

    // `source` is read from where it stands: past a UTF-16 byte order mark,
    // `blockSize` bytes at a time, and no more than `limit` bytes in all.
    LineReader(QIODevice &source, qsizetype blockSize, TextEncoding encoding = TextEncoding::Bytes,
               qint64 limit = std::numeric_limits<qint64>::max());

    TextEncoding encoding() const { return m_encoding; }

    // The next line, or the next piece of a line, without its terminator;
    // false at the end of the stream or when reading failed (see failed()).
    bool next(std::string_view &line)
    {
        // Where every line of the buffer ends at an LF byte, with or without
        // a CR before it, one memchr finds the end.
        if (m_endsAtLineFeeds && !m_skipLineFeed) {
            const char *begin = m_buffer.constData() + m_begin;
            if (const void *found = std::memchr(begin, '\n', m_end - m_begin)) {
                const char *end = static_cast<const char *>(found);
                m_begin += end - begin + 1;
                if (end > begin && end[-1] == '\r')
                    --end;
                line = std::string_view(begin, end - begin);
                m_lineGoesOn = false; // the rest of a line a piece began
                return true;
            }
        }
        return nextSlow(line);
    }

    // The buffered lines that end in CR LF bytes, when all of them do,
    // terminators included: the bytes a result holds for them anyway. False
    // when the buffer holds another line end, or no whole line, or the
    // stream is UTF-16; next() then reads on.
    bool nextCrLfLines(std::string_view &lines) { return m_endsAtCrLf && takeRun(lines, m_endsAtCrLf); }

    // The buffered lines that end in a lone LF, when all of them do,
    // terminators included, for a result to give each a CR; false as above.
    bool nextLfLines(std::string_view &lines) { return m_endsAtLoneLf && takeRun(lines, m_endsAtLoneLf); }

    // Whether what next() handed out last is a piece of a line that the
    // following calls go on with: the line's last piece ends it, and may be
    // empty. False after a run.
    bool lineGoesOn() const { return m_lineGoesOn; }

    bool failed() const { return m_failed; }
    QString errorString() const { return m_error; }

private:
    bool nextSlow(std::string_view &line);
    bool takeRun(std::string_view &lines, const bool &allEndAlike);
    bool refill();
    void noteLineEnds();
    bool startLine();
    bool isUnit(qsizetype at, char value) const;
    qsizetype find(char value, qsizetype &found);
    int unitSize() const { return UnitSize(m_encoding); }
    // One past the last unread code unit wholly in the buffer.
    qsizetype wholeUnitsEnd() const { return m_end - (m_end - m_begin) % unitSize(); }

    QIODevice &m_source;
    const TextEncoding m_encoding;
    qint64 m_unread; // bytes of the source that may still be read
    QByteArray m_buffer;
    qsizetype m_begin = 0; // first unread byte, the start of a code unit
    qsizetype m_end = 0;   // one past the last byte read
    // What the unread bytes of a byte stream hold, as seen at the last refill
    // (see noteLineEnds()): no CR that an LF does not follow, so every line
    // ends at an LF; and no lone LF either, so every line ends in CR LF; or
    // no CR at all, so every line ends in a lone LF. False where that is not
    // known, and for UTF-16.
    bool m_endsAtLineFeeds = false;
    bool m_endsAtCrLf = false;
    bool m_endsAtLoneLf = false;
    // Where the next CR and the next LF unit at or after m_begin lie; when a
    // unit is not there, the offset up to which the buffer was searched
    // without finding it, so that no byte is searched twice.
    qsizetype m_nextCr = 0;
    qsizetype m_nextLf = 0;
    bool m_atEnd = false;
    bool m_skipLineFeed = false; // the previous line ended at a CR, the last unit read then
    bool m_lineGoesOn = false; // the last view was a piece: no terminator ended it
    bool m_failed = false;
    QString m_error; // why reading failed, taken when it did
};
