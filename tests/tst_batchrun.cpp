// SPDX-License-Identifier: GPL-3.0-or-later
// Whole runs on real folders: the files a scan lists, the fields as a run
// takes them, and faults from outside the run, each reported by name while
// nothing is lost.

#include "batchrun.h"
#include "fixture.h"
#include "folderstate.h"
#include "preview.h"

#include <QLocale>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStringConverter>

#include <algorithm>
#include <clocale>
#ifdef Q_OS_UNIX
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#endif

namespace {

const QByteArray Example("10 x\r\n20 y\r\n30 z\r\n40 w\r\n");

// The names a scan lists, after one of an earlier folder.
QStringList scan(const QString &path)
{
    FolderState state{path, {u"left from an earlier scan.txt"_s}};
    ScanFolder(state);
    return state.FileNames;
}

BatchSettings byLines(const QString &from, const QString &to) { return {from, to}; }
BatchSettings byValue(const QString &low, const QString &high) { return {{}, {}, low, high, {}, false, true}; }

// A file's lines: after a UTF-16 mark as text, else its bytes as Latin-1;
// each CR LF, CR and LF ends one.
QStringList linesOf(const QByteArray &bytes)
{
    const bool utf16 = bytes.startsWith("\xff\xfe") || bytes.startsWith("\xfe\xff");
    QString text = utf16 ? QString(QStringDecoder(QStringConverter::Utf16).decode(bytes)) : QString::fromLatin1(bytes);
    QStringList lines = text.replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n').split(u'\n');
    if (lines.last().isEmpty())
        lines.removeLast(); // the split's empty text after the last line end
    return lines;
}

#ifdef Q_OS_LINUX
// What stands in the way of the source b.txt or of its earlier result r_b.txt.
using SetUp = void (*)(const QString &source, const QString &result);

struct Obstacle
{
    const char *name;
    SetUp setUp; // none: the prefix or the file system is the obstacle
    BatchFailure::Side side;
    QStringList failing;
    QString reason = {}; // empty: any
    QString prefix = u"r_"_s; // SRC/ and WORK/ stand for the source and the results' folder
    const char *tmpfs = ""; // options of a tmpfs mounted first over the results' folder
    int bSize = 0; // bytes of b.txt; 0: one line
    bool midRun = false; // the set-up runs as b.txt's turn comes, after the scan and a.txt
};

const QStringList B{u"b.txt"_s}, All{u"a.txt"_s, u"b.txt"_s, u"c.txt"_s};
const QString Full = u"No space left on device"_s, Link = u"is a symbolic link"_s;
constexpr auto Source = BatchFailure::Side::Source, Result = BatchFailure::Side::Result;
const Obstacle Obstacles[] = {
    {"source removed", [](auto &source, auto &) { QVERIFY(QFile::remove(source)); }, Source, B,
     u"No such file or directory"_s},
    {"source replaced by a folder", [](auto &source, auto &) { QVERIFY(QFile::remove(source) && QDir().mkdir(source)); },
     Source, B},
    {"source replaced by a FIFO, no hang", [](auto &source, auto &) {
         QVERIFY(QFile::remove(source) && ::mkfifo(QFile::encodeName(source).constData(), 0600) == 0);
     }, Source, B, u"Not a regular file"_s, u"r_"_s, "", 0, true},
    // The results still go where the run began, counted and without a
    // temporary file; an empty decoy takes the folder's name meanwhile.
    {"results' folder renamed mid-run", [](auto &, auto &result) {
         const QString folder = QFileInfo(result).path();
         QVERIFY(QDir().rename(folder, folder + u"-moved"_s) && QDir().mkdir(folder));
     }, Result, {}, {}, u"WORK/r_"_s, "", 0, true},
    {"result path through a regular file", nullptr, Result, All, u"Not a directory"_s, u"a.txt/"_s},
    {"result name is a folder", [](auto &, auto &result) {
         QVERIFY(QFile::remove(result) && QDir().mkdir(result) && writeFile(result + u"/keep"_s, "kept"));
     }, Result, B},
    {"result name links to another source", [](auto &source, auto &result) {
         QVERIFY(QFile::remove(result) && QFile::link(QFileInfo(source).path() + u"/a.txt"_s, result));
     }, Result, B, Link},
    {"result name is a dangling link", [](auto &, auto &result) {
         QVERIFY(QFile::remove(result) && QFile::link(result + u".gone"_s, result));
     }, Result, B, Link},
    {"result name too long", nullptr, Result, All, u"File name too long"_s, u"r_"_s + QString(250, u'x')},
    {"read-only file system", [](auto &, auto &result) {
         const QByteArray folder = QFile::encodeName(QFileInfo(result).path());
         QCOMPARE(::mount(nullptr, folder.constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
     }, Result, All, u"Read-only file system"_s, u"r_"_s, "size=1m"},
    {"disk full while writing", nullptr, Result, B, Full, u"r_"_s, "size=1m", 3 << 20},
    {"disk full on commit, all in the buffer", nullptr, Result, B, Full, u"r_"_s, "size=128k", 200 << 10},
    {"no inode for a temporary file", nullptr, Result, All, Full, u"r_"_s, "nr_inodes=3"},
    {"in place, no inode for a new copy", nullptr, Result, All, Full, u"SRC/"_s, "nr_inodes=4"},
};
#endif

} // namespace

class TestBatchRun : public QObject
{
    Q_OBJECT

private Q_SLOTS:
#ifdef Q_OS_UNIX
    // Symbolic links and dot files; Windows' hidden and system files below.
    // Grouped by pattern and sorted by bytes (upper case, "_", lower case,
    // UTF-8); links to regular files count, nothing else in the folder does.
    void scanListsDataFilesGroupedAndSorted()
    {
        QTemporaryDir folder, elsewhere;
        QDir dir(folder.path());
        for (const QString &name :
             {u"b.dat"_s, u"a.txt"_s, u"c.asc"_s, u"REPORT.TXT"_s, u"x.Dat"_s, u"a.b.txt"_s, u"B.txt"_s,
              u"_u.txt"_s, u"\u6e29\u5ea6.txt"_s, u"notes.txt.bak"_s, u"txt"_s, u".x.txt"_s, u".txt"_s,
              u"sub/in.txt"_s, u"old.txt/in.txt"_s})
            QVERIFY(dir.mkpath(QFileInfo(dir.filePath(name)).path()) && writeFile(dir.filePath(name), "1\r\n"));
        QVERIFY(writeFile(elsewhere.filePath(u"target.bin"_s), "1\r\n"));
        QVERIFY(QFile::link(elsewhere.filePath(u"target.bin"_s), dir.filePath(u"link.asc"_s)));
        QVERIFY(QFile::link(elsewhere.path(), dir.filePath(u"folderlink.dat"_s)));
        QVERIFY(QFile::link(elsewhere.filePath(u"gone"_s), dir.filePath(u"dangling.dat"_s)));
        QCOMPARE(scan(folder.path()),
                 QStringList({u"B.txt"_s, u"REPORT.TXT"_s, u"_u.txt"_s, u"a.b.txt"_s, u"a.txt"_s,
                              u"\u6e29\u5ea6.txt"_s, u"c.asc"_s, u"link.asc"_s, u"b.dat"_s, u"x.Dat"_s}));
    }
#endif

    void scanOfAFolderThatCannotBeReadGivesEmptyList()
    {
        QTemporaryDir parent;
        QVERIFY(writeFile(parent.filePath(u"file"_s), ""));
        QCOMPARE(scan(parent.filePath(u"missing"_s)), QStringList());
        QCOMPARE(scan(parent.filePath(u"file"_s)), QStringList());
    }

#ifdef Q_OS_WIN
    // Files Windows marks hidden or system are not listed; a read-only one is.
    void scanLeavesOutHiddenAndSystemFiles()
    {
        QTemporaryDir folder;
        const QList<QPair<QString, DWORD>> files{{u"hidden.txt"_s, FILE_ATTRIBUTE_HIDDEN},
                                                 {u"system.dat"_s, FILE_ATTRIBUTE_SYSTEM},
                                                 {u"read-only.asc"_s, FILE_ATTRIBUTE_READONLY}};
        for (const auto &[name, attributes] : files) {
            const QString path = QDir::toNativeSeparators(folder.filePath(name));
            QVERIFY(writeFile(path, "1\r\n"));
            QVERIFY(::SetFileAttributesW(reinterpret_cast<const wchar_t *>(path.utf16()), attributes));
        }
        QCOMPARE(scan(folder.path()), QStringList{u"read-only.asc"_s});
    }
#endif

    // Numbers are read with a point whatever the locale says.
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
            qInfo("no German C locale installed; only Qt's default locale is German");
    }

    void results_data()
    {
        QTest::addColumn<BatchSettings>("settings");
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<QByteArray>("result");
        const auto row = [](const char *name, const BatchSettings &settings, const QByteArray &source,
                            const QByteArray &result) { QTest::newRow(name) << settings << source << result; };
        row("lines 2 to 3", byLines(u"2"_s, u"3"_s), Example, Example.mid(6, 12));
        row("lines 3 to 2", byLines(u"3"_s, u"2"_s), Example, "");
        row("empty upper: no line", byLines(u"2"_s, u""_s), Example, "");
        row("empty lower to 3", byLines(u""_s, u"3"_s), Example, Example.left(18));
        row("upper past the last line", byLines(u"3"_s, u"9"_s), Example, Example.mid(12));
        row("upper 3* is to the last line", byLines(u"2"_s, u"3*"_s), Example, Example.mid(6));
        row("from past the last line to *", byLines(u"5"_s, u"*"_s), Example, "");
        row("lower past the 64-bit range gives 0", byLines(u"1e19"_s, u"2"_s), Example, Example.left(12));
        row("lower 1.5 rounds to 2", byLines(u"1.5"_s, u"3"_s), Example, Example.mid(6, 12));
        row("lower 2.5 rounds to 2, halves to even", byLines(u"2.5"_s, u"2"_s), Example, Example.mid(6, 6));
        row("values 15 to 35", byValue(u"15"_s, u"35"_s), Example, Example.mid(6, 12));
        row("values 1.2.3 to empty: 0 to 0", byValue(u"1.2.3"_s, u""_s), Example, "");
        // Keys as a first column gives them: &H and &O literals in 16 bits,
        // the number a text begins with.
        const QByteArray keys("&H10 a\r\n&HFFFF b\r\n&O17 c\r\n1,5 d\r\n12abc e\r\n-.5 f\r\n1e3 g\r\n-0 h\r\n2.5 j\r\n");
        row("keys -1 to 16", byValue(u"-1"_s, u"16"_s), keys,
            keys.left(keys.indexOf("1e3")) + keys.mid(keys.indexOf("-0 h")));
        row("values between blanks", byValue(u" \t2.50\t "_s, u"12"_s), keys, "12abc e\r\n2.5 j\r\n");
        // Each key is the double nearest to its decimal, as the bounds are.
        row("values 0.3 to 0.3", byValue(u"0.3"_s, u"0.3"_s), "0.3 a\r\n0.30000000000000004 b\r\n", "0.3 a\r\n");
        row("values with a comma or a unit are 0", byValue(u"1,5"_s, u"12abc"_s), keys, "-0 h\r\n");
        // "Unicode text": UTF-16 with its mark, which results keep.
        constexpr auto LE = QStringConverter::Utf16LE, BE = QStringConverter::Utf16BE;
        const auto utf16 = [](QStringConverter::Encoding order, const QString &text) {
            return QByteArray(QStringEncoder(order, QStringConverter::Flag::WriteBom).encode(text));
        };
        const QString table = u"时间\t温度\r\n1.0\t5\n  2.0\t6 米\r3米\r\n\u00A03\r\n\t4 \U0001F600"_s;
        row("UTF-16 LE, lines 2 to 3", byLines(u"2"_s, u"3"_s), utf16(LE, table), utf16(LE, u"1.0\t5\r\n  2.0\t6 米\r\n"_s));
        row("UTF-16 BE, values 2 to 4", byValue(u"2"_s, u"4"_s), utf16(BE, table),
            utf16(BE, u"  2.0\t6 米\r\n3米\r\n\t4 \U0001F600\r\n"_s));
        row("UTF-16 LE, values 9 to 9: the mark alone", byValue(u"9"_s, u"9"_s), utf16(LE, table), "\xff\xfe");
        // First columns that begin with a number, the first five read as 0 and
        // all from -1 to 16, by turns with first columns that do not, which no
        // range holds: a header after the UTF-8 mark, an empty or blank line,
        // a comment, a sign or point or &H without a digit, a control or a
        // Chinese character, a full-width digit.
        const QStringList numbers{u"0"_s, u"-0 x"_s, u"0x10"_s, u"&H0 x"_s, u"&h123456789 x"_s,
                                  u".5e1 x"_s, u"+7.\tx"_s, u" \t-.5 x"_s, u"12abc"_s, u"1e x"_s,
                                  u"&O17,x"_s, u"3米"_s, u"1,5 x"_s, u"16"_s, u"-1e0\t2"_s};
        const QStringList noNumbers{u"Time(ns)\tCounts"_s, u""_s, u" \t "_s, u"# 1"_s, u"\"1\""_s,
                                    u"- 1"_s, u". 1"_s, u"+.e1"_s, u"&H 1"_s, u"&O8"_s,
                                    u"&x1"_s, u"\u0001 1"_s, u"温度 1"_s, u"\uFF11 1"_s, u"NaN"_s};
        QString byTurns;
        for (qsizetype i = 0; i < numbers.size(); ++i)
            byTurns += noNumbers[i] + u"\r\n"_s + numbers[i] + u"\n"_s;
        const auto crLf = [](const QStringList &lines) { return lines.join(u"\r\n"_s) + u"\r\n"_s; };
        const QByteArray utf8ByTurns = "\xef\xbb\xbf" + byTurns.toUtf8();
        row("first columns by turns, -1 to 16", byValue(u"-1"_s, u"16"_s), utf8ByTurns, crLf(numbers).toUtf8());
        row("first columns by turns, 0 to 0", byValue(u""_s, u""_s), utf8ByTurns, crLf(numbers.first(5)).toUtf8());
        row("UTF-16 BE, first columns by turns", byValue(u"-1"_s, u"16"_s), utf16(BE, byTurns), utf16(BE, crLf(numbers)));
        // Line numbers, bounds and counts past any 16-bit number.
        QByteArray manyLines, from40000To45000;
        for (int i = 1; i <= 50000; ++i) {
            const QByteArray line = "L" + QByteArray::number(i);
            manyLines += line + (i % 3 ? "\n" : "\r\n");
            from40000To45000 += i >= 40000 && i <= 45000 ? line + "\r\n" : QByteArray();
        }
        row("50000 lines, from 40000 to 45000", byLines(u"40000"_s, u"45000"_s), manyLines, from40000To45000);
        row("lone CRs outgrow the write buffer", byLines(u""_s, u"*"_s), QByteArray("1 x\r").repeated(99),
            QByteArray("1 x\r\n").repeated(99));
        row("lone LFs outgrow the write buffer", byLines(u"2"_s, u"*"_s), QByteArray("12 x\n").repeated(99),
            QByteArray("12 x\r\n").repeated(98));
        const QByteArray longLine = "15.5 " + QByteArray("0123456789\t").repeated(300000), twoBuffers(2 << 20, 'x');
        row("3 MiB line, by value", byValue(u"15"_s, u"16"_s), longLine, longLine + "\r\n");
        row("3 MiB line skipped, the next kept", byLines(u"2"_s, u"2"_s), longLine + "\r\nx", "x\r\n");
        row("line of two whole buffers, no line end", byLines(u""_s, u"*"_s), twoBuffers, twoBuffers + "\r\n");
        // Read whole, the first column would be 1.5.
        row("first column past 4 KiB is no number", byValue(u"1"_s, u"2"_s),
            "1.5" + QByteArray(4096, '0') + longLine + "\n1.5 y", "1.5 y\r\n");
        // The reader's first block, 1 MiB for a file this large, ends between
        // the CR and the LF.
        const QByteArray blockLine((1 << 20) - 1, 'x');
        row("CR LF across a block end", byLines(u"1"_s, u"3"_s), blockLine + "\r\nb\r\n", blockLine + "\r\nb\r\n");
        row("every line end", byLines(u"2"_s, u"*"_s), "a\rb\nc\r\n\n\rd\r\r\ne", "b\r\nc\r\n\r\n\r\nd\r\n\r\ne\r\n");
        row("an LF line after CR LF lines, at the buffer end", byLines(u""_s, u"*"_s), "1 a\r\n2 b\n", "1 a\r\n2 b\r\n");
        // 15米 x and 温度 15 in GBK; a UTF-8 mark only before the first line
        row("keys after blanks, before GBK", byValue(u"15"_s, u"15"_s),
            "\xef\xbb\xbf \t15 a\n\xef\xbb\xbf" "15 b\n15\xc3\xd7 x\r\xce\xc2\xb6\xc8 15\r\n2 15",
            "\xef\xbb\xbf \t15 a\r\n15\xc3\xd7 x\r\n");
        // Real instrument and program output: lines 2 to 5, the whole file, the
        // first-column range from the keys of a third of the way down to five
        // lines on, and that range widened to 0, against a plain reading of the
        // file: every CR LF, CR and LF ends a line; the key is the number at
        // the start of the line, after blanks, and a line without one is in no
        // range.
        const QDir data(QStringLiteral(TARVEL_REALDATA_DIR));
        if (!data.exists())
            qInfo("%s is missing: no real data to try", qPrintable(data.path()));
        static const QRegularExpression number(u"^[ \t]*([+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?)"_s);
        const auto keyOf = [](const QString &line) { // none gives NaN, outside every range
            const QRegularExpressionMatch match = number.match(line);
            return match.hasMatch() ? match.captured(1).toDouble() : qQNaN();
        };
        for (const QString &name : data.entryList({u"*.txt"_s, u"*.asc"_s, u"*.dat"_s}, QDir::Files)) {
            const QByteArray bytes = readFile(data.filePath(name));
            const QStringList lines = linesOf(bytes);
            QVERIFY(lines.size() > 10);
            const auto realRow = [&](const QString &what, const BatchSettings &settings, const QStringList &kept) {
                row(qPrintable(name + u": "_s + what), settings, bytes, (kept.join(u"\r\n"_s) + u"\r\n"_s).toLatin1());
            };
            realRow(u"lines 2 to 5"_s, byLines(u"2"_s, u"5"_s), lines.mid(1, 4));
            realRow(u"every line"_s, byLines(u"1"_s, u"*"_s), lines);
            const auto [low, high] = std::minmax({keyOf(lines[lines.size() / 3]), keyOf(lines[lines.size() / 3 + 5])});
            for (const auto &[from, to] : {std::pair(low, high), std::minmax({low, high, 0.0})}) {
                QStringList kept = lines;
                kept.removeIf([&](const QString &line) { return !(keyOf(line) >= from && keyOf(line) <= to); });
                const BatchSettings settings = byValue(QString::number(from, 'g', 17), QString::number(to, 'g', 17));
                realRow(u"values "_s + settings.LowValueText + u" to "_s + settings.HighValueText, settings, kept);
            }
        }
    }

    void results()
    {
        QFETCH(BatchSettings, settings);
        QFETCH(QByteArray, source);
        QFETCH(QByteArray, result);
        QTemporaryDir root;
        QVERIFY(writeFile(root.filePath(u"a.txt"_s), source));
        settings.SavePrefix = root.filePath(u"r_"_s);
        const FilePreview preview = PreviewBatch(settings, root.path(), {u"a.txt"_s}).Files.value(0);
        QCOMPARE(folderContents(root.path()), Contents({{u"a.txt"_s, source}})); // the preview wrote nothing
        const BatchReport report = RunBatch(settings, root.path(), {u"a.txt"_s});
        QCOMPARE(report.Failures.size(), 0);
        QCOMPARE(report.Done, 1);
        QVERIFY(QFile::exists(root.filePath(u"r_a.txt"_s))); // also when no line is kept
        QCOMPARE(readFile(root.filePath(u"r_a.txt"_s)), result);
        // The preview counts the result's lines and finds them in the source.
        const QStringList kept = linesOf(result), lines = linesOf(source);
        QCOMPARE(preview.KeptLines, kept.size());
        QCOMPARE(lines.value(preview.FirstLine - 1), kept.value(0));
        QCOMPARE(lines.value(preview.LastLine - 1), kept.value(kept.size() - 1));
    }

#ifdef Q_OS_LINUX
    // Each row puts one obstacle in the way of b.txt, or of every file, after
    // the scan of a.txt, b.txt and c.txt, with an earlier result r_b.txt.
    // Linux faults: FIFOs, /proc, symbolic links, tmpfs. Their
    // Windows counterparts are in tst_cli.
    void failures_data() { addTableRows(Obstacles); }

    void failures()
    {
        QFETCH(const Obstacle *, row);
        QTemporaryDir sources, work;
        QString prefix = row->prefix;
        const QByteArray mountPoint = QFile::encodeName(prefix == u"SRC/"_s ? sources.path() : work.path());
        if (*row->tmpfs && ::mount("tmpfs", mountPoint.constData(), "tmpfs", 0, row->tmpfs) != 0)
            QSKIP(qPrintable(u"cannot mount a tmpfs (which needs root): "_s + qt_error_string()));
        const auto unmount = qScopeGuard([&] {
            if (*row->tmpfs)
                ::umount2(mountPoint.constData(), MNT_DETACH);
        });
        prefix.replace(u"SRC/"_s, sources.path() + u'/').replace(u"WORK/"_s, work.path() + u'/');
        for (const QString &name : All) {
            const QByteArray line = "1 " + name.toUtf8() + "\r\n";
            QVERIFY(writeFile(sources.filePath(name), line.repeated(name == u"b.txt"_s ? row->bSize / 9 + 1 : 1)));
        }
        QVERIFY(writeFile(work.filePath(u"a.txt"_s), "in the way\r\n"));
        QVERIFY(writeFile(work.filePath(u"r_b.txt"_s), "earlier\r\n"));
        FolderState folder{sources.path(), {}};
        ScanFolder(folder);
        const Contents sourcesBefore = folderContents(sources.path());
        const QString source = sources.filePath(u"b.txt"_s), result = work.filePath(u"r_b.txt"_s);
        if (row->setUp && !row->midRun)
            row->setUp(source, result);
        Contents expected = folderContents(work.path());
        for (const QString &name : All) {
            if (!row->failing.contains(name))
                expected.insert(QDir(work.path()).relativeFilePath(prefix + name), sourcesBefore.value(name));
        }

        QVERIFY(QDir::setCurrent(work.path()));
        BatchSettings settings;
        settings.SavePrefix = prefix;
        QStringList unread; // by a preview, which writes nothing
        for (const FilePreview &file : PreviewBatch(settings, folder.FolderPath, folder.FileNames).Files) {
            if (file.Failure)
                unread.append(file.FileName);
        }
        QCOMPARE(unread, row->side == BatchFailure::Side::Source && !row->midRun ? row->failing : QStringList());
        const BatchReport report = RunBatch(settings, folder.FolderPath, folder.FileNames,
                                            [&](qsizetype, qsizetype, const QString &name) {
                                                if (row->midRun && name == u"b.txt"_s)
                                                    row->setUp(source, result);
                                                return true;
                                            });
        if (const QString moved = work.path() + u"-moved"_s; QFileInfo::exists(moved)) {
            QCOMPARE(folderContents(work.path()), Contents()); // the decoy
            QVERIFY(QDir().rmdir(work.path()) && QDir().rename(moved, work.path()));
        }

        QCOMPARE(report.Done, 3 - row->failing.size());
        QStringList failed;
        const bool sourceSide = row->side == BatchFailure::Side::Source;
        for (const BatchFailure &failure : report.Failures) {
            failed.append(failure.FileName);
            QCOMPARE(failure.FailedSide, row->side);
            QCOMPARE(failure.Path, sourceSide ? source : prefix + failure.FileName);
            QVERIFY(!failure.Reason.isEmpty());
            if (!row->reason.isEmpty())
                QCOMPARE(failure.Reason, row->reason);
        }
        QCOMPARE(failed, row->failing);
        QCOMPARE(folderContents(work.path()), expected); // earlier files kept, no temporary file
        for (const QString &name : All) {
            if (!sourceSide || name != u"b.txt"_s)
                QCOMPARE(readFile(sources.filePath(name)), sourcesBefore.value(name));
        }
    }

#endif

#ifdef Q_OS_UNIX
    // A new result is readable by no more people than its source, within the
    // umask, and writable by its owner, also where another user planted a
    // file at its name; a replaced file keeps its mode, and replaced in place
    // also its owner and group (given away only as root) and its access
    // control list.
    void permissions()
    {
        QTemporaryDir sources, work;
        const mode_t oldMask = ::umask(027);
        const auto restoreMask = qScopeGuard([&] { ::umask(oldMask); });
        const auto statOf = [](const QString &path) {
            struct stat info = {};
            ::stat(QFile::encodeName(path).constData(), &info);
            return info;
        };
        const bool root = ::geteuid() == 0;
        const uid_t owner = root ? 65534 : ::geteuid();
        const gid_t group = root ? 65534 : ::getegid();
        // A file of that mode, given to `owner` and `group` when asked.
        const auto create = [&](const QString &path, mode_t mode, bool given = false) {
            const QByteArray name = QFile::encodeName(path);
            return writeFile(path, "1 x\r\n") && ::chmod(name.constData(), mode) == 0
                && (!given || ::chown(name.constData(), owner, group) == 0);
        };
        const QString c = sources.filePath(u"c.txt"_s), resultOfA = work.filePath(u"r_a.txt"_s);
        QVERIFY(create(sources.filePath(u"a.txt"_s), 0400) && create(sources.filePath(u"b.txt"_s), 0644)
                && create(c, 0604, true) && create(work.filePath(u"r_c.txt"_s), 0664));
        QVERIFY(!root || create(resultOfA, 0666, true)); // planted by another user, writable by all
        // Read by nobody through an access control list, which in place stays.
        const bool withAcl = QProcess::execute(u"setfacl"_s, {u"-m"_s, u"u:65534:r"_s, c}) == 0;
        const QByteArray cPath = QFile::encodeName(c);
        const auto aclOf = [&] {
            QByteArray acl(256, 0);
            const ssize_t size = ::getxattr(cPath.constData(), "system.posix_acl_access", acl.data(), acl.size());
            return acl.left(std::max<ssize_t>(size, 0));
        };
        const QByteArray aclBefore = aclOf();
        const struct stat before = statOf(c);

        BatchSettings settings;
        settings.SavePrefix = work.filePath(u"r_"_s);
        QCOMPARE(RunBatch(settings, sources.path(), {u"a.txt"_s, u"b.txt"_s, u"c.txt"_s}).Done, 3);
        settings.SavePrefix = sources.path() + u'/';
        QCOMPARE(RunBatch(settings, sources.path(), {u"c.txt"_s}).Done, 1);

        QCOMPARE(statOf(resultOfA).st_mode & 07777, 0600u);
        QCOMPARE(statOf(resultOfA).st_uid, ::geteuid());
        QCOMPARE(statOf(work.filePath(u"r_b.txt"_s)).st_mode & 07777, 0640u);
        QCOMPARE(statOf(work.filePath(u"r_c.txt"_s)).st_mode & 07777, 0664u);
        const struct stat inPlace = statOf(c);
        QVERIFY(inPlace.st_ino != before.st_ino); // a new file took the name
        QCOMPARE(std::tuple(inPlace.st_mode, inPlace.st_uid, inPlace.st_gid), std::tuple(before.st_mode, owner, group));
        QCOMPARE(aclOf(), aclBefore);
        QCOMPARE(readFile(c), "1 x\r\n");
        if (!root)
            QSKIP("not root: no file of another user could be planted at a result's name");
        if (!withAcl)
            QSKIP("setfacl failed or is not installed: the list kept in place was none");
    }

#endif
};

QTEST_GUILESS_MAIN(TestBatchRun)
#include "tst_batchrun.moc"
