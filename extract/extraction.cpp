// SPDX-License-Identifier: GPL-3.0-or-later
#include "extraction.h"

#include "numbers.h"

LineRanges RangesOf(const BatchSettings &settings)
{
    return {
        FieldToLineNumber(settings.StartLineText),
        FieldToLineNumber(settings.EndLineText),
        settings.EndLineText.contains(QLatin1Char('*')),
        FieldToDouble(settings.LowValueText),
        FieldToDouble(settings.HighValueText),
    };
}

QList<ExtractMode> PassesOf(const BatchSettings &settings)
{
    QList<ExtractMode> passes;
    if (settings.ByLines)
        passes.append(ExtractMode::ByLines);
    if (settings.ByValue)
        passes.append(ExtractMode::ByValue);
    return passes;
}
