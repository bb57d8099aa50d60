// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/random_source.h"
#include "core/story_state.h"
#include "core/story_step.h"
#include "core/story_tree.h"

#include <QDir>
#include <QString>
#include <QStringList>

#include <utility>

namespace vorta::bench {

// The sample story, copied once per run into a temporary folder that the benchmarks share.
const QDir &dataDir();

// The same copy as the story's rules read it.
const DataTree &dataTree();

// A second copy, for the window that the window benchmarks keep open: the window keeps its story
// in progress in its folder, where the programs of the start-up benchmarks would find it.
const QDir &windowDataDir();

// Every benchmark story is told from this seed, so a measured story and its floor read the
// same files in the same order.
quint64 fixedSeed();

// A story told by the program's moves, restarted from one and the same fresh start.
class StoryRun
{
public:
    StoryRun();

    // Back to the state right after the first start, with the generator reseeded: every story
    // told from here is the same one.
    void restart();
    // One program's move (the last one tells the finale).
    void move();
    bool finished() const { return m_state.stepNumber >= kFinaleStep; }

    StoryState &state() { return m_state; }
    RandomSource &random() { return m_random; }

private:
    SeededRandom m_random;
    StoryState m_fresh;
    StoryState m_state;
};

// The absolute paths of the files that one story of StoryRun reads, move by move: 63 fragment
// files and the finale file.
const QStringList &storyFiles();

// The floor of every read: opens the file, reads it whole, decodes it from Windows-1251 and
// closes it, with plain Qt calls. Returns the number of characters, -1 if it cannot be read.
qsizetype readDecodedFile(const QString &path);

// The floor of the settings read: the file read as above, then its two numbers.
std::pair<int, int> readTwoNumbers(const QString &path);

// Closes the window that the window benchmarks share; before the application ends.
void closeShownWindow();

} // namespace vorta::bench
