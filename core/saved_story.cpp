// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/saved_story.h"

#include "core/finale.h"
#include "core/genre_choice.h"
#include "core/story_buffer.h"
#include "core/story_error.h"
#include "core/text.h"
#include "core/tree_paths.h"

#include <algorithm>

namespace vorta {

namespace {

[[noreturn]] void unreadable(const std::u16string &why)
{
    throw StoryError(ErrorKind::SavedStoryUnreadable, kSavedStoryFile, 0, why);
}

void checkRange(const std::u16string &what, std::int64_t value, std::int64_t low, std::int64_t high)
{
    if (value < low || value > high)
        unreadable(format(u"%1 %2 вне пределов %3..%4",
                          {what, decimal(value), decimal(low), decimal(high)}));
}

} // namespace

SavedStory savedStoryOf(const StoryState &state)
{
    SavedStory saved;
    for (std::int32_t g = 1; g <= state.genreCount; ++g) {
        saved.genreNames.push_back(state.genreNames[std::size_t(g)]);
        saved.genreDirs.push_back(state.genreDirs[std::size_t(g)]);
    }
    saved.lines.assign(state.storyLines.begin() + 1,
                       state.storyLines.begin() + std::max(1, state.nextLine));
    saved.nextLine = state.nextLine;
    saved.stepNumber = state.stepNumber;
    saved.currentGenre = state.currentGenre;
    std::copy(state.genreUses.begin() + 1, state.genreUses.end(), saved.genreUses.begin());
    saved.iqValue = state.iqValue;
    saved.offeredGenres = offeredGenres(state);
    saved.finished = state.stepNumber == kFinaleStep;
    return saved;
}

std::vector<std::u16string> offeredGenres(const StoryState &state)
{
    std::vector<std::u16string> captions;
    for (const OfferedPlace &place : state.window.offered) {
        if (place.visible)
            captions.push_back(place.caption);
    }
    return captions;
}

void checkSavedStory(const SavedStory &saved)
{
    const auto genreCount = std::int32_t(saved.genreNames.size());
    checkRange(u"шаг", saved.stepNumber, 0, kFinaleStep);
    checkRange(u"жанр", saved.currentGenre, 1, std::max(1, genreCount));
    // 0 before the first draw.
    if (saved.iqValue != 0)
        checkRange(u"IQ", saved.iqValue, kLowestIq, kHighestIq);
    // A step counts one use at most, and genres past the catalogue are never used.
    std::int64_t uses = 0;
    for (std::int32_t g = 1; g <= kMaxGenres; ++g) {
        const std::int32_t most = g <= genreCount ? saved.stepNumber : 0;
        checkRange(format(u"число шагов в жанре %1:", {decimal(g)}),
                   saved.genreUses[std::size_t(g - 1)], 0, most);
        uses += saved.genreUses[std::size_t(g - 1)];
    }
    checkRange(u"всего шагов в жанрах:", uses, 0, saved.stepNumber);
    checkRange(u"строк", std::int64_t(saved.lines.size()), 0, kMaxSavedLines);
    if (std::size_t(saved.nextLine) != saved.lines.size() + 1)
        unreadable(format(u"строк %1, а следующая строка %2",
                          {decimal(std::int64_t(saved.lines.size())), decimal(saved.nextLine)}));
    if (saved.finished != (saved.stepNumber == kFinaleStep))
        unreadable(format(u"финал и шаг %1 не сходятся", {decimal(saved.stepNumber)}));
}

bool fitsCatalogue(const SavedStory &saved, const StoryState &state)
{
    if (saved.genreNames.size() != std::size_t(state.genreCount) ||
        saved.genreDirs.size() != std::size_t(state.genreCount))
        return false;
    for (std::int32_t g = 1; g <= state.genreCount; ++g) {
        if (saved.genreNames[std::size_t(g - 1)] != state.genreNames[std::size_t(g)] ||
            saved.genreDirs[std::size_t(g - 1)] != state.genreDirs[std::size_t(g)])
            return false;
    }
    return true;
}

void resumeSavedStory(StoryState &state, const SavedStory &saved)
{
    state.storyLines.clear();
    state.storyLines.reserve(saved.lines.size() + 1);
    state.storyLines.emplace_back();
    state.storyLines.insert(state.storyLines.end(), saved.lines.begin(), saved.lines.end());
    state.nextLine = saved.nextLine;
    state.stepNumber = saved.stepNumber;
    state.currentGenre = saved.currentGenre;
    state.iqValue = saved.iqValue;
    state.genreUses.fill(0);
    std::copy(saved.genreUses.cbegin(), saved.genreUses.cend(), state.genreUses.begin() + 1);

    offeredGenresRefresh(state);
    if (saved.finished)
        endStoryWindow(state);
    // Where a story told line by line leaves the view: the last line in the last row but one.
    followScrollBar(state, state.nextLine - (kViewportRows - 1));

    if (offeredGenres(state) != saved.offeredGenres)
        unreadable(u"предложенные жанры не те, что у рассказа");
}

} // namespace vorta
