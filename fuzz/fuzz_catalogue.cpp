// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "fuzz_support.h"

#include "core/data_files.h"
#include "core/fragments.h"
#include "core/story_state.h"
#include "core/text.h"
#include "core/tree_paths.h"

using namespace vorta;

namespace {

bool holdsLineEnd(const std::u16string &value)
{
    return value.find_first_of(u"\r\n") != std::u16string::npos;
}

} // namespace

// The genre catalogue as any bytes: a StoryError or at most ten genres whose names and
// directories never run over a line end.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const DataTree dir = fuzz::dataTree();
    fuzz::writeDataFile(toQString(kCatalogueFile), fuzz::bytesOf(data, size));

    StoryState state;
    if (!fuzz::readsOrNamesTheFile(
            kCatalogueFile, [&] { loadCatalogue(state, dir); }, fuzz::Where::FileAndLine))
        return 0;
    fuzz::require(state.genreCount >= 0 && state.genreCount <= kMaxGenres, "genreCount 0..10");
    for (qint32 g = 1; g <= state.genreCount; ++g) {
        fuzz::require(!holdsLineEnd(state.genreNames[std::size_t(g)]), "name within one line");
        fuzz::require(!holdsLineEnd(state.genreDirs[std::size_t(g)]), "directory within one line");
        fuzz::require(endsWith(fragmentPath(state, g, 1), u"/1.vtq"),
                      "fragment path of a loaded genre");
    }

    // A second load of the same file gives the same catalogue.
    StoryState again;
    loadCatalogue(again, dir);
    fuzz::require(again.genreCount == state.genreCount && again.genreNames == state.genreNames &&
                      again.genreDirs == state.genreDirs,
                  "loading is repeatable");
    return 0;
}
