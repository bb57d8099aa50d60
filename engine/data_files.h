// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "format/data_tree.h"
#include "format/settings_file.h"

#include <utility>

namespace vorta {

struct StoryState;

// The two settings as the file holds them (the settings dialog shows these).
std::pair<qint32, qint32> readSettingsValues(const DataTree &tree);

// Sets autoPeriodMs (first value × 5000, or 1000 for 0) and switchPercent (second × 10).
void loadSettings(StoryState &state, const DataTree &tree);

// Reads Genres/genres.vtq into genreNames, genreDirs and genreCount (at most 10 pairs).
void loadCatalogue(StoryState &state, const DataTree &tree);

// Replaces the settings file atomically with the two values in the written form.
void saveSettings(const DataTree &tree, qint32 waitingPeriod, qint32 switchProbability);

} // namespace vorta
