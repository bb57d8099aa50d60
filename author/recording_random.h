#pragma once

#include "random_source.h"

namespace vorta::checker {

// The story's generator, which remembers its last draw: the variant draw is the last draw of
// every move that tells a fragment, so the drawn variant follows from it.
class RecordingRandom : public RandomSource
{
public:
    // Each reseed (each story) takes the next seed, starting from firstSeed.
    explicit RecordingRandom(quint64 firstSeed)
        : m_nextSeed(firstSeed), m_inner([this] { return m_nextSeed++; })
    {}

    void reseed() override { m_inner.reseed(); }
    double next() override
    {
        m_last = m_inner.next();
        ++m_draws;
        return m_last;
    }

    void startMove() { m_draws = 0; }
    int drawsInMove() const { return m_draws; }
    double lastDraw() const { return m_last; }

private:
    quint64 m_nextSeed;
    SeededRandom m_inner;
    double m_last = 0;
    int m_draws = 0;
};

} // namespace vorta::checker
