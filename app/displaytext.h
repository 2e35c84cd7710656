// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "textencoding.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Lines of a file as text to look at, one under the other: UTF-16 as its
// mark says, UTF-8 where every line is valid UTF-8, otherwise GB18030, which
// covers GBK. For display only: the engine never converts text.
QString DisplayText(const QList<QByteArray> &lines, TextEncoding encoding);
