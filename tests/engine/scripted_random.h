#pragma once

#include "random_source.h"

#include <QList>
#include <QTest>

// Hands out the values it was given, in order, and counts what the engine asked for.
class ScriptedRandom : public vorta::RandomSource
{
public:
    explicit ScriptedRandom(QList<double> values = {}, double fallback = 0.0)
        : m_values(std::move(values)), m_fallback(fallback)
    {}

    void reseed() override { ++reseeds; }
    double next() override
    {
        ++draws;
        return m_values.isEmpty() ? m_fallback : m_values.takeFirst();
    }
    void push(QList<double> values) { m_values += values; }
    qsizetype left() const { return m_values.size(); }

    int reseeds = 0;
    int draws = 0;

private:
    QList<double> m_values;
    double m_fallback;
};
