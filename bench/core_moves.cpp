// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The core's moves timed natively, exactly as bench/web_moves.mjs times them in WebAssembly: the
// story file opened from memory, whole stories of the reader's moves (the first genre on offer
// each time), and countdown ticks that do not move. Prints the least of the repetitions in
// nanoseconds of processor time: what other work on a shared machine adds to a repetition, the
// least of them leaves out.
#include "core/data_files.h"
#include "core/moves.h"
#include "core/random_source.h"
#include "core/story_file.h"
#include "core/story_state.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>
#include <vector>

using namespace vorta;

namespace {

// The same counts as the script's.
constexpr int kRepetitions = 15;
constexpr int kStories = 20;
constexpr int kMovesPerStory = 64;
// The longest waiting period, 50 s: 49 ticks pass without a move.
constexpr int kLongestWait = 10;
constexpr int kTicksWithoutMove = 49;

double least(const std::vector<double> &values)
{
    return *std::min_element(values.begin(), values.end());
}

double processorNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e9 + double(now.tv_nsec);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s STORY.vorta\n", argv[0]);
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const DataTree tree = readStoryFile(MemoryBytes(std::move(bytes)), u"story.vorta").tree();
    std::uint64_t seed = 0;
    SeededRandom random([&seed] { return seed; });
    StoryState state;
    firstStart(state, random, tree);
    saveSettings(tree, kLongestWait, 5);

    std::vector<double> moves;
    std::vector<double> ticks;
    // The first round warms the caches up, as it warms the script's compiler up; it is not kept.
    for (int round = 0; round <= kRepetitions; ++round) {
        double moving = 0;
        double ticking = 0;
        for (int story = 0; story < kStories; ++story) {
            seed = std::uint64_t(story);
            newStory(state, random, tree);
            double start = processorNanoseconds();
            for (int tick = 0; tick < kTicksWithoutMove; ++tick)
                countdownTick(state, random, tree);
            ticking += processorNanoseconds() - start;
            start = processorNanoseconds();
            for (int move = 0; move < kMovesPerStory; ++move) {
                const std::u16string caption = state.window.offered[0].caption;
                readerMove(state, caption, random, tree);
            }
            moving += processorNanoseconds() - start;
        }
        if (round == 0)
            continue;
        moves.push_back(moving / (kStories * kMovesPerStory));
        ticks.push_back(ticking / (kStories * kTicksWithoutMove));
    }
    std::printf("%.0f %.0f\n", least(moves), least(ticks));
    return 0;
}
