// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "fuzz_support.h"

#include "core/data_files.h"
#include "core/finale.h"
#include "core/fragments.h"
#include "core/moves.h"
#include "core/random_source.h"
#include "core/story_buffer.h"
#include "core/story_state.h"

#include <algorithm>

using namespace vorta;

namespace {

// The buffer and the view agree with each other.
void requireBufferConsistent(const StoryState &state)
{
    fuzz::require(std::size_t(state.nextLine) == state.storyLines.size(),
                  "nextLine counts the buffer");
    fuzz::require(state.topLine >= 1 && state.topLine <= state.nextLine,
                  "the view's first line within the scroll range");
}

// The move that reaches the finale draws nothing.
class NoDraws : public RandomSource
{
public:
    void reseed() override {}
    double next() override
    {
        fuzz::require(false, "no draw in the finishing move");
        return 0.0;
    }
};

} // namespace

// A finale file as any bytes, told on a state drawn from the input's first bytes: the genre
// count, the current genre, lines already told and one byte of uses per genre. Whether it
// succeeds or fails with a StoryError, the timers have swapped and the buffer is consistent.
// Told again by the reader's move from step 64, it tells the same, or on failure leaves the
// story exactly as it was.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::Cursor input(data, size);
    StoryState state;
    state.genreCount = input.byte() % (kMaxGenres + 1);
    state.currentGenre = input.byte() % qMax(1, state.genreCount) + 1;
    for (qint32 g = 1; g <= kMaxGenres; ++g)
        state.genreDirs[std::size_t(g)] = toU16(QStringLiteral("g%1").arg(g));
    state.nextLine = 1;
    resetView(state);
    const int toldBefore = input.byte() % 32;
    for (int i = 1; i <= toldBefore; ++i)
        appendStoryLine(state, toU16(QStringLiteral("line %1").arg(i)));
    for (qint32 g = 1; g <= state.genreCount; ++g)
        state.genreUses[std::size_t(g)] = input.byte();
    state.stepNumber = 65;

    const std::u16string finaleFile = fragmentPath(state, state.currentGenre, 65);
    fuzz::writeDataFile(toQString(finaleFile), input.rest());

    const UseExtremes extremes = useExtremes(state);
    fuzz::require(extremes.leastUsedGenre >= 1 &&
                      extremes.leastUsedGenre <= qMax(1, state.genreCount),
                  "least used genre in range");
    fuzz::require(extremes.mostUsedGenre >= 1 &&
                      extremes.mostUsedGenre <= qMax(1, state.genreCount),
                  "most used genre in range");

    const StoryState before = state;
    const bool told = fuzz::readsOrNamesTheFile(
        finaleFile, [&] { tellFinale(state, fuzz::dataTree()); }, fuzz::Where::FileAndLine);
    requireBufferConsistent(state);
    fuzz::require(!state.window.countdownRunning && state.window.blinking,
                  "the countdown stopped, the button blinking");
    fuzz::require(!state.window.countdownShown, "countdown hidden");
    for (const OfferedPlace &place : state.window.offered)
        fuzz::require(!place.visible, "choices hidden");
    fuzz::require(state.storyLines.size() >= before.storyLines.size() &&
                      std::equal(before.storyLines.begin(), before.storyLines.end(),
                                 state.storyLines.begin()),
                  "lines told before stay as they were");
    fuzz::require(state.genreUses == before.genreUses && state.stepNumber == 65,
                  "the finale counts no use and no step");

    StoryState story = before;
    story.stepNumber = 64;
    const StoryState beforeMove = story;
    NoDraws random;
    const bool moved = fuzz::readsOrNamesTheFile(
        finaleFile, [&] { readerMove(story, u"no such genre", random, fuzz::dataTree()); },
        fuzz::Where::FileAndLine);
    fuzz::require(moved == told, "the finishing move fails exactly when the finale does");
    if (moved)
        fuzz::require(story == state, "the finishing move tells the finale");
    else
        fuzz::require(story == beforeMove, "a failed finishing move leaves the story as it was");
    return 0;
}
