#pragma once

#include "random_source.h"

#include <QList>

// Hands out the values it was given, in order, then a fixed value, and counts what the engine
// asked for.
class ScriptedRandom : public vorta::RandomSource
{
public:
    explicit ScriptedRandom(QList<double> values = {}, double fallback = 0.0)
        : m_values(std::move(values)), m_fallback(fallback)
    {}

    void reseed() override { ++m_reseeds; }
    double next() override
    {
        ++m_draws;
        return m_values.isEmpty() ? m_fallback : m_values.takeFirst();
    }

    void push(const QList<double> &values) { m_values += values; }
    // The values not drawn yet.
    qsizetype left() const { return m_values.size(); }
    int draws() const { return m_draws; }
    int reseeds() const { return m_reseeds; }

private:
    QList<double> m_values;
    double m_fallback;
    int m_draws = 0;
    int m_reseeds = 0;
};
