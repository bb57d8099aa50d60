// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "fragments.h"

#include "engine/random_source.h"
#include "engine/story_state.h"
#include "format/fragment_file.h"
#include "format/numbers.h"
#include "format/tree_paths.h"

#include <cmath>

namespace vorta {

QString fragmentPath(const StoryState &state, qint32 genre, qint32 step)
{
    return fragmentFilePath(element(state.genreDirs, genre), step);
}

qint32 drawVariant(double value, qint32 variantCount)
{
    float single = float(value);
    // A double just below 1 can round up to 1.0f, which would draw a variant past the last.
    if (single >= 1.0f)
        single = std::nextafter(1.0f, 0.0f);
    return qint32(std::floor(double(variantCount) * double(single))) + 1;
}

FragmentTold readFragment(const StoryState &state, qint32 genre, qint32 step, RandomSource &random,
                          const DataTree &tree,
                          const std::function<void(const QString &)> &lineHandler)
{
    FragmentReader reader(TextReader::open(tree, fragmentPath(state, genre, step)));
    reader.requireVariants();
    const FragmentTold told{drawVariant(random.next(), reader.variantCount()),
                            reader.variantCount()};
    for (qint32 skipped = 1; skipped < told.variant; ++skipped)
        reader.skipVariant();
    reader.readVariant([&lineHandler](const QString &line, int) { lineHandler(line); });
    return told;
}

} // namespace vorta
