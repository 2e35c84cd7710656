// SPDX-License-Identifier: GPL-3.0-or-later
// tarvel-batch: the batch run from a terminal, one option for each field of
// the window. main() parses the line, checks it, and runs.

#include "batchrun.h"
#include "console.h"
#include "dryrun.h"
#include "folderstate.h"
#include "interruptcleanup.h"
#include "numbers.h"
#include "replacedsource.h"
#include "shownname.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_WIN
#include "systemerror.h"
#include "win32path.h"

#include <windows.h>
#endif

namespace {

enum ExitStatus { AllDone = 0, SomeFailed = 1, BadUsage = 2 };

// What the command line asks for.
struct Request
{
    BatchSettings Settings;
    QString Folder;
    bool InPlace = false; // results may replace listed sources
    bool Verbose = false; // say where the results went
    bool DryRun = false;  // only say what each result would hold
};

void printError(const QString &message)
{
    WriteText(stderr, QStringLiteral("tarvel-batch: %1\n").arg(message));
}

[[noreturn]] void failUsage(const QString &message)
{
    printError(message);
    std::fprintf(stderr, "Try 'tarvel-batch --help' for more information.\n");
    std::exit(BadUsage);
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
    WriteText(stdout, version ? QStringLiteral("%1 %2\n").arg(QCoreApplication::applicationName(),
                                                              QCoreApplication::applicationVersion())
                              : parser.helpText());
    std::exit(AllDone);
#else
    parser.process({program, ask});
    Q_UNREACHABLE();
#endif
}

// --help, --help-all and --version win wherever they stand, whatever else
// the line holds: they are shown alone, and the program exits with 0.
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

// The window reads a field that holds no number as 0; here such a text is
// more likely a slip (--to abc, --from 1.2.3) and is refused, wherever it
// stands among repeats of its option. An empty text stays the empty field,
// and a --to holding "*" means the last line.
void requireNumbers(const QCommandLineParser &parser, const QCommandLineOption &from, const QCommandLineOption &to,
                    const QCommandLineOption &low, const QCommandLineOption &high)
{
    const auto require = [&](const QCommandLineOption &option, auto isNumber) {
        for (const QString &text : parser.values(option)) {
            if (!text.isEmpty() && !isNumber(text))
                failUsage(QStringLiteral("--%1: '%2' is not a number").arg(option.names().constFirst(), text));
        }
    };
    const auto lineNumber = [](const QString &text) { return FieldLineNumber(text).has_value(); };
    const auto number = [](const QString &text) { return FieldNumber(text).has_value(); };
    require(from, lineNumber);
    require(to, [&](const QString &text) { return text.contains(QLatin1Char('*')) || lineNumber(text); });
    require(low, number);
    require(high, number);
}

Request parseArguments(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes, for every .txt, .asc and .dat file directly in FOLDER, the result file\n"
        "PREFIX+NAME in the working directory, holding the lines chosen by line number\n"
        "or by the value of the first column. Lines end at CR LF, CR or LF; the first\n"
        "column starts after leading blanks. Lines whose first column holds no number\n"
        "(headers, comments, blank lines) are never kept by value. Each kept line is\n"
        "written followed by CR LF.\n"
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
                                     QStringLiteral("Allow results to replace their own sources "
                                                    "(never another listed file)."));
    const QCommandLineOption verbose(QStringLiteral("verbose"),
                                     QStringLiteral("Say at the end how many results were written, where to, "
                                                    "and how many are empty."));
    const QCommandLineOption dryRun(QStringLiteral("dry-run"),
                                    QStringLiteral("Write nothing; print what each result would hold: how many "
                                                   "lines, the first and the last by number."));
    parser.addOptions({byLines, byValue, from, to, low, high, prefix, inPlace, verbose, dryRun});
    parser.addPositionalArgument(QStringLiteral("FOLDER"),
                                 QStringLiteral("The folder to read (default: the working directory)."),
                                 QStringLiteral("[FOLDER]"));

    showHelpOrVersionIfAsked(parser, arguments);
    if (!parser.parse(arguments))
        failUsage(parser.errorText());
    requireNumbers(parser, from, to, low, high);
    if (parser.isSet(byLines) && parser.isSet(byValue))
        failUsage(QStringLiteral("--by-lines and --by-value exclude each other"));
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1)
        failUsage(QStringLiteral("only one FOLDER may be given"));

    Request request;
    request.Settings.ByValue = parser.isSet(byValue);
    request.Settings.ByLines = !request.Settings.ByValue;
    request.Settings.StartLineText = parser.value(from);
    request.Settings.EndLineText = parser.value(to);
    request.Settings.LowValueText = parser.value(low);
    request.Settings.HighValueText = parser.value(high);
    request.Settings.SavePrefix = parser.value(prefix);
    request.Folder = positional.isEmpty() ? QStringLiteral(".") : positional.first();
    request.InPlace = parser.isSet(inPlace);
    request.Verbose = parser.isSet(verbose);
    request.DryRun = parser.isSet(dryRun);
    return request;
}

// Why the folder cannot be listed, in the system's words; empty when it can.
QString whyNotListable(const QString &folder)
{
#ifdef Q_OS_WIN
    // The standard library words its reasons from errno, in English. A
    // folder lists at least "." unless it is a drive's empty root.
    WIN32_FIND_DATAW entry;
    const QString pattern = Win32Path(folder + QStringLiteral("/*"));
    const HANDLE found = ::FindFirstFileW(reinterpret_cast<const wchar_t *>(pattern.utf16()), &entry);
    if (found == INVALID_HANDLE_VALUE)
        return ::GetLastError() == ERROR_FILE_NOT_FOUND ? QString() : LastSystemError();
    ::FindClose(found);
    return {};
#else
    std::error_code error;
    std::filesystem::directory_iterator(QFile(folder).filesystemFileName(), error);
    return error ? QString::fromStdString(error.message()) : QString();
#endif
}

// Checks what the line asks before anything is written, and lists the
// folder; a usage error ends the program here.
FolderState checkedFolder(const Request &request)
{
    FolderState folder{request.Folder, {}};
    if (const QString why = whyNotListable(folder.FolderPath); !why.isEmpty())
        failUsage(QStringLiteral("%1: %2").arg(ShownName(folder.FolderPath), why));
    ScanFolder(folder);
    // --in-place lets a result replace its own source only: replacing another
    // listed source would lose that file, or have the run read the result in
    // its place.
    for (const ReplacedSource &replaced :
         FindReplacedSources(request.Settings.SavePrefix, folder.FolderPath, folder.FileNames)) {
        if (replaced.OwnSource && request.InPlace)
            continue;
        failUsage(QStringLiteral("%1: its result %2 would replace the source %3; %4")
                      .arg(ShownName(replaced.Name), ShownName(replaced.ResultPath), ShownName(replaced.SourceName),
                           replaced.OwnSource ? QStringLiteral("give another --prefix, run elsewhere, "
                                                               "or allow it with --in-place")
                                              : QStringLiteral("give another --prefix or run elsewhere")));
    }
    return folder;
}

// One line on standard error for each file that failed, naming the file,
// the side that failed and the system's reason; the exit status.
int reportFailures(const QList<BatchFailure> &failures)
{
    for (const BatchFailure &failure : failures) {
        const QString what = failure.FailedSide == BatchFailure::Side::Source
            ? QStringLiteral("cannot read it")
            : QStringLiteral("cannot write %1").arg(ShownName(QDir::toNativeSeparators(failure.Path)));
        printError(QStringLiteral("%1: %2: %3").arg(ShownName(failure.FileName), what, failure.Reason));
    }
    return failures.isEmpty() ? AllDone : SomeFailed;
}

int run(const Request &request, const FolderState &folder)
{
    BatchReport report;
    {
        Progress progress;
        report = RunBatch(request.Settings, folder.FolderPath, folder.FileNames, std::ref(progress));
    }
    if (request.Verbose) {
        const QString files = report.Done == 1 ? QStringLiteral("file") : QStringLiteral("files");
        WriteText(stdout, QStringLiteral("tarvel-batch: %1 result %2 written into %3, %4 of them empty\n")
                              .arg(QString::number(report.Done), files,
                                   ShownName(QDir::toNativeSeparators(report.ResultFolder)),
                                   QString::number(report.Empty)));
        std::fflush(stdout); // before any failure on standard error
    }
    return reportFailures(report.Failures);
}

#ifdef Q_OS_UNIX
// An argument in other bytes than UTF-8, such as a folder name in GBK,
// reaches Qt with U+FFFD in their place and would name another file.
void refuseArgumentsNotInUtf8(int argc, char *argv[], const QStringList &arguments)
{
    for (int i = 1; i < argc && i < arguments.size(); ++i) {
        if (QFile::encodeName(arguments[i]) != QByteArrayView(argv[i]))
            failUsage(QStringLiteral("%1: the name is not valid UTF-8; rename it, or give a link to it that is")
                          .arg(ShownName(EscapedName(argv[i]))));
    }
}
#endif

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tarvel-batch"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TARVEL_VERSION));
#ifdef Q_OS_UNIX
    refuseArgumentsNotInUtf8(argc, argv, QCoreApplication::arguments());
#endif
    RemoveTemporaryFileOnInterrupt();
    const Request request = parseArguments(QCoreApplication::arguments());
    const FolderState folder = checkedFolder(request);
    if (request.DryRun)
        return reportFailures(PrintDryRun(request.Settings, folder, request.Verbose));
    return run(request, folder);
}
