// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <string_view>

// The facts of the story that the program, its files and the authors' tools all rely on, each
// stated once; texts that mention one are built from it.
namespace vorta {

// Steps 1 to 64 are told one a move; step 37 draws the IQ value, which tells either step 38
// (a low value) or step 39 (a high one), and the move that reaches step 65 tells the finale.
constexpr std::int32_t kFirstStep = 1;
constexpr std::int32_t kIqStep = 37;
constexpr std::int32_t kLowBranchStep = 38;
constexpr std::int32_t kHighBranchStep = 39;
constexpr std::int32_t kFinaleStep = 65;
constexpr std::int32_t kLastStep = kFinaleStep - 1;
// One story tells every step before the finale but the branch it does not take.
constexpr std::int32_t kStepsToldPerStory = kLastStep - 1;

// The IQ value drawn at step 37, and the highest value that still tells the low branch.
constexpr std::int32_t kLowestIq = 80;
constexpr std::int32_t kHighestIq = 119;
constexpr std::int32_t kIqThreshold = 100;
// The marker in every line of step 37 that the value takes the place of.
constexpr std::u16string_view kIqMarker = u"IQ";

// The branch step that an IQ value tells.
constexpr std::int32_t branchStep(std::int32_t iqValue)
{
    return iqValue <= kIqThreshold ? kLowBranchStep : kHighBranchStep;
}

// The two settings are whole numbers from 0 to 10 as the settings window writes them: the
// waiting period in units of 5 seconds (0 waits one second) and the chance that the program
// switches genre in units of 10 %. A story tree gets 2 and 5 unless it has its own.
constexpr std::int32_t kSmallestSetting = 0;
constexpr std::int32_t kLargestSetting = 10;
constexpr std::int32_t kPeriodUnitMs = 5000;
constexpr std::int32_t kShortestPeriodMs = 1000;
constexpr std::int32_t kPercentUnit = 10;
constexpr std::int32_t kDefaultWaitingPeriod = 2;
constexpr std::int32_t kDefaultSwitchProbability = 5;
// The countdown counts whole seconds.
constexpr std::int32_t kTickMs = 1000;

// The catalogue holds at most 10 genres, of which all but the current one are offered in nine
// places; the window shows 15 rows of 46 characters, and an offered genre 17 characters of its
// name (2655 twips of its font).
constexpr std::int32_t kMaxGenres = 10;
constexpr int kOfferedSlots = kMaxGenres - 1;
constexpr int kViewportRows = 15;
constexpr int kRowWidth = 46;
constexpr int kChoiceLabelWidth = 17;

// What an offered place says before a genre's name is put there, and the countdown's words
// before its seconds.
constexpr std::u16string_view kChoicePlaceholder = u"Выдоконтрапупить";
constexpr std::u16string_view kCountdownPrefix = u"До активничания программы осталось:";

} // namespace vorta
