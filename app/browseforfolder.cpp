// SPDX-License-Identifier: GPL-3.0-or-later
#include "browseforfolder.h"

#include <QFileDialog>

QString BrowseForFolder(QWidget *owner, const QString &title)
{
    const QString heading = title.isEmpty() ? QStringLiteral("选择目录") : title;
    return QFileDialog::getExistingDirectory(owner, heading, QString(), QFileDialog::ShowDirsOnly);
}
