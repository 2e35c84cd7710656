// SPDX-License-Identifier: GPL-3.0-or-later
// tarvel: the window.

#include "form1.h"
#include "interruptcleanup.h"
#include "qttranslation.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarvel"));
    QApplication::setApplicationVersion(QStringLiteral(TARVEL_VERSION));
    RemoveTemporaryFileOnInterrupt();

    InstallQtTranslation(app);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Cuts lines out of many text data files at once. The window opens on FOLDER,\n"
        "or, when none is given, on the program's own folder if it holds data files,\n"
        "otherwise on the working directory."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FOLDER"), QStringLiteral("The folder to open."),
                                 QStringLiteral("[FOLDER]"));
    parser.process(app);

    Form1 window;
    window.show();
    if (!parser.positionalArguments().isEmpty())
        window.OpenFolder(parser.positionalArguments().constFirst());
    return app.exec();
}
