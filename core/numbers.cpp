// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/numbers.h"

#include "core/text.h"

#include <limits>

namespace vorta {

std::u16string numberText(std::int64_t value)
{
    return value < 0 ? decimal(value) : u" " + decimal(value);
}

std::optional<std::int64_t> parseInteger(std::u16string_view text)
{
    const std::u16string_view number = trimmed(text);
    const bool negative = !number.empty() && number.front() == u'-';
    const std::size_t sign = negative || (!number.empty() && number.front() == u'+') ? 1 : 0;
    if (number.size() == sign)
        return std::nullopt;
    std::int64_t value = 0;
    for (std::size_t i = sign; i < number.size(); ++i) {
        const char16_t c = number[i];
        if (c < u'0' || c > u'9')
            return std::nullopt;
        if (i - sign < 18)
            value = value * 10 + (c - u'0');
    }
    if (number.size() - sign > 18)
        return negative ? std::numeric_limits<std::int64_t>::min()
                        : std::numeric_limits<std::int64_t>::max();
    return negative ? -value : value;
}

} // namespace vorta
