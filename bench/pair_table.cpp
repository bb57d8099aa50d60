// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "pair_table.h"

#include <cstdio>
#include <ostream>

#include <unistd.h>

namespace vorta::bench {

namespace {

// The name without the decorations that the library adds (iterations:5, manual_time ...).
std::string shortName(const benchmark::BenchmarkReporter::Run &run)
{
    std::string name = run.run_name.function_name;
    if (!run.run_name.args.empty())
        name += '/' + run.run_name.args;
    return name;
}

std::string formatSeconds(double seconds)
{
    char text[32];
    if (seconds >= 1.0)
        std::snprintf(text, sizeof text, "%.2f s", seconds);
    else if (seconds >= 1e-3)
        std::snprintf(text, sizeof text, "%.2f ms", seconds * 1e3);
    else if (seconds >= 1e-6)
        std::snprintf(text, sizeof text, "%.2f us", seconds * 1e6);
    else
        std::snprintf(text, sizeof text, "%.0f ns", seconds * 1e9);
    return text;
}

std::string formatValue(double value, const std::string &unit)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %s", value, unit.c_str());
    return text;
}

} // namespace

PairTableReporter::PairTableReporter(std::vector<CostPair> pairs)
    : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular),
      m_pairs(std::move(pairs))
{}

void PairTableReporter::ReportRuns(const std::vector<Run> &reports)
{
    ConsoleReporter::ReportRuns(reports);
    for (const Run &run : reports) {
        if (run.error_occurred)
            continue;
        const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
        const bool single = run.run_type == Run::RT_Iteration;
        Figures &figures = m_figures[shortName(run)];
        // A median, once there is one, wins over the single runs it was taken from.
        if (!median && !(single && !figures.median))
            continue;
        figures.median = median;
        figures.seconds =
            run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
        figures.counters.clear();
        for (const auto &[name, counter] : run.counters)
            figures.counters[name] = counter.value;
        if (median)
            m_repetitions = int(run.repetitions);
    }
}

void PairTableReporter::Finalize()
{
    std::ostream &out = GetOutputStream();
    char line[200];
    out << '\n'
        << (m_repetitions > 1 ? "Medians of " + std::to_string(m_repetitions) + " repetitions"
                              : std::string("Single runs"))
        << ", real time; ratio = measured / against (its floor, or the case it is held to)\n";
    std::snprintf(line, sizeof line, "%-42s %12s %12s %7s  %s\n", "cost", "measured", "against",
                  "ratio", "goal");
    out << line;
    for (const CostPair &pair : m_pairs) {
        const auto measured = m_figures.find(pair.measured);
        const auto floor = m_figures.find(pair.floor);
        if (measured == m_figures.end() || floor == m_figures.end())
            continue;
        double a = measured->second.seconds;
        double b = floor->second.seconds;
        std::string aText = formatSeconds(a);
        std::string bText = formatSeconds(b);
        if (!pair.counter.empty()) {
            a = measured->second.counters[pair.counter];
            b = floor->second.counters[pair.counter];
            aText = formatValue(a, pair.counterUnit);
            bText = formatValue(b, pair.counterUnit);
        }
        const double ratio = b > 0 ? a / b : 0;
        std::string goal = "-";
        if (pair.goal > 0) {
            char text[40];
            std::snprintf(text, sizeof text, "<= %.2f %s", pair.goal,
                          ratio <= pair.goal ? "met" : "MISSED");
            goal = text;
        }
        std::snprintf(line, sizeof line, "%-42s %12s %12s %7.2f  %s\n", pair.what.c_str(),
                      aText.c_str(), bText.c_str(), ratio, goal.c_str());
        out << line;
    }
    out.flush();
}

} // namespace vorta::bench
