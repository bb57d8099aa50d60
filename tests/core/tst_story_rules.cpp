// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/fragments.h"
#include "core/moves.h"
#include "core/numbers.h"
#include "core/saved_story.h"
#include "core/story_buffer.h"
#include "core/story_state.h"
#include "memory_story.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace vorta;
using memory_story::ScriptedRandom;

namespace {

const memory_story::Lines kCatalogue{u"Сказка,skazka", u"Ужасы,horror", u"Детектив,detective"};

DataTree sampleTree()
{
    return DataTree(memory_story::storyTree(kCatalogue));
}

} // namespace

// The draws that depend on floating point: the same in every standard library.
TEST(StoryRules, Draws)
{
    EXPECT_EQ(drawIndex(0.0, 5), 1);
    EXPECT_EQ(drawIndex(0.9999999999, 5), 5);
    EXPECT_EQ(drawPercentage(0.999), 99);
    EXPECT_EQ(drawVariant(0.99999999999, 3), 3); // rounds up to 1.0f in single precision
    EXPECT_EQ(drawVariant(0.5, 2), 2);
    SeededRandom random([] { return std::uint64_t(7); });
    const double first = random.next();
    random.reseed();
    EXPECT_EQ(random.next(), first);
}

// The IQ value decides the branch: 100 tells step 38, 101 step 39; the value is written into
// the lines of step 37 in place of the marker and the character on each side of it.
TEST(StoryRules, IqBranch)
{
    for (const auto &[iq, branch] : {std::pair{100, 38}, std::pair{101, 39}}) {
        StoryState state;
        ScriptedRandom random({});
        firstStart(state, random, sampleTree());
        state.stepNumber = kIqStep - 1;
        const double iqDraw = (iq - kLowestIq + 0.5) / (kHighestIq - kLowestIq + 1);
        ScriptedRandom scripted({iqDraw});
        const StepReport iqStep = readerMove(state, u"Ужасы", scripted, sampleTree());
        EXPECT_EQ(iqStep.iqValue, iq);
        EXPECT_EQ(state.storyLines.back(), u"horror" + numberText(iq));
        const StepReport next = readerMove(state, u"Сказка", scripted, sampleTree());
        EXPECT_EQ(next.step, branch);
    }
    EXPECT_EQ(insertIqValue(u"ab(IQ)cd", 95), u"ab 95cd");
    EXPECT_EQ(insertIqValue(u"x=IQ; y", 95), u"x 95 y");
    EXPECT_EQ(insertIqValue(u"IQ", 95), u" 95");
}

// A move that fails leaves the story as it was; the view follows the end unless scrolled back.
TEST(StoryRules, FailedMoveAndView)
{
    auto tree = memory_story::storyTree(kCatalogue);
    StoryState state;
    ScriptedRandom random({});
    firstStart(state, random, DataTree(tree));
    for (int i = 0; i < 20; ++i)
        readerMove(state, u"Ужасы", random, DataTree(tree));
    EXPECT_EQ(state.nextLine, 21);
    EXPECT_EQ(state.topLine, 21 - (kViewportRows - 1));
    followScrollBar(state, 1);
    EXPECT_EQ(state.topLine, 1);
    tree->addFailure(u"Genres/skazka/21.vtq", StoryError(ErrorKind::FileNotFound, u"x"));
    const StoryState before = state;
    EXPECT_THROW(readerMove(state, u"Сказка", random, DataTree(tree)), StoryError);
    EXPECT_EQ(state, before);
    readerMove(state, u"Детектив", random, DataTree(tree));
    EXPECT_EQ(state.topLine, state.nextLine - (kViewportRows - 1));
}

// A story kept and put back is the same story, with the same genres offered.
TEST(StoryRules, SavedStoryComesBack)
{
    StoryState state;
    ScriptedRandom random({});
    firstStart(state, random, sampleTree());
    for (int i = 0; i < 40; ++i)
        readerMove(state, i % 2 ? u"Ужасы" : u"Детектив", random, sampleTree());
    const SavedStory saved = savedStoryOf(state);
    checkSavedStory(saved);
    StoryState resumed;
    firstStart(resumed, random, sampleTree());
    ASSERT_TRUE(fitsCatalogue(saved, resumed));
    resumeSavedStory(resumed, saved);
    EXPECT_EQ(resumed.storyLines, state.storyLines);
    EXPECT_EQ(resumed.window.offered, state.window.offered);
    EXPECT_EQ(resumed.genreUses, state.genreUses);
    EXPECT_EQ(resumed.topLine, state.topLine);
}
