// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "replacedsource.h"

class QWidget;

// What the window says before a run whose results would replace listed
// sources.

// The refusal of a run in which a result would replace another listed
// source: the first such pair and how many there are. Empty when there is
// none.
QString RefusalText(const QList<ReplacedSource> &replaced);

// The question before `count` sources are replaced by their own extracts.
QString ReplaceOwnSourcesQuestion(qsizetype count);

// Asks `question` modally to `owner`, with "覆盖" and "取消", "取消" being
// the default; true for "覆盖".
bool ConfirmReplacing(QWidget *owner, const QString &question);
