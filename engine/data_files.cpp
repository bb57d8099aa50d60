// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "data_files.h"

#include "engine/story_state.h"
#include "format/catalogue_file.h"
#include "format/numbers.h"
#include "format/text_reader.h"
#include "format/tree_paths.h"

namespace vorta {

std::pair<qint32, qint32> readSettingsValues(const DataTree &tree)
{
    TextReader reader = TextReader::open(tree, kSettingsFile);
    const qint32 waitingPeriod = readSettingValue(reader).value;
    const qint32 switchProbability = readSettingValue(reader).value;
    return {waitingPeriod, switchProbability};
}

void loadSettings(StoryState &state, const DataTree &tree)
{
    const auto [waitingPeriod, switchProbability] = readSettingsValues(tree);
    const std::optional<qint32> autoPeriodMs = autoPeriodMsOf(waitingPeriod);
    const std::optional<qint32> switchPercent = switchPercentOf(switchProbability);
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
        const CatalogueEntry entry = reader.next();
        state.genreCount = checkedAdd(state.genreCount, 1);
        element(state.genreNames, state.genreCount) = entry.name;
        element(state.genreDirs, state.genreCount) = entry.dir;
    }
}

void saveSettings(const DataTree &tree, qint32 waitingPeriod, qint32 switchProbability)
{
    tree.writeBytes(kSettingsFile, settingsFileBytes(waitingPeriod, switchProbability));
}

} // namespace vorta
