// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <functional>
#include <random>

namespace vorta {

// The story's one uniform generator of values in [0, 1). The story calls reseed() at the first
// start and at every new story; where the seed comes from is the owner's choice.
class RandomSource
{
public:
    virtual ~RandomSource() = default;
    virtual void reseed() = 0;
    virtual double next() = 0;
};

// A Mersenne Twister seeded from a seed function (the clock in the program, a fixed number
// where a story must be told again the same way). Its values are drawn from the engine's bits
// by hand, never through a standard distribution, whose results differ between libraries: the
// same seed tells the same story in every build.
class SeededRandom : public RandomSource
{
public:
    explicit SeededRandom(std::function<std::uint64_t()> seed);
    void reseed() override;
    double next() override;

private:
    std::function<std::uint64_t()> m_seed;
    std::mt19937_64 m_engine;
};

// An integer in 1..n from one value: the integer part of value × n, plus 1 (1 when n is 0).
std::int32_t drawIndex(double value, std::int32_t n);

// A percentage from one value: the integer part of value × 100, 0..99.
std::int32_t drawPercentage(double value);

} // namespace vorta
