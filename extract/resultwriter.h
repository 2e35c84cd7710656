#pragma once

#include "textencoding.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstring>
#include <string_view>

class QFileInfo;

// Writes one result file atomically: lines go through a buffer into a
// temporary file beside the result, which replaces the file of that name
// only on commit(). Until then, and whenever anything fails, a file of that
// name stays exactly as it was and the temporary file is removed. A result
// name that is a symbolic link is refused, never followed.
class ResultWriter
{
public:
    // `bufferSize` is at least MaxLineEndSize.
    ResultWriter(const QString &path, qsizetype bufferSize);
    ~ResultWriter();
    ResultWriter(const ResultWriter &) = delete;
    ResultWriter &operator=(const ResultWriter &) = delete;

    // Creates the temporary file, to hold text in `encoding`: a UTF-16
    // result begins with its byte order mark. A new result gets
    // `newFilePermissions` as far as the umask allows; one that replaces an
    // earlier file gets that file's permissions, and its owner and group
    // where the process may set them.
    bool open(QFile::Permissions newFilePermissions, TextEncoding encoding);

    // Appends the line followed by CR LF in the result's encoding. False once
    // writing has failed; the rest of the file is then of no use.
    bool append(std::string_view line)
    {
        // The line end is copied whole, MaxLineEndSize bytes at once; only
        // its own size counts.
        if (m_used + qsizetype(line.size()) + MaxLineEndSize > m_buffer.size())
            return appendSlow(line);
        char *at = m_buffer.data() + m_used;
        std::memcpy(at, line.data(), line.size());
        std::memcpy(at + line.size(), m_lineEnd, MaxLineEndSize);
        m_used += qsizetype(line.size()) + m_lineEndSize;
        return true;
    }

    // Appends bytes that already hold whole lines with their CR LF.
    bool appendLines(std::string_view lines);

    // Renames the result over the file of that name, once it is on disk when
    // it replaces an earlier file. False, with that file untouched and no
    // temporary file left, when anything failed.
    bool commit();

    // Whether the result took the place of an earlier file, and so was put
    // on disk by commit(); a result under a new name still has to be.
    bool replacesEarlierFile() const { return m_replacesEarlier; }

    // Whether no line has been appended.
    bool isEmpty() const { return m_written + m_used == m_markSize; }

    // Why writing failed, in the system's words.
    QString errorString() const { return m_error; }

private:
    bool createTemporaryFile(QFile::Permissions permissions);
    bool keepAttributesOf(const QFileInfo &earlier);
    bool appendSlow(std::string_view line);
    bool writeOut(const char *data, qint64 size);
    void startWriteback();
    bool flush();
    bool fail(const QString &reason);
    void discardTemporaryFile();

    static constexpr qsizetype MaxLineEndSize = 4;

    QString m_path;
    QFile m_temporary;
    bool m_temporaryExists = false;
    bool m_replacesEarlier = false; // a file of the result's name was there at open()
    QByteArray m_buffer; // at least MaxLineEndSize bytes
    qsizetype m_used = 0;
    char m_lineEnd[MaxLineEndSize] = {'\r', '\n'};
    qsizetype m_lineEndSize = 2;
    qsizetype m_markSize = 0; // the byte order mark the result begins with
    qint64 m_written = 0;       // bytes handed to the file so far
    qint64 m_writebackFrom = 0; // where the write-back not yet started begins
    bool m_failed = false;
    QString m_error;
};
