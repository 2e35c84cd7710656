// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

class QIODevice;

// How a file's text is stored: as bytes (any 8-bit text, GBK and UTF-8
// alike), or as UTF-16 code units in either order, which a byte order mark
// at the start of the file announces. A file is never guessed to be UTF-16
// without its mark.
enum class TextEncoding { Bytes, Utf16LittleEndian, Utf16BigEndian };

// Takes a UTF-16 byte order mark from the start of `source` and tells the
// encoding; anything else is left unread and is bytes.
TextEncoding ReadByteOrderMark(QIODevice &source);

// What a result in the encoding begins with: the mark of its source.
std::string_view ByteOrderMark(TextEncoding encoding);

// What ends each kept line in a result: CR LF in the encoding.
std::string_view LineEnd(TextEncoding encoding);

// Bytes a code unit takes: 1 for bytes, 2 for UTF-16.
inline int UnitSize(TextEncoding encoding)
{
    return encoding == TextEncoding::Bytes ? 1 : 2;
}
