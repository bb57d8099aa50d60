// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/fragments.h"

#include "core/fragment_file.h"
#include "core/numbers.h"
#include "core/random_source.h"
#include "core/story_state.h"
#include "core/tree_paths.h"

#include <cmath>

namespace vorta {

std::u16string fragmentPath(const StoryState &state, std::int32_t genre, std::int32_t step)
{
    return fragmentFilePath(element(state.genreDirs, genre), step);
}

std::int32_t drawVariant(double value, std::int32_t variantCount)
{
    float single = float(value);
    // A double just below 1 can round up to 1.0f, which would draw a variant past the last.
    if (single >= 1.0f)
        single = std::nextafter(1.0f, 0.0f);
    return std::int32_t(std::floor(double(variantCount) * double(single))) + 1;
}

FragmentTold readFragment(const StoryState &state, std::int32_t genre, std::int32_t step,
                          RandomSource &random, const DataTree &tree,
                          const std::function<void(const std::u16string &)> &lineHandler)
{
    FragmentReader reader(TextReader::open(tree, fragmentPath(state, genre, step)));
    reader.requireVariants();
    const FragmentTold told{drawVariant(random.next(), reader.variantCount()),
                            reader.variantCount()};
    for (std::int32_t skipped = 1; skipped < told.variant; ++skipped)
        reader.skipVariant();
    reader.readVariant([&lineHandler](const std::u16string &line, int) { lineHandler(line); });
    return told;
}

} // namespace vorta
