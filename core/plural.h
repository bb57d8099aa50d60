// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/text.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vorta {

// Which of the three Russian forms a count takes: 1, 21, 101 take the first («знак»), 2-4, 22-24
// the second («знака»), everything else, 11-14 included, the third («знаков»).
inline std::u16string_view pluralForm(std::int64_t n, std::u16string_view one,
                                      std::u16string_view few, std::u16string_view many)
{
    const std::int64_t absolute = n < 0 ? -(n % 100) : n % 100;
    const std::int64_t lastDigit = absolute % 10;
    if (absolute >= 11 && absolute <= 14)
        return many;
    if (lastDigit == 1)
        return one;
    if (lastDigit >= 2 && lastDigit <= 4)
        return few;
    return many;
}

// The count and its noun in the form that count takes: «61 знак», «2 знака», «5 знаков».
inline std::u16string countText(std::int64_t n, std::u16string_view one, std::u16string_view few,
                                std::u16string_view many)
{
    return decimal(n) + u" " + std::u16string(pluralForm(n, one, few, many));
}

} // namespace vorta
