#pragma once

#include <QByteArray>
#include <QString>

#include <string_view>

class QIODevice;

// Splits a byte stream into lines: a line ends at CR or at CR LF, a lone LF
// is part of the line, a last line without terminator is a line and an empty
// stream has no line. Lines are handed out as views into one buffer that
// holds a block of the stream; it grows only to fit the longest line. A view
// stays valid until the next call of next().
class LineReader
{
public:
    static constexpr qsizetype DefaultBlockSize = 1 << 20;

    explicit LineReader(QIODevice &source, qsizetype blockSize = DefaultBlockSize);

    // The next line, without its terminator; false at the end of the stream
    // or when reading failed (see failed()).
    bool next(std::string_view &line);

    // The buffered lines that end in CR LF, up to the first that does not,
    // terminators included: the bytes a result holds for them anyway. False
    // when the next line does not end in CR LF within the buffer; next()
    // then reads it. The view stays valid until the next call.
    bool nextCrLfLines(std::string_view &lines);

    bool failed() const { return m_failed; }
    QString errorString() const;

private:
    bool refill();
    bool startLine();

    QIODevice &m_source;
    QByteArray m_buffer;
    qsizetype m_begin = 0; // first unread byte
    qsizetype m_end = 0;   // one past the last byte read
    bool m_atEnd = false;
    bool m_skipLineFeed = false; // the previous line ended at a CR
    bool m_failed = false;
    bool m_noCrLfRun = false; // nextCrLfLines() found none since the last refill
};
