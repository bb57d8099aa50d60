// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/random_source.h"

#include <QList>

#include <exception>
#include <utility>

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
        if (m_failure)
            std::rethrow_exception(std::exchange(m_failure, nullptr));
        return m_values.isEmpty() ? m_fallback : m_values.takeFirst();
    }

    void push(const QList<double> &values) { m_values += values; }
    // The next draw throws this instead, as a failure deep inside a move would.
    void failNextDraw(std::exception_ptr failure) { m_failure = std::move(failure); }
    // The values not drawn yet.
    qsizetype left() const { return m_values.size(); }
    int draws() const { return m_draws; }
    int reseeds() const { return m_reseeds; }

private:
    QList<double> m_values;
    double m_fallback;
    int m_draws = 0;
    int m_reseeds = 0;
    std::exception_ptr m_failure;
};
