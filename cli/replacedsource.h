// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

struct BatchSettings;
struct FolderState;

// A listed source that a result would replace.
struct ReplacedSource
{
    QString Name;       // the file whose result it is
    QString ResultPath;
    QString SourceName; // the listed source it is the same file as
};

// The first result of a run that is the same file as any listed source, its
// own or another's, through symbolic and hard links alike. One look at each
// file, so that large folders stay fast.
std::optional<ReplacedSource> FirstReplacedSource(const BatchSettings &settings, const FolderState &folder);
