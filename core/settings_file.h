// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vorta {

class TextReader;

// One of the settings file's two numbers, and the line it stands on.
struct SettingValue
{
    std::int32_t value = 0;
    int line = 0;
};

// Reads the next number of the settings file: the waiting period first, then the switch
// probability. Spaces, commas and line ends part them; what follows the second is not read.
SettingValue readSettingValue(TextReader &reader);

// The waiting period in milliseconds, or none when it does not fit 32 bits.
std::optional<std::int32_t> autoPeriodMsOf(std::int32_t waitingPeriod);
// The chance of a switch in percent, or none when it does not fit 32 bits.
std::optional<std::int32_t> switchPercentOf(std::int32_t switchProbability);

// The settings file exactly as the settings window writes it: each number on a line of its
// own in its signed written form, a space after it, CR LF.
std::string settingsFileBytes(std::int32_t waitingPeriod, std::int32_t switchProbability);

} // namespace vorta
