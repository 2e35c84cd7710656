// SPDX-License-Identifier: GPL-3.0-or-later
// tarvel: the window.

#include "form1.h"
#include "interruptcleanup.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarvel"));
    QApplication::setApplicationVersion(QStringLiteral(TARVEL_VERSION));
    RemoveTemporaryFileOnInterrupt();

    // Qt's own texts (the folder dialog, the boxes' context menus, the
    // buttons of message boxes) in the system's language, where Qt's
    // translations are installed; otherwise they stay English.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Cuts lines out of many text data files at once. The window opens on FOLDER,\n"
        "or on the program's own folder when none is given."));
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
