// SPDX-License-Identifier: GPL-3.0-or-later
#include "qttranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

// Where Qt's translations are: the system's Qt keeps them in a folder of its
// own; the static Windows build carries the Chinese one in its resources.
QString translationsFolder()
{
#ifdef Q_OS_WIN
    return QStringLiteral(":/qt-translations");
#else
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
#endif
}

} // namespace

void InstallQtTranslation(QCoreApplication &app)
{
    auto *const texts = new QTranslator(&app);
    if (texts->load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"), translationsFolder()))
        QCoreApplication::installTranslator(texts);
}
