// SPDX-License-Identifier: GPL-3.0-or-later
#include "browseforfolder.h"

#include <QFileDialog>

QString BrowseForFolder(QWidget *owner, const QString &title)
{
    return QFileDialog::getExistingDirectory(owner, title, QString(), QFileDialog::ShowDirsOnly);
}
