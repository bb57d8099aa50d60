#pragma once

#include "engine/random_source.h"

namespace vorta::author {

// The story's generator, which remembers its last draw: the variant draw is the last draw of
// every move that tells a fragment, so the drawn variant follows from it.
class RecordingRandom : public RandomSource
{
public:
    explicit RecordingRandom(std::function<quint64()> seed) : m_inner(std::move(seed)) {}

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
    SeededRandom m_inner;
    double m_last = 0;
    int m_draws = 0;
};

} // namespace vorta::author
