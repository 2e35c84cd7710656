// tarvel-batch: the batch run from a terminal, one option for each field of
// the window.

#include "batchrun.h"
#include "folderstate.h"
#include "numbers.h"
#include "shownname.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <system_error>

#ifdef Q_OS_WIN
#include <QDir>
#include <io.h>
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

enum ExitStatus { AllDone = 0, SomeFailed = 1, BadUsage = 2 };

#ifdef Q_OS_WIN
// The console that `stream` shows on; none for a pipe, a file or NUL, which
// _isatty takes for a terminal too.
HANDLE consoleOf(std::FILE *stream)
{
    const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(stream)));
    DWORD mode;
    return ::GetConsoleMode(handle, &mode) ? handle : nullptr;
}
#endif

// A console is given the text as UTF-16, which it shows whatever its code
// page; pipes and files get the system's code page (936 on Simplified
// Chinese Windows), as programs there read them.
void writeText(std::FILE *stream, const QString &text)
{
#ifdef Q_OS_WIN
    if (const HANDLE console = consoleOf(stream)) {
        std::fflush(stream);
        ::WriteConsoleW(console, reinterpret_cast<const wchar_t *>(text.utf16()), DWORD(text.size()), nullptr,
                        nullptr);
        return;
    }
#endif
    std::fputs(text.toLocal8Bit().constData(), stream);
}

// Where a progress line can be shown and then cleared with an escape
// sequence: a terminal, or a console that has been told to take one.
bool showsProgress(std::FILE *stream)
{
#ifdef Q_OS_WIN
    const HANDLE console = consoleOf(stream);
    DWORD mode;
    return console && ::GetConsoleMode(console, &mode)
        && ::SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
#else
    return ::isatty(::fileno(stream));
#endif
}

void printError(const QString &message)
{
    writeText(stderr, QStringLiteral("tarvel-batch: %1\n").arg(message));
}

[[noreturn]] void failUsage(const QString &message)
{
    printError(message);
    std::fprintf(stderr, "Try 'tarvel-batch --help' for more information.\n");
    std::exit(BadUsage);
}

QString describe(const BatchFailure &failure)
{
    const QString what = failure.FailedSide == BatchFailure::Side::Source
        ? QStringLiteral("cannot read it")
        : QStringLiteral("cannot write %1").arg(ShownName(failure.Path));
    return QStringLiteral("%1: %2: %3").arg(ShownName(failure.FileName), what, failure.Reason);
}

// The window reads a field that holds no number as 0; here such a text is
// more likely a slip (--to abc, --from 1.2.3) and is refused. An empty text
// stays the empty field, and a --to holding "*" means the last line.
void requireNumbers(const BatchSettings &settings)
{
    const auto require = [](const char *option, const QString &text, bool isNumber) {
        if (!text.isEmpty() && !isNumber)
            failUsage(QStringLiteral("%1: '%2' is not a number").arg(QLatin1StringView(option), text));
    };
    require("--from", settings.StartLineText, FieldLineNumber(settings.StartLineText).has_value());
    require("--to", settings.EndLineText,
            settings.EndLineText.contains(QLatin1Char('*')) || FieldLineNumber(settings.EndLineText));
    require("--low", settings.LowValueText, FieldNumber(settings.LowValueText).has_value());
    require("--high", settings.HighValueText, FieldNumber(settings.HighValueText).has_value());
}

// Shows the help or the version, as `ask` asks, and exits with 0.
[[noreturn]] void showHelpOrVersion(QCommandLineParser &parser, const QString &program, const QString &ask)
{
#ifdef Q_OS_WIN
    // Qt's parser shows them in a message box whenever the program has no
    // console window, as under Wine or when started with pipes by another
    // program; a command-line tool prints them.
    parser.parse({program, ask});
    const bool version = ask == u"-v" || ask == u"--version";
    writeText(stdout, version ? QStringLiteral("%1 %2\n").arg(QCoreApplication::applicationName(),
                                                              QCoreApplication::applicationVersion())
                              : parser.helpText());
    std::exit(AllDone);
#else
    parser.process({program, ask});
    Q_UNREACHABLE();
#endif
}

// --help, --help-all and --version win wherever they stand, whatever else
// the line holds: Qt's parser shows that alone and exits with 0.
void showHelpOrVersionIfAsked(QCommandLineParser &parser, const QStringList &arguments)
{
    static const QStringList asks{QStringLiteral("-h"),        QStringLiteral("-?"),
                                  QStringLiteral("--help"),    QStringLiteral("--help-all"),
                                  QStringLiteral("-v"),        QStringLiteral("--version")};
    for (const QString &argument : arguments.mid(1)) {
        if (argument == QStringLiteral("--"))
            return; // the rest are folders
        if (asks.contains(argument))
            showHelpOrVersion(parser, arguments.first(), argument);
    }
}

// Why the folder cannot be listed, in the system's words; empty when it can.
QString whyNotListable(const QString &folder)
{
    std::error_code error;
    std::filesystem::directory_iterator(QFile(folder).filesystemFileName(), error);
    return error ? QString::fromStdString(error.message()) : QString();
}

// Names one file whatever path leads to it, through symbolic and hard
// links: its device and inode, or on Windows its volume and file index.
// Empty when there is no such file.
QByteArray fileIdentity(const QString &path)
{
    if (!path.isValidUtf16())
        return {}; // a name that is not UTF-8 is never opened
#ifdef Q_OS_UNIX
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return QByteArray::number(quint64(info.st_dev)) + ':' + QByteArray::number(quint64(info.st_ino));
#else
    // The volume's serial number and the file's index on it; opening with no
    // access right reads them even from a file another program holds open.
    const HANDLE file = ::CreateFileW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(path).utf16()), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    BY_HANDLE_FILE_INFORMATION info;
    const bool known = ::GetFileInformationByHandle(file, &info);
    ::CloseHandle(file);
    if (!known)
        return {};
    return QByteArray::number(quint64(info.dwVolumeSerialNumber)) + ':'
        + QByteArray::number(quint64(info.nFileIndexHigh) << 32 | info.nFileIndexLow);
#endif
}

// A listed source that a result would replace.
struct Replacement
{
    QString Name;       // the file whose result it is
    QString ResultPath;
    QString SourceName; // the listed source it is the same file as
};

// The first result that is the same file as any listed source, its own or
// another's. One look at each file, so that large folders stay fast.
std::optional<Replacement> firstSourceReplaced(const BatchSettings &settings, const FolderState &folder)
{
    QHash<QByteArray, QString> sources;
    for (const QString &name : folder.FileNames) {
        const QByteArray identity = fileIdentity(SourcePathOf(folder.FolderPath, name));
        if (!identity.isEmpty())
            sources.insert(identity, name);
    }
    for (const QString &name : folder.FileNames) {
        const QString result = settings.SavePrefix + name;
        const auto source = sources.constFind(fileIdentity(result));
        if (source != sources.cend())
            return Replacement{name, result, *source};
    }
    return std::nullopt;
}

// A one-line count of files done on a terminal, once the run has taken a
// second; cleared when the run ends.
class Progress
{
public:
    Progress() : m_enabled(showsProgress(stderr)) { m_clock.start(); }
    ~Progress()
    {
        if (m_shown)
            std::fprintf(stderr, "\r\033[K");
    }

    bool operator()(qsizetype index, qsizetype count, const QString &)
    {
        if (m_enabled && m_clock.elapsed() >= 1000) {
            std::fprintf(stderr, "\rtarvel-batch: %lld of %lld files done", qint64(index), qint64(count));
            std::fflush(stderr);
            m_shown = true;
        }
        return true;
    }

private:
    bool m_enabled;
    bool m_shown = false;
    QElapsedTimer m_clock;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tarvel-batch"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TARVEL_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes, for every .txt, .asc and .dat file directly in FOLDER, the result file\n"
        "PREFIX+NAME in the working directory, holding the lines chosen by line number\n"
        "or by the value of the first column. Lines end at CR LF, CR or LF; the first\n"
        "column starts after leading blanks. Each kept line is written followed by CR LF.\n"
        "Every number given must be one: --to may also hold \"*\", the last line.\n"
        "\n"
        "Exit status: 0 when every file was done, 1 when some failed, 2 for bad usage,\n"
        "a folder that cannot be read or a result that would replace a source.\n"
        "\n"
        "Examples:\n"
        "  tarvel-batch --from 2 --prefix new_ ~/data     every line but the first\n"
        "  tarvel-batch --by-value --low 10 --high 20 --prefix /tmp/out/v_ ~/data"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption byLines(QStringLiteral("by-lines"),
                                     QStringLiteral("Keep lines FROM to TO by number (the default)."));
    const QCommandLineOption byValue(QStringLiteral("by-value"),
                                     QStringLiteral("Keep lines whose first column lies in LOW to HIGH."));
    const QCommandLineOption from(QStringLiteral("from"), QStringLiteral("First line to keep."),
                                  QStringLiteral("TEXT"), QString());
    const QCommandLineOption to(QStringLiteral("to"),
                                QStringLiteral("Last line to keep; any \"*\" means the last line."),
                                QStringLiteral("TEXT"), QStringLiteral("*"));
    const QCommandLineOption low(QStringLiteral("low"), QStringLiteral("Lowest first-column value."),
                                 QStringLiteral("TEXT"), QString());
    const QCommandLineOption high(QStringLiteral("high"), QStringLiteral("Highest first-column value."),
                                  QStringLiteral("TEXT"), QString());
    const QCommandLineOption prefix(QStringLiteral("prefix"),
                                    QStringLiteral("Put before each name to name its result."),
                                    QStringLiteral("TEXT"), QString());
    const QCommandLineOption inPlace(QStringLiteral("in-place"),
                                     QStringLiteral("Allow results to replace their own sources."));
    const QCommandLineOption verbose(QStringLiteral("verbose"),
                                     QStringLiteral("Say at the end how many results were written, where to, "
                                                    "and how many are empty."));
    parser.addOptions({byLines, byValue, from, to, low, high, prefix, inPlace, verbose});
    parser.addPositionalArgument(QStringLiteral("FOLDER"),
                                 QStringLiteral("The folder to read (default: the working directory)."),
                                 QStringLiteral("[FOLDER]"));

    showHelpOrVersionIfAsked(parser, QCoreApplication::arguments());
    if (!parser.parse(QCoreApplication::arguments()))
        failUsage(parser.errorText());
    if (parser.isSet(byLines) && parser.isSet(byValue))
        failUsage(QStringLiteral("--by-lines and --by-value exclude each other"));
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1)
        failUsage(QStringLiteral("only one FOLDER may be given"));

    BatchSettings settings;
    settings.ByValue = parser.isSet(byValue);
    settings.ByLines = !settings.ByValue;
    settings.StartLineText = parser.value(from);
    settings.EndLineText = parser.value(to);
    settings.LowValueText = parser.value(low);
    settings.HighValueText = parser.value(high);
    settings.SavePrefix = parser.value(prefix);
    requireNumbers(settings);

    FolderState folder;
    folder.FolderPath = positional.isEmpty() ? QStringLiteral(".") : positional.first();
    if (const QString why = whyNotListable(folder.FolderPath); !why.isEmpty())
        failUsage(QStringLiteral("%1: %2").arg(ShownName(folder.FolderPath), why));
    ScanFolder(folder);

    if (!parser.isSet(inPlace)) {
        if (const std::optional<Replacement> replaced = firstSourceReplaced(settings, folder))
            failUsage(QStringLiteral("%1: its result %2 would replace the source %3; "
                                     "give another --prefix, run elsewhere, or allow it with --in-place")
                          .arg(ShownName(replaced->Name), ShownName(replaced->ResultPath),
                               ShownName(replaced->SourceName)));
    }

    BatchReport report;
    {
        Progress progress;
        report = RunBatch(settings, folder.FolderPath, folder.FileNames, std::ref(progress));
    }
    if (parser.isSet(verbose)) {
        std::printf("tarvel-batch: %lld result %s written into %s, %lld of them empty\n", qint64(report.Done),
                    report.Done == 1 ? "file" : "files", qPrintable(ShownName(report.ResultFolder)),
                    qint64(report.Empty));
        std::fflush(stdout); // before any failure on standard error
    }
    for (const BatchFailure &failure : report.Failures)
        printError(describe(failure));
    return report.Failures.isEmpty() ? AllDone : SomeFailed;
}
