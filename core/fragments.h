// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/story_tree.h"

#include <cstdint>
#include <functional>
#include <string>

namespace vorta {

struct StoryState;
class RandomSource;

// "Genres/<directory of genre g>/<plain digits of s>.vtq", relative to the story's folder.
std::u16string fragmentPath(const StoryState &state, std::int32_t genre, std::int32_t step);

// The variant drawn of a fragment file, and how many it offered.
struct FragmentTold
{
    std::int32_t variant = 0;
    std::int32_t variantCount = 0;
};

// Draws one variant of the fragment file of genre g and step s and hands its lines, in file
// order, to the line handler, each before the next line is read.
FragmentTold readFragment(const StoryState &state, std::int32_t genre, std::int32_t step,
                          RandomSource &random, const DataTree &tree,
                          const std::function<void(const std::u16string &)> &lineHandler);

// The variant k in 1..V drawn from one value, taken in single precision.
std::int32_t drawVariant(double value, std::int32_t variantCount);

} // namespace vorta
