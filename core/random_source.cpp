// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/random_source.h"

#include <cmath>

namespace vorta {

SeededRandom::SeededRandom(std::function<std::uint64_t()> seed) : m_seed(std::move(seed))
{
    reseed();
}

void SeededRandom::reseed()
{
    m_engine.seed(m_seed());
}

double SeededRandom::next()
{
    // 53 random bits give every double in [0, 1) on a uniform grid.
    return double(m_engine() >> 11) * 0x1.0p-53;
}

std::int32_t drawIndex(double value, std::int32_t n)
{
    return std::int32_t(std::floor(value * n)) + 1;
}

std::int32_t drawPercentage(double value)
{
    return std::int32_t(std::floor(value * 100));
}

} // namespace vorta
