// SPDX-License-Identifier: GPL-3.0-or-later
// FieldToDouble and FieldToLineNumber against a reference of the field rule, on
// the input read as UTF-8 (full-width digits and other non-ASCII included).

#include "reference.h"
#include "require.h"

#include "numbers.h"

#include <QString>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <optional>

namespace {

bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }

// The field's number: blanks around one complete decimal number of ASCII
// characters, finite; nothing otherwise.
std::optional<double> referenceFieldNumber(const QString &text)
{
    qsizetype first = 0, last = text.size();
    while (first < last && isBlank(text[first]))
        ++first;
    while (last > first && isBlank(text[last - 1]))
        --last;
    std::string number;
    for (qsizetype i = first; i < last; ++i) {
        if (text[i].unicode() > 127)
            return std::nullopt;
        number += char(text[i].unicode());
    }
    if (!IsCompleteDecimal(number))
        return std::nullopt;
    const double value = ReferenceVal(number);
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

// Rounds to the nearest integer, halves to the even one.
double roundHalfToEven(double value)
{
    const double below = std::floor(value);
    const double fraction = value - below;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2) != 0))
        return below + 1;
    return below;
}

// Whole numbers exactly, through strtoll; others through the double,
// rounded; 0 outside the 64-bit range.
std::int64_t referenceLineNumber(const QString &text, std::optional<double> number)
{
    if (!number)
        return 0;
    const QByteArray trimmed = text.toLatin1().trimmed();
    if (!trimmed.contains('.') && !trimmed.contains('e') && !trimmed.contains('E')) {
        errno = 0;
        const long long value = std::strtoll(trimmed.constData(), nullptr, 10);
        return errno == ERANGE ? 0 : value;
    }
    const double rounded = roundHalfToEven(*number);
    return rounded >= -0x1p63 && rounded < 0x1p63 ? std::int64_t(rounded) : 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<double> number = referenceFieldNumber(text);
    Require(FieldToDouble(text) == number.value_or(0.0), "FieldToDouble");
    Require(FieldToLineNumber(text) == referenceLineNumber(text, number), "FieldToLineNumber");
    return 0;
}
