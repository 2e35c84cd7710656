// SPDX-License-Identifier: GPL-3.0-or-later
#include "textencoding.h"

#include <QByteArray>
#include <QIODevice>

using namespace std::string_view_literals;

TextEncoding ReadByteOrderMark(QIODevice &source)
{
    const QByteArray start = source.peek(2);
    TextEncoding encoding = TextEncoding::Bytes;
    if (start == "\xFF\xFE")
        encoding = TextEncoding::Utf16LittleEndian;
    else if (start == "\xFE\xFF")
        encoding = TextEncoding::Utf16BigEndian;
    if (encoding != TextEncoding::Bytes)
        source.skip(2);
    return encoding;
}

std::string_view ByteOrderMark(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf16LittleEndian: return "\xFF\xFE"sv;
    case TextEncoding::Utf16BigEndian: return "\xFE\xFF"sv;
    case TextEncoding::Bytes: break;
    }
    return ""sv;
}

std::string_view LineEnd(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf16LittleEndian: return "\r\0\n\0"sv;
    case TextEncoding::Utf16BigEndian: return "\0\r\0\n"sv;
    case TextEncoding::Bytes: break;
    }
    return "\r\n"sv;
}
