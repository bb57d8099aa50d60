// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "settings_file.h"

#include "format/numbers.h"
#include "format/story_facts.h"
#include "format/text_reader.h"

#include <QString>

namespace vorta {

namespace {

std::optional<qint32> product(qint32 value, qint32 unit)
{
    qint32 result;
    if (__builtin_mul_overflow(value, unit, &result))
        return std::nullopt;
    return result;
}

} // namespace

SettingValue readSettingValue(TextReader &reader)
{
    const qint32 value = reader.readNumber();
    return {value, reader.valueLine()};
}

std::optional<qint32> autoPeriodMsOf(qint32 waitingPeriod)
{
    const std::optional<qint32> period = product(waitingPeriod, kPeriodUnitMs);
    if (period == 0)
        return kShortestPeriodMs;
    return period;
}

std::optional<qint32> switchPercentOf(qint32 switchProbability)
{
    return product(switchProbability, kPercentUnit);
}

QByteArray settingsFileBytes(qint32 waitingPeriod, qint32 switchProbability)
{
    const QString text = numberText(waitingPeriod) + QStringLiteral(" \r\n") +
                         numberText(switchProbability) + QStringLiteral(" \r\n");
    return text.toLatin1();
}

} // namespace vorta
