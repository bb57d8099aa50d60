#pragma once

#include "random_source.h"

#include <QList>

// A random source that gives the values it was handed, in order, then a fixed value.
class ScriptedRandom : public vorta::RandomSource
{
public:
    explicit ScriptedRandom(QList<double> values = {}, double after = 0.0)
        : m_values(std::move(values)), m_after(after)
    {}

    void reseed() override { ++m_reseeds; }
    double next() override { return m_values.isEmpty() ? m_after : m_values.takeFirst(); }

    void push(double value) { m_values.append(value); }
    int reseeds() const { return m_reseeds; }

private:
    QList<double> m_values;
    double m_after;
    int m_reseeds = 0;
};
