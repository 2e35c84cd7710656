// tarvel-batch run as a user runs it, on temporary folders.

#include "foldercontents.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>

using namespace Qt::StringLiterals;

namespace {

using Contents = QMap<QString, QByteArray>;

// a.txt in CR LF, b.dat in GBK (温度 15 / 15米 x / 12), c.asc in lone CRs
const Contents Sources{
    {u"a.txt"_s, "10 x\r\n20 y\r\n30 z\r\n40 w\r\n"},
    {u"b.dat"_s, "\xce\xc2\xb6\xc8 15\r\n15\xc3\xd7 x\r\n12\r\n"},
    {u"c.asc"_s, "5 a\r25 b\r"},
};

const Contents FromLineTwo{
    {u"a.txt"_s, "20 y\r\n30 z\r\n40 w\r\n"},
    {u"b.dat"_s, "15\xc3\xd7 x\r\n12\r\n"},
    {u"c.asc"_s, "25 b\r\n"},
};

Contents withPrefix(const QString &prefix, const Contents &contents)
{
    Contents prefixed;
    for (auto it = contents.begin(); it != contents.end(); ++it)
        prefixed.insert(prefix + it.key(), it.value());
    return prefixed;
}

struct Outcome
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Outcome runTool(const QStringList &arguments, const QString &workingDirectory)
{
    QProcess tool;
    tool.setWorkingDirectory(workingDirectory);
    tool.start(QStringLiteral(TARVEL_BATCH_EXE), arguments);
    tool.waitForFinished(-1);
    Outcome outcome;
    if (tool.exitStatus() == QProcess::NormalExit)
        outcome.exitCode = tool.exitCode();
    outcome.out = tool.readAllStandardOutput();
    outcome.err = tool.readAllStandardError();
    return outcome;
}

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void writesResultsSilently_data();
    void writesResultsSilently();
    void refusesBadUsage_data();
    void refusesBadUsage();
    void refusesToReplaceSourcesUnlessAllowed_data();
    void refusesToReplaceSourcesUnlessAllowed();
    void refusesResultHardLinkedToItsSource();
    void reportsFailuresOnStandardError();
    void helpAndVersion_data();
    void helpAndVersion();

private:
    // The arguments with DIR standing for the source folder.
    QStringList withFolder(QStringList arguments) const
    {
        arguments.replaceInStrings(u"DIR"_s, m_folder->path());
        return arguments;
    }

    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<QTemporaryDir> m_work;
};

void TestCli::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
    m_work = std::make_unique<QTemporaryDir>();
    for (auto it = Sources.begin(); it != Sources.end(); ++it)
        QVERIFY(writeFile(m_folder->filePath(it.key()), it.value()));
}

void TestCli::writesResultsSilently_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<Contents>("results");

    QTest::newRow("lines 2 to the last with a prefix")
        << QStringList{u"--to"_s, u"*"_s, u"--from"_s, u"2"_s, u"--prefix"_s, u"new_"_s, u"DIR"_s}
        << withPrefix(u"new_"_s, FromLineTwo);
    QTest::newRow("values 10 to 20 without a prefix")
        << QStringList{u"--by-value"_s, u"--low"_s, u"10"_s, u"--high"_s, u"20"_s, u"DIR"_s}
        << Contents{{u"a.txt"_s, "10 x\r\n20 y\r\n"},
                    {u"b.dat"_s, "15\xc3\xd7 x\r\n12\r\n"},
                    {u"c.asc"_s, ""}};
}

void TestCli::writesResultsSilently()
{
    QFETCH(QStringList, arguments);
    QFETCH(Contents, results);

    const Outcome outcome = runTool(withFolder(arguments), m_work->path());

    QCOMPARE(outcome.exitCode, 0);
    QCOMPARE(outcome.out, QByteArray());
    QCOMPARE(outcome.err, QByteArray());
    QCOMPARE(folderContents(m_work->path()), results);
    QCOMPARE(folderContents(m_folder->path()), Sources);
}

void TestCli::refusesBadUsage_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("missing folder") << QStringList{u"DIR/nowhere"_s};
    QTest::newRow("folder is a file") << QStringList{u"DIR/a.txt"_s};
    QTest::newRow("both modes") << QStringList{u"--by-lines"_s, u"--by-value"_s, u"DIR"_s};
    QTest::newRow("two folders") << QStringList{u"DIR"_s, u"DIR"_s};
    QTest::newRow("unknown option") << QStringList{u"--frm"_s, u"2"_s, u"DIR"_s};
    QTest::newRow("option without its text") << QStringList{u"DIR"_s, u"--from"_s};
}

void TestCli::refusesBadUsage()
{
    QFETCH(QStringList, arguments);

    const Outcome outcome = runTool(withFolder(arguments), m_work->path());

    QCOMPARE(outcome.exitCode, 2);
    QVERIFY2(outcome.err.startsWith("tarvel-batch: "), outcome.err.constData());
    QCOMPARE(folderContents(m_work->path()), Contents());
    QCOMPARE(folderContents(m_folder->path()), Sources);
}

void TestCli::refusesToReplaceSourcesUnlessAllowed_data()
{
    QTest::addColumn<bool>("inFolder");
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("empty prefix in the folder") << true << QStringList{u"--from"_s, u"2"_s};
    QTest::newRow("prefix leading back into the folder")
        << false << QStringList{u"--from"_s, u"2"_s, u"--prefix"_s, u"DIR/"_s, u"DIR"_s};
}

void TestCli::refusesToReplaceSourcesUnlessAllowed()
{
    QFETCH(bool, inFolder);
    QFETCH(QStringList, arguments);
    const QString workingDirectory = inFolder ? m_folder->path() : m_work->path();

    const Outcome refused = runTool(withFolder(arguments), workingDirectory);
    QCOMPARE(refused.exitCode, 2);
    QVERIFY(refused.err.startsWith("tarvel-batch: "));
    QCOMPARE(folderContents(m_folder->path()), Sources);

    const Outcome allowed = runTool(withFolder(arguments) << u"--in-place"_s, workingDirectory);
    QCOMPARE(allowed.exitCode, 0);
    QCOMPARE(allowed.err, QByteArray());
    QCOMPARE(folderContents(m_folder->path()), FromLineTwo);
    QCOMPARE(folderContents(m_work->path()), Contents());
}

// A hard link is the source under another name: writing it would empty the
// source before it is read.
void TestCli::refusesResultHardLinkedToItsSource()
{
    std::error_code error;
    std::filesystem::create_hard_link(m_folder->filePath(u"a.txt"_s).toStdString(),
                                      m_work->filePath(u"a.txt"_s).toStdString(), error);
    QVERIFY2(!error, error.message().c_str());

    const Outcome outcome = runTool(withFolder({u"--from"_s, u"2"_s, u"DIR"_s}), m_work->path());

    QCOMPARE(outcome.exitCode, 2);
    QVERIFY(outcome.err.startsWith("tarvel-batch: a.txt: "));
    QCOMPARE(folderContents(m_folder->path()), Sources);
}

void TestCli::reportsFailuresOnStandardError()
{
    QVERIFY(QDir(m_work->path()).mkdir(u"new_a.txt"_s));

    const QStringList arguments{u"--from"_s, u"2"_s, u"--prefix"_s, u"new_"_s, u"DIR"_s};
    const Outcome outcome = runTool(withFolder(arguments), m_work->path());

    QCOMPARE(outcome.exitCode, 1);
    QCOMPARE(outcome.out, QByteArray());
    QVERIFY2(outcome.err.startsWith("tarvel-batch: a.txt: ") && outcome.err.count('\n') == 1
                 && outcome.err.endsWith('\n'),
             outcome.err.constData());
    Contents expected = withPrefix(u"new_"_s, FromLineTwo);
    expected[u"new_a.txt"_s] = "<folder>";
    QCOMPARE(folderContents(m_work->path()), expected);
}

void TestCli::helpAndVersion_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QByteArray>("shown");
    QTest::newRow("help") << u"--help"_s << QByteArray("--by-value");
    QTest::newRow("version") << u"--version"_s << QByteArray("tarvel-batch");
}

void TestCli::helpAndVersion()
{
    QFETCH(QString, option);
    QFETCH(QByteArray, shown);

    const Outcome outcome = runTool({option}, m_work->path());

    QCOMPARE(outcome.exitCode, 0);
    QVERIFY(outcome.out.contains(shown));
    QCOMPARE(folderContents(m_work->path()), Contents());
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
