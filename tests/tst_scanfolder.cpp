#include "folderstate.h"

#include "foldercontents.h"

#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

QStringList scan(const QString &path)
{
    FolderState state{path, {u"left from an earlier scan.txt"_s}};
    ScanFolder(state);
    return state.FileNames;
}

} // namespace

class TestScanFolder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void listsDataFilesGroupedAndSorted();
    void secondScanWithFewerFiles();
    void listsThousandsOfFiles();
    void folderThatCannotBeReadGivesEmptyList_data();
    void folderThatCannotBeReadGivesEmptyList();
};

void TestScanFolder::listsDataFilesGroupedAndSorted()
{
    QTemporaryDir folder;
    QTemporaryDir elsewhere;
    const QDir dir(folder.path());
    for (const QString &name : {u"b.dat"_s, u"a.txt"_s, u"c.asc"_s, u"REPORT.TXT"_s, u"x.Dat"_s,
                                u"a.b.txt"_s, u"B.txt"_s, u"_u.txt"_s, u"\u6e29\u5ea6.txt"_s,
                                u"notes.txt.bak"_s, u"txt"_s, u".x.txt"_s, u".txt"_s})
        QVERIFY(writeFile(dir.filePath(name), "1\r\n"));
    QVERIFY(dir.mkpath(u"old.txt"_s));
    QVERIFY(dir.mkpath(u"sub"_s));
    QVERIFY(writeFile(dir.filePath(u"sub/inner.txt"_s), "1\r\n"));
    QVERIFY(writeFile(elsewhere.filePath(u"target.bin"_s), "1\r\n"));
    QVERIFY(QFile::link(elsewhere.filePath(u"target.bin"_s), dir.filePath(u"link.asc"_s)));
    QVERIFY(QFile::link(elsewhere.path(), dir.filePath(u"folderlink.dat"_s)));
    QVERIFY(QFile::link(elsewhere.filePath(u"gone"_s), dir.filePath(u"dangling.dat"_s)));

    // Sorted by bytes: upper case before "_" before lower case before UTF-8.
    QCOMPARE(scan(folder.path()),
             (QStringList{u"B.txt"_s, u"REPORT.TXT"_s, u"_u.txt"_s, u"a.b.txt"_s, u"a.txt"_s,
                          u"\u6e29\u5ea6.txt"_s, u"c.asc"_s, u"link.asc"_s, u"b.dat"_s,
                          u"x.Dat"_s}));
}

void TestScanFolder::secondScanWithFewerFiles()
{
    QTemporaryDir folder;
    QDir dir(folder.path());
    for (const QString &name : {u"a.txt"_s, u"b.txt"_s, u"c.dat"_s})
        QVERIFY(writeFile(dir.filePath(name), ""));
    FolderState state{folder.path(), {}};
    ScanFolder(state);
    QCOMPARE(state.FileCount(), 3);

    QVERIFY(dir.remove(u"a.txt"_s) && dir.remove(u"c.dat"_s));
    ScanFolder(state);
    QCOMPARE(state.FileNames, QStringList{u"b.txt"_s});
    QCOMPARE(state.FileCount(), 1);
}

void TestScanFolder::listsThousandsOfFiles()
{
    QTemporaryDir folder;
    QStringList expected;
    for (int i = 0; i < 2500; ++i) {
        expected.append(u"f%1.txt"_s.arg(i, 4, 10, QLatin1Char('0')));
        QVERIFY(writeFile(folder.filePath(expected.last()), ""));
    }
    FolderState state{folder.path(), {}};
    ScanFolder(state);
    QCOMPARE(state.FileCount(), 2500);
    QCOMPARE(state.FileNames, expected);
}

void TestScanFolder::folderThatCannotBeReadGivesEmptyList_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing") << u"missing"_s;
    QTest::newRow("a regular file") << u"file"_s;
    QTest::newRow("without read permission") << u"unreadable"_s;
}

void TestScanFolder::folderThatCannotBeReadGivesEmptyList()
{
    QFETCH(QString, kind);
    QTemporaryDir parent;
    const QString path = parent.filePath(u"folder"_s);
    if (kind == u"file"_s)
        QVERIFY(writeFile(path, ""));
    if (kind == u"unreadable"_s) {
        if (geteuid() == 0)
            QSKIP("root reads every folder");
        QVERIFY(QDir().mkpath(path));
        QVERIFY(writeFile(path + u"/a.txt"_s, ""));
        QVERIFY(QFile::setPermissions(path, QFile::WriteOwner | QFile::ExeOwner));
    }
    const QStringList listed = scan(path);
    if (kind == u"unreadable"_s) // lets the temporary folder be removed
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(listed, QStringList());
}

QTEST_GUILESS_MAIN(TestScanFolder)
#include "tst_scanfolder.moc"
