// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/story_tree.h"

#include <cstdint>
#include <utility>

namespace vorta {

struct StoryState;

// The two settings as the file holds them (the settings dialog shows these).
std::pair<std::int32_t, std::int32_t> readSettingsValues(const DataTree &tree);

// Sets autoPeriodMs (first value × 5000, or 1000 for 0) and switchPercent (second × 10).
void loadSettings(StoryState &state, const DataTree &tree);

// Reads Genres/genres.vtq into genreNames, genreDirs and genreCount (at most 10 pairs).
void loadCatalogue(StoryState &state, const DataTree &tree);

// Replaces the settings file with the two values in the written form.
void saveSettings(const DataTree &tree, std::int32_t waitingPeriod, std::int32_t switchProbability);

} // namespace vorta
