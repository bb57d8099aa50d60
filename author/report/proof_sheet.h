// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "author/manuscript/tree_build.h"
#include "author/simulation/story_counts.h"
#include "core/story_check.h"

#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace vorta::author {

// Where a line of a tree's file is shown: the file and line themselves for a tree, the
// manuscript's for a story built from one.
using PlaceOf = std::function<SourcePlace(const QString &path, int line)>;

struct ProofSheetInput
{
    QString title; // the story folder's name
    const CheckResult *checked = nullptr;
    // Findings about the story's sources beside those of the tree (a manuscript's own).
    std::vector<Diagnostic> sourceDiagnostics;
    PlaceOf placeOf; // none: the tree's own places
    // The counts of the coverage run; none when a story of the run stopped on a data error,
    // which runFailure then names.
    std::optional<StoryCounts> counts;
    QString runFailure;
    quint64 seed = 0;
};

// The proof sheet: one self-contained XHTML page (inline CSS, no script, no reference outside
// itself) with the statistics, a map of genres × steps shaded by how often each step was told,
// every step's variants side by side in the row's monospaced width with their diagnostics, and
// the finale matrix.
QString proofSheet(const ProofSheetInput &input);

} // namespace vorta::author
