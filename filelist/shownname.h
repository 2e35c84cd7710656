// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// A file name or path as it may be shown on a terminal or in a message: as
// it is when it is printable UTF-8, Chinese included; otherwise in single
// quotes, with each control character and each byte that is not UTF-8 (as
// the scan lists them) written as an escape: \n, \t, \r or \xHH, and with
// \\ and \' for a backslash and a quote, so that it stays on one line and
// tells which file it means.
QString ShownName(const QString &name);
