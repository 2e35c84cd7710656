// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "filestatus.h"
#include "textencoding.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstring>
#include <string_view>

class LineReader;
class ResultFolder;
struct EarlierFile;

// Writes one result file atomically: lines go through a buffer into a
// temporary file beside the result, which replaces the file of that name
// only on commit(). Until then, and whenever anything fails, a file of that
// name stays exactly as it was and the temporary file is removed. A result
// name that is a symbolic link is refused, never followed.
class ResultWriter
{
public:
    // The longest line end, in bytes.
    static constexpr qsizetype MaxLineEndSize = 4;

    // The result `name` in `folder`, which outlives the writer.
    // `bufferSize` is at least MaxLineEndSize.
    ResultWriter(const ResultFolder &folder, const QString &name, qsizetype bufferSize);
    ~ResultWriter();
    ResultWriter(const ResultWriter &) = delete;
    ResultWriter &operator=(const ResultWriter &) = delete;

    // Creates the temporary file, to hold text in `encoding`: a UTF-16
    // result begins with its byte order mark. A new result gets
    // `newFilePermissions` as far as the umask allows. One that replaces an
    // earlier file gets that file's permissions and extended attributes
    // (access control lists), and its owner and group where the process may
    // set them; but an earlier file of another user passes on nothing unless
    // it is the result's own source, `source`: the result is new.
    bool open(QFile::Permissions newFilePermissions, TextEncoding encoding, const FileIdentity &source);

    // Appends the line followed by CR LF in the result's encoding. False once
    // writing has failed; the rest of the file is then of no use.
    bool append(std::string_view line)
    {
        // The line end is copied whole, MaxLineEndSize bytes at once; only
        // its own size counts.
        if (m_used + qsizetype(line.size()) + MaxLineEndSize > m_buffer.size())
            return appendSlow(line);
        char *at = m_buffer.data() + m_used;
        copyLine(at, line);
        std::memcpy(at + line.size(), m_lineEnd, MaxLineEndSize);
        m_used += qsizetype(line.size()) + m_lineEndSize;
        return true;
    }

    // Appends a piece of a line that goes on: its bytes alone.
    bool appendPart(std::string_view part) { return appendLines(part); }

    // Renames the result over the file of that name, once it is on disk when
    // it replaces an earlier file. False, with that file untouched and no
    // temporary file left, when anything failed.
    bool commit();

    // Whether no line has been appended.
    bool isEmpty() const { return m_written + m_used == m_markSize; }

    // Why writing failed, in the system's words.
    QString errorString() const { return m_error; }

private:
    // Copies a line with moves of at most 16 bytes, inline. A call of the C
    // library's memcpy costs more than a short line takes, and on some
    // processors its wide-vector forms slow the floating-point work of the
    // keys that follow many times over; a long line still takes it, once.
    static void copyLine(char *to, std::string_view line)
    {
        const char *from = line.data();
        const std::size_t size = line.size();
        if (size >= 16) {
            if (size > 4096) {
                std::memcpy(to, from, size);
                return;
            }
            for (std::size_t done = 0; done + 16 <= size; done += 16)
                copyFixed<16>(to + done, from + done);
            copyFixed<16>(to + size - 16, from + size - 16); // the rest, overlapping
        } else if (size >= 8) {
            copyFixed<8>(to, from);
            copyFixed<8>(to + size - 8, from + size - 8);
        } else if (size >= 4) {
            copyFixed<4>(to, from);
            copyFixed<4>(to + size - 4, from + size - 4);
        } else if (size > 0) {
            to[0] = from[0];
            to[size / 2] = from[size / 2];
            to[size - 1] = from[size - 1];
        }
    }
    template <std::size_t Size>
    static void copyFixed(char *to, const char *from)
    {
        std::memcpy(to, from, Size); // a fixed size compiles to plain moves
    }

    bool createTemporaryFile(QFile::Permissions permissions);
    bool keepAttributesOf(const EarlierFile &earlier, const FileIdentity &source);
    friend bool AppendRemainingLines(LineReader &source, ResultWriter &kept);
    bool appendLines(std::string_view lines);
    bool appendLfLines(std::string_view lines);
    bool appendSlow(std::string_view line);
    bool writeOut(const char *data, qint64 size);
    void startWriteback();
    bool flush();
    bool fail(const QString &reason);
    void discardTemporaryFile();

    const ResultFolder &m_folder;
    QString m_name;
    QString m_temporaryName;
    QFile m_temporary;
    bool m_temporaryExists = false; // m_temporaryName may name a file of the folder
    bool m_replacesEarlier = false; // a file of the result's name was there at open()
    QByteArray m_buffer; // at least MaxLineEndSize bytes
    qsizetype m_used = 0; // at most m_buffer.size()
    char m_lineEnd[MaxLineEndSize] = {'\r', '\n'};
    qsizetype m_lineEndSize = 2;
    qsizetype m_markSize = 0; // the byte order mark the result begins with
    qint64 m_written = 0;       // bytes handed to the file so far
    qint64 m_writebackFrom = 0; // where the write-back not yet started begins
    bool m_failed = false;
    QString m_error;
};

// Appends every line left in `source` to `kept`: runs of lines that already
// end in CR LF, as the result's must, straight from the reader's buffer; runs
// that end in a lone LF with a CR given to each in one tight loop; any other
// line on its own. The extractions find it by overloading.
bool AppendRemainingLines(LineReader &source, ResultWriter &kept);
