#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>

#include <cstring>
#include <string_view>

// Writes one result file atomically: lines go through a buffer into a
// temporary file that replaces the target only on commit(). Until then, and
// whenever writing fails, a file of that name stays exactly as it was.
class ResultWriter
{
public:
    // `mayWriteDirectly` allows writing straight into the target when its
    // folder refuses a temporary file; never allow it for a target that is
    // being read at the same time.
    ResultWriter(const QString &path, bool mayWriteDirectly, qsizetype bufferSize);

    bool open();

    // Appends the line followed by CR LF. False once writing has failed; the
    // rest of the file is then of no use.
    bool append(std::string_view line)
    {
        const qsizetype needed = qsizetype(line.size()) + 2;
        if (m_used + needed > m_buffer.size())
            return appendSlow(line);
        char *at = m_buffer.data() + m_used;
        std::memcpy(at, line.data(), line.size());
        at[line.size()] = '\r';
        at[line.size() + 1] = '\n';
        m_used += needed;
        return true;
    }

    // Appends bytes that already hold whole lines with their CR LF.
    bool appendLines(std::string_view lines);

    // Makes the result the file of that name. False, with the file of that
    // name untouched and no temporary file left, when anything failed.
    bool commit();

    QString errorString() const;

private:
    bool appendSlow(std::string_view line);
    bool writeOut(const char *data, qint64 size);
    void startWriteback();
    void fail();
    bool flush();

    QSaveFile m_file;
    QByteArray m_buffer;
    qsizetype m_used = 0;
    qint64 m_written = 0;       // bytes handed to the file so far
    qint64 m_writebackFrom = 0; // where the write-back not yet started begins
    bool m_failed = false;
    QString m_error; // why writing failed, kept past cancelWriting()
};
