// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "author/simulation/story_counts.h"
#include "core/diagnostics.h"
#include "core/story_check.h"

#include "core/story_tree.h"
#include "format/qt_text.h"

#include <QStringList>
#include <QTextStream>

#include <optional>
#include <vector>

namespace vorta::author {

// The seed of the coverage run: the same data always gives the same report.
constexpr quint64 kCoverageSeed = 1;

struct ToldStory
{
    QStringList lines;               // every line that entered the story text, in order
    std::optional<StoryError> error; // the data error that stopped the story, if any
};

// One whole story as the program tells it when the reader never clicks: every move is the
// program's, with the settings file's switch probability, from a generator seeded with seed.
ToldStory tellStory(const DataTree &tree, quint64 seed);

struct CoverageReport
{
    int stories = 0;
    // Every variant and finale record that no story told, and every pair that ended a story
    // with no record for it, sorted.
    std::vector<Diagnostic> notes;
    int variantsTold = 0;
    int variantsTotal = 0;
    int recordsTold = 0;
    int recordsTotal = 0;
    StoryCounts counts;
};

// Tells whole stories one after another with a simulated reader who sometimes clicks an
// offered genre (each story with its own favourites and patience, half of them aiming at one
// ending) and otherwise lets the program move. Each move's report says what it told. Throws
// the StoryError that stops a story.
CoverageReport runCoverage(const DataTree &tree, const StoryData &data, int stories,
                           quint64 seed = kCoverageSeed);

// The report: the notes, then the totals, the branch taken at step 37, the stories that ended
// with no finale and, per genre, the variants never told.
void printCoverage(const CoverageReport &report, const StoryData &data, QTextStream &out);

} // namespace vorta::author
