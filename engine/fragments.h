// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "format/data_tree.h"

#include <QString>

#include <functional>

namespace vorta {

struct StoryState;
class RandomSource;

// "Genres/<directory of genre g>/<plain digits of s>.vtq", relative to the data folder.
QString fragmentPath(const StoryState &state, qint32 genre, qint32 step);

// The variant drawn of a fragment file, and how many it offered.
struct FragmentTold
{
    qint32 variant = 0;
    qint32 variantCount = 0;
};

// Draws one variant of the fragment file of genre g and step s and hands its lines, in file
// order, to the line handler, each before the next line is read.
FragmentTold readFragment(const StoryState &state, qint32 genre, qint32 step, RandomSource &random,
                          const DataTree &tree,
                          const std::function<void(const QString &)> &lineHandler);

// The variant k in 1..V drawn from one value, taken in single precision.
qint32 drawVariant(double value, qint32 variantCount);

} // namespace vorta
