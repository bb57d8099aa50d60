// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// The facts of the story that the program, its files and the authors' tools all rely on, each
// stated once; texts that mention one are built from it.
namespace vorta {

// Steps 1 to 64 are told one a move; step 37 draws the IQ value, which tells either step 38
// (a low value) or step 39 (a high one), and the move that reaches step 65 tells the finale.
constexpr qint32 kFirstStep = 1;
constexpr qint32 kIqStep = 37;
constexpr qint32 kLowBranchStep = 38;
constexpr qint32 kHighBranchStep = 39;
constexpr qint32 kFinaleStep = 65;
constexpr qint32 kLastStep = kFinaleStep - 1;
// One story tells every step before the finale but the branch it does not take.
constexpr qint32 kStepsToldPerStory = kLastStep - 1;

// The IQ value drawn at step 37, and the highest value that still tells the low branch.
constexpr qint32 kLowestIq = 80;
constexpr qint32 kHighestIq = 119;
constexpr qint32 kIqThreshold = 100;
// The marker in every line of step 37 that the value takes the place of.
inline const QString kIqMarker = QStringLiteral("IQ");

// The branch step that an IQ value tells.
constexpr qint32 branchStep(qint32 iqValue)
{
    return iqValue <= kIqThreshold ? kLowBranchStep : kHighBranchStep;
}

// The two settings are whole numbers from 0 to 10 as the settings window writes them: the
// waiting period in units of 5 seconds (0 waits one second) and the chance that the program
// switches genre in units of 10 %. A story tree gets 2 and 5 unless it has its own.
constexpr qint32 kSmallestSetting = 0;
constexpr qint32 kLargestSetting = 10;
constexpr qint32 kPeriodUnitMs = 5000;
constexpr qint32 kShortestPeriodMs = 1000;
constexpr qint32 kPercentUnit = 10;
constexpr qint32 kDefaultWaitingPeriod = 2;
constexpr qint32 kDefaultSwitchProbability = 5;

// The catalogue holds at most 10 genres; the window shows 15 rows of 46 characters, and a
// choice label 17 characters of a genre's name (2655 twips of its font).
constexpr qint32 kMaxGenres = 10;
constexpr int kViewportRows = 15;
constexpr int kRowWidth = 46;
constexpr int kChoiceLabelWidth = 17;

} // namespace vorta
