// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview.h"

#include "extraction.h"
#include "linereader.h"
#include "sourcefile.h"

namespace {

// A source's lines as a LineReader gives them, each with its number.
class NumberedLines
{
public:
    explicit NumberedLines(LineReader &lines) : m_lines(lines) {}

    TextEncoding encoding() const { return m_lines.encoding(); }

    bool next(std::string_view &line)
    {
        if (!m_lines.next(line))
            return false;
        ++m_number;
        return true;
    }

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
        if (m_preview.KeptLines++ == 0)
            m_preview.FirstLine = m_lines.number();
        m_preview.LastLine = m_lines.number();
        if (m_preview.FirstKeptLines.size() < FilePreview::ShownLines)
            m_preview.FirstKeptLines.append(
                QByteArray(line.data(), qMin(qsizetype(line.size()), FilePreview::ShownLineBytes)));
        return true;
    }

private:
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
    if (const QString why = OpenSource(sourcePath, source, preview.Encoding); !why.isEmpty())
        return failed(why);
    LineReader lines(source, BufferSizeFor(source), preview.Encoding);
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
