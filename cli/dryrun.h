// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "batchrun.h"

#include <QList>

struct FolderState;

// Reads every listed file of `folder` as a run would and writes nothing:
// prints on standard output, for each file read, what its result would hold
// ("a.txt: 120 lines, 2 to 121", "b.txt: no line"), and with `verbose` the
// totals. Returns the files that could not be read, for the caller to report
// as a run's failures.
QList<BatchFailure> PrintDryRun(const BatchSettings &settings, const FolderState &folder, bool verbose);
