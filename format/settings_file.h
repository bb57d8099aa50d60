// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>

#include <optional>

namespace vorta {

class TextReader;

// One of the settings file's two numbers, and the line it stands on.
struct SettingValue
{
    qint32 value = 0;
    int line = 0;
};

// Reads the next number of the settings file: the waiting period first, then the switch
// probability. Spaces, commas and line ends part them; what follows the second is not read.
SettingValue readSettingValue(TextReader &reader);

// The waiting period in milliseconds, or none when it does not fit 32 bits.
std::optional<qint32> autoPeriodMsOf(qint32 waitingPeriod);
// The chance of a switch in percent, or none when it does not fit 32 bits.
std::optional<qint32> switchPercentOf(qint32 switchProbability);

// The settings file exactly as the settings window writes it: each number on a line of its
// own in its signed written form, a space after it, CR LF.
QByteArray settingsFileBytes(qint32 waitingPeriod, qint32 switchProbability);

} // namespace vorta
