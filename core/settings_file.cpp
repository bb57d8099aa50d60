// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/settings_file.h"

#include "core/numbers.h"
#include "core/story_facts.h"
#include "core/text.h"
#include "core/text_reader.h"

namespace vorta {

SettingValue readSettingValue(TextReader &reader)
{
    const std::int32_t value = reader.readNumber();
    return {value, reader.valueLine()};
}

std::optional<std::int32_t> autoPeriodMsOf(std::int32_t waitingPeriod)
{
    const std::optional<std::int32_t> period = product(waitingPeriod, kPeriodUnitMs);
    if (period == 0)
        return kShortestPeriodMs;
    return period;
}

std::optional<std::int32_t> switchPercentOf(std::int32_t switchProbability)
{
    return product(switchProbability, kPercentUnit);
}

std::string settingsFileBytes(std::int32_t waitingPeriod, std::int32_t switchProbability)
{
    return toUtf8(numberText(waitingPeriod) + u" \r\n" + numberText(switchProbability) + u" \r\n");
}

} // namespace vorta
