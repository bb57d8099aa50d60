// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/data_files.h"

#include "core/catalogue_file.h"
#include "core/numbers.h"
#include "core/settings_file.h"
#include "core/story_state.h"
#include "core/text_reader.h"
#include "core/tree_paths.h"

namespace vorta {

std::pair<std::int32_t, std::int32_t> readSettingsValues(const DataTree &tree)
{
    TextReader reader = TextReader::open(tree, kSettingsFile);
    const std::int32_t waitingPeriod = readSettingValue(reader).value;
    const std::int32_t switchProbability = readSettingValue(reader).value;
    return {waitingPeriod, switchProbability};
}

void loadSettings(StoryState &state, const DataTree &tree)
{
    const auto [waitingPeriod, switchProbability] = readSettingsValues(tree);
    const std::optional<std::int32_t> autoPeriodMs = autoPeriodMsOf(waitingPeriod);
    const std::optional<std::int32_t> switchPercent = switchPercentOf(switchProbability);
    if (!autoPeriodMs || !switchPercent)
        throw StoryError(ErrorKind::Overflow, kSettingsFile);
    state.autoPeriodMs = *autoPeriodMs;
    state.switchPercent = *switchPercent;
}

void loadCatalogue(StoryState &state, const DataTree &tree)
{
    CatalogueReader reader(TextReader::open(tree, kCatalogueFile));
    state.genreCount = 0;
    while (!reader.atEnd()) {
        CatalogueEntry entry = reader.next();
        state.genreCount = checkedAdd(state.genreCount, 1);
        element(state.genreNames, state.genreCount) = std::move(entry.name);
        element(state.genreDirs, state.genreCount) = std::move(entry.dir);
    }
}

void saveSettings(const DataTree &tree, std::int32_t waitingPeriod, std::int32_t switchProbability)
{
    tree.writeBytes(kSettingsFile, settingsFileBytes(waitingPeriod, switchProbability));
}

} // namespace vorta
