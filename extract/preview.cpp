// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview.h"

#include "extraction.h"
#include "linereader.h"
#include "sourcefile.h"

#include <utility>

namespace {

// A source's lines as a LineReader gives them, each with its number.
class NumberedLines
{
public:
    explicit NumberedLines(LineReader &lines) : m_lines(lines) {}

    TextEncoding encoding() const { return m_lines.encoding(); }

    // A line handed out in pieces counts once, at its first piece.
    bool next(std::string_view &line)
    {
        const bool newLine = !m_lines.lineGoesOn();
        if (!m_lines.next(line))
            return false;
        m_number += newLine;
        return true;
    }

    bool lineGoesOn() const { return m_lines.lineGoesOn(); }

    // The number of the line next() gave last; 0 before the first.
    std::int64_t number() const { return m_number; }

private:
    LineReader &m_lines;
    std::int64_t m_number = 0;
};

// Takes the lines an extraction keeps into a file's preview: counts them,
// notes the numbers of the first and the last, and keeps the first few.
class PreviewSink
{
public:
    PreviewSink(const NumberedLines &lines, FilePreview &preview) : m_lines(lines), m_preview(preview) {}

    bool append(std::string_view line)
    {
        if (!std::exchange(m_inLine, false))
            keep(line);
        return true;
    }

    // A piece of a long line that goes on: its start is all a preview shows.
    bool appendPart(std::string_view piece)
    {
        if (!std::exchange(m_inLine, true))
            keep(piece);
        return true;
    }

private:
    void keep(std::string_view start)
    {
        if (m_preview.KeptLines++ == 0)
            m_preview.FirstLine = m_lines.number();
        m_preview.LastLine = m_lines.number();
        if (m_preview.FirstKeptLines.size() < FilePreview::ShownLines)
            m_preview.FirstKeptLines.append(
                QByteArray(start.data(), qMin(qsizetype(start.size()), FilePreview::ShownLineBytes)));
    }

    bool m_inLine = false; // appendPart() took the start of the line being kept
    const NumberedLines &m_lines;
    FilePreview &m_preview;
};

FilePreview previewFile(ExtractMode mode, const LineRanges &ranges, const QString &name,
                        const QString &sourcePath)
{
    const auto failed = [&](const QString &reason) {
        return FilePreview{.FileName = name,
                           .Failure = BatchFailure{name, BatchFailure::Side::Source, sourcePath, reason}};
    };
    FilePreview preview{.FileName = name};
    QFile source;
    OpenedSource opened;
    if (const QString why = OpenSource(sourcePath, source, opened); !why.isEmpty())
        return failed(why);
    preview.Encoding = opened.Encoding;
    LineReader lines(source, BufferSizeFor(opened), opened.Encoding, opened.Size);
    NumberedLines numbered(lines);
    PreviewSink kept(numbered, preview);
    ExtractLines(mode, ranges, numbered, kept);
    if (lines.failed())
        return failed(lines.errorString());
    return preview;
}

} // namespace

BatchPreview PreviewBatch(const BatchSettings &settings, const QString &FolderPath,
                          const QStringList &FileNames, const BatchObserver &observer)
{
    BatchPreview preview;
    const QList<ExtractMode> passes = PassesOf(settings);
    if (passes.isEmpty())
        return preview;
    const LineRanges ranges = RangesOf(settings);
    for (qsizetype index = 0; index < FileNames.size(); ++index) {
        const QString &name = FileNames[index];
        if (observer && !observer(index, FileNames.size(), name)) {
            preview.Stopped = true;
            return preview;
        }
        preview.Files.append(previewFile(passes.last(), ranges, name, SourcePathOf(FolderPath, name)));
    }
    return preview;
}
