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

namespace {

// What frames the text of a result in an encoding.
struct Framing
{
    std::string_view mark, lineEnd;
};

Framing framingOf(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf16LittleEndian: return {"\xFF\xFE"sv, "\r\0\n\0"sv};
    case TextEncoding::Utf16BigEndian: return {"\xFE\xFF"sv, "\0\r\0\n"sv};
    case TextEncoding::Bytes: break;
    }
    return {""sv, "\r\n"sv};
}

} // namespace

std::string_view ByteOrderMark(TextEncoding encoding)
{
    return framingOf(encoding).mark;
}

std::string_view LineEnd(TextEncoding encoding)
{
    return framingOf(encoding).lineEnd;
}
