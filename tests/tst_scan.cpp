// SPDX-License-Identifier: GPL-3.0-or-later
#include "fixture.h"
#include "folderstate.h"

#include <QTest>

namespace {

// The names a scan lists, after one of an earlier folder.
QStringList scan(const QString &path)
{
    FolderState state{path, {u"left from an earlier scan.txt"_s}};
    ScanFolder(state);
    return state.FileNames;
}

} // namespace

class TestScan : public QObject
{
    Q_OBJECT

private Q_SLOTS:
#ifdef Q_OS_UNIX
    // Symbolic links and dot files; Windows' hidden and system files below.
    // Grouped by pattern and sorted by bytes (upper case, "_", lower case,
    // UTF-8); links to regular files count, nothing else in the folder does.
    void listsDataFilesGroupedAndSorted()
    {
        QTemporaryDir folder, elsewhere;
        QDir dir(folder.path());
        for (const QString &name :
             {u"b.dat"_s, u"a.txt"_s, u"c.asc"_s, u"REPORT.TXT"_s, u"x.Dat"_s, u"a.b.txt"_s, u"B.txt"_s,
              u"_u.txt"_s, u"\u6e29\u5ea6.txt"_s, u"notes.txt.bak"_s, u"txt"_s, u".x.txt"_s, u".txt"_s,
              u"sub/in.txt"_s, u"old.txt/in.txt"_s}) {
            QVERIFY(dir.mkpath(QFileInfo(dir.filePath(name)).path()));
            QVERIFY(writeFile(dir.filePath(name), "1\r\n"));
        }
        QVERIFY(writeFile(elsewhere.filePath(u"target.bin"_s), "1\r\n"));
        QVERIFY(QFile::link(elsewhere.filePath(u"target.bin"_s), dir.filePath(u"link.asc"_s)));
        QVERIFY(QFile::link(elsewhere.path(), dir.filePath(u"folderlink.dat"_s)));
        QVERIFY(QFile::link(elsewhere.filePath(u"gone"_s), dir.filePath(u"dangling.dat"_s)));
        QCOMPARE(scan(folder.path()),
                 QStringList({u"B.txt"_s, u"REPORT.TXT"_s, u"_u.txt"_s, u"a.b.txt"_s, u"a.txt"_s,
                              u"\u6e29\u5ea6.txt"_s, u"c.asc"_s, u"link.asc"_s, u"b.dat"_s, u"x.Dat"_s}));
    }
#endif

    void folderThatCannotBeReadGivesEmptyList()
    {
        QTemporaryDir parent;
        QVERIFY(writeFile(parent.filePath(u"file"_s), ""));
        QCOMPARE(scan(parent.filePath(u"missing"_s)), QStringList());
        QCOMPARE(scan(parent.filePath(u"file"_s)), QStringList());
    }

#ifdef Q_OS_WIN
    // Files Windows marks hidden or system are not listed; a read-only one is.
    void hiddenAndSystemFilesNotListed()
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
};

QTEST_GUILESS_MAIN(TestScan)
#include "tst_scan.moc"
