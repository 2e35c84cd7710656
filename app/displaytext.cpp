// SPDX-License-Identifier: GPL-3.0-or-later
#include "displaytext.h"

#include <QStringDecoder>
#include <QStringList>

namespace {

// The lines decoded in the encoding of that name, each on its own: a line
// cut short inside a character leaves that character out and spoils no
// other. `valid` tells whether every line was valid in it.
QString decoded(const QList<QByteArray> &lines, const char *encodingName, bool &valid)
{
    QStringList text;
    valid = true;
    for (const QByteArray &line : lines) {
        QStringDecoder decoder(encodingName);
        text.append(decoder.decode(line));
        valid &= !decoder.hasError();
    }
    return text.join(QLatin1Char('\n'));
}

// Qt built without ICU, as the static Windows build is, knows no GB18030 by
// name; there the system's code page, GBK on Chinese Windows, reads it.
const char *chineseEncodingName()
{
    return QStringDecoder("GB18030").isValid() ? "GB18030" : "Locale";
}

} // namespace

QString DisplayText(const QList<QByteArray> &lines, TextEncoding encoding)
{
    bool valid = true;
    switch (encoding) {
    case TextEncoding::Utf16LittleEndian: return decoded(lines, "UTF-16LE", valid);
    case TextEncoding::Utf16BigEndian: return decoded(lines, "UTF-16BE", valid);
    case TextEncoding::Bytes: break;
    }
    const QString text = decoded(lines, "UTF-8", valid);
    return valid ? text : decoded(lines, chineseEncodingName(), valid);
}
