// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/moves.h"
#include "core/random_source.h"
#include "core/story_file.h"
#include "core/story_state.h"
#include "core/text.h"
#include "memory_story.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

using namespace vorta;

namespace {

// A golden story: a seed and the reader's picks in, the lines told out. Its first line says
// "seed=N picks=FOLDER,FOLDER,…"; the reader picks while the picks last (a single pick steers
// every move) and the program moves for the rest; every line after the first is a line told.
struct Golden
{
    std::uint64_t seed = 0;
    std::vector<std::u16string> picks;
    std::vector<std::u16string> lines;
};

Golden readGolden(const std::filesystem::path &path)
{
    std::istringstream in(memory_story::fileBytes(path.string()));
    Golden golden;
    std::string line;
    std::getline(in, line);
    std::istringstream head(line);
    std::string seed;
    std::string picks;
    head >> seed >> picks;
    golden.seed = std::stoull(seed.substr(seed.find('=') + 1));
    for (std::size_t at = picks.find('=') + 1; at < picks.size();) {
        const std::size_t comma = std::min(picks.find(',', at), picks.size());
        golden.picks.push_back(fromUtf8(picks.substr(at, comma - at)));
        at = comma + 1;
    }
    while (std::getline(in, line))
        golden.lines.push_back(fromUtf8(line));
    return golden;
}

std::vector<std::u16string> tell(const DataTree &tree, const Golden &golden)
{
    StoryState state;
    SeededRandom random([&golden] { return golden.seed; });
    firstStart(state, random, tree);
    for (std::size_t move = 0; state.stepNumber < kFinaleStep; ++move) {
        const std::size_t pick = golden.picks.size() == 1 ? 0 : move;
        if (pick < golden.picks.size()) {
            const auto dir =
                std::find(state.genreDirs.begin(), state.genreDirs.end(), golden.picks[pick]);
            state.currentGenre = std::int32_t(dir - state.genreDirs.begin());
            runStoryStep(state, MoveKind::Reader, random, tree);
        } else {
            programMove(state, random, tree);
        }
    }
    return std::vector<std::u16string>(state.storyLines.begin() + 1, state.storyLines.end());
}

} // namespace

// The sample story told from its story file tells, for the same seed and picks, the lines kept
// in the golden files, whichever standard library the core was built with.
TEST(GoldenStories, TellTheSameLines)
{
    const StoryFileContents story =
        readStoryFile(MemoryBytes(memory_story::fileBytes(VORTA_GOLDEN_STORY_FILE)), u"sample");
    int told = 0;
    for (const auto &file : std::filesystem::directory_iterator(VORTA_GOLDEN_DIR)) {
        const Golden golden = readGolden(file.path());
        EXPECT_EQ(tell(story.tree(), golden), golden.lines) << file.path();
        ++told;
    }
    EXPECT_GE(told, 4);
}
