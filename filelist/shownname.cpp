// SPDX-License-Identifier: GPL-3.0-or-later
#include "shownname.h"

#include "folderstate.h"

#include <algorithm>

namespace {

bool needsEscape(QChar c) { return IsEscapedByte(c) || c.category() == QChar::Other_Control; }

QString hexEscapes(const QByteArray &bytes)
{
    QString escapes;
    for (const char byte : bytes)
        escapes += QStringLiteral("\\x") + QString::number(static_cast<unsigned char>(byte), 16).rightJustified(2, u'0');
    return escapes;
}

QString escaped(QChar c)
{
    switch (c.unicode()) {
    case '\n': return QStringLiteral("\\n");
    case '\t': return QStringLiteral("\\t");
    case '\r': return QStringLiteral("\\r");
    case '\\': return QStringLiteral("\\\\");
    case '\'': return QStringLiteral("\\'");
    }
    if (IsEscapedByte(c))
        return hexEscapes(QByteArray(1, char(c.unicode() - 0xDC00)));
    if (needsEscape(c))
        return hexEscapes(QString(c).toUtf8());
    return c;
}

} // namespace

QString ShownName(const QString &name)
{
    if (std::none_of(name.begin(), name.end(), needsEscape))
        return name;
    QString shown(1, u'\'');
    for (const QChar c : name)
        shown += escaped(c);
    return shown + u'\'';
}
