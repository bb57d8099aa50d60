// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace vorta::bench {

// One line of the summary: a measured cost against its floor (or against the case it must
// not exceed), and the goal for their ratio (0: none, the ratio only shows a share).
struct CostPair
{
    std::string what;
    std::string measured;
    std::string floor;
    double goal = 0;
    // A counter of both runs to compare instead of their time.
    std::string counter = {};
    std::string counterUnit = {};
};

// The usual console report, followed by a table of the pairs: medians when the runs were
// repeated, and each measured cost as a ratio to its floor.
class PairTableReporter : public benchmark::ConsoleReporter
{
public:
    explicit PairTableReporter(std::vector<CostPair> pairs);

    void ReportRuns(const std::vector<Run> &reports) override;
    void Finalize() override;

private:
    struct Figures
    {
        double seconds = 0;
        std::map<std::string, double> counters;
        bool median = false;
    };

    std::vector<CostPair> m_pairs;
    std::map<std::string, Figures> m_figures;
    int m_repetitions = 1;
};

} // namespace vorta::bench
