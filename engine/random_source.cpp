// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "random_source.h"

#include <cmath>

namespace vorta {

SeededRandom::SeededRandom(std::function<quint64()> seed) : m_seed(std::move(seed))
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

qint32 drawIndex(double value, qint32 n)
{
    return qint32(std::floor(value * n)) + 1;
}

qint32 drawPercentage(double value)
{
    return qint32(std::floor(value * 100));
}

} // namespace vorta
