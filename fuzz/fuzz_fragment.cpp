// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "fuzz_support.h"

#include "core/data_files.h"
#include "core/fragments.h"
#include "core/moves.h"
#include "core/random_source.h"
#include "core/story_buffer.h"
#include "core/story_state.h"
#include "core/text_reader.h"

#include <algorithm>

using namespace vorta;

namespace {

// Hands out one fixed value and counts the draws.
class FixedRandom : public RandomSource
{
public:
    explicit FixedRandom(double value) : m_value(value) {}
    void reseed() override {}
    double next() override
    {
        ++draws;
        return m_value;
    }
    int draws = 0;

private:
    double m_value;
};

// Variants drawn per input: the first ones, where damage shows first, and the last.
constexpr qint32 kVariantsTried = 16;

const std::u16string kFragmentFile = u"Genres/g/1.vtq";

// The first step told by the reader's move: one variant drawn from the middle of the range. A
// failed move leaves the story exactly as it was; a move that reads tells step 1 in genre 1.
void requireAtomicFirstMove(const StoryState &fresh)
{
    StoryState story = fresh;
    FixedRandom random(0.5);
    const bool moved = fuzz::readsOrNamesTheFile(
        kFragmentFile, [&] { readerMove(story, u"g", random, fuzz::dataTree()); },
        fuzz::Where::FileAndLine);
    if (!moved) {
        fuzz::require(story == fresh, "a failed move leaves the story as it was");
        return;
    }
    fuzz::require(story.stepNumber == 1 && story.genreUses[1] == 1, "step 1 told in genre 1");
    fuzz::require(std::size_t(story.nextLine) == story.storyLines.size() && story.topLine >= 1 &&
                      story.topLine <= story.nextLine,
                  "buffer and view agree");
}

} // namespace

// A fragment file as any bytes, read with every variant drawn in turn (the first sixteen and
// the last): each read delivers whole lines or fails with a StoryError naming file and line,
// and since drawing variant k reads past variants 1..k-1, the variants that read are a prefix.
// The reader's move over the same file is all or nothing.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const DataTree dir = fuzz::dataTree();
    const QByteArray bytes = fuzz::bytesOf(data, size);
    fuzz::writeDataFile(toQString(kFragmentFile), bytes);

    StoryState state;
    state.genreCount = 1;
    state.currentGenre = 1;
    state.genreNames[1] = u"g";
    state.genreDirs[1] = u"g";
    state.nextLine = 1;
    resetView(state);
    requireAtomicFirstMove(state);
    const qsizetype fileLines = bytes.count('\n') + bytes.count('\r') + 1;

    qint32 variantCount = 0;
    TextReader header(toU16(fuzz::decode1251(bytes)), kFragmentFile);
    const bool counted =
        fuzz::readsOrNamesTheFile(kFragmentFile, [&] { variantCount = header.readCount(); });
    if (!counted || variantCount < 1) {
        FixedRandom random(0.0);
        const bool read = fuzz::readsOrNamesTheFile(
            kFragmentFile,
            [&] { readFragment(state, 1, 1, random, dir, [](const std::u16string &) {}); },
            fuzz::Where::FileAndLine);
        fuzz::require(!read, "a file without a variant count fails");
        return 0;
    }

    QList<qint32> variants;
    for (qint32 k = 1; k <= std::min(variantCount, kVariantsTried); ++k)
        variants.append(k);
    if (variantCount > kVariantsTried)
        variants.append(variantCount);

    bool earlierFailed = false;
    for (const qint32 k : variants) {
        // The middle of the value range that draws variant k.
        FixedRandom random((double(k) - 0.5) / double(variantCount));
        qsizetype delivered = 0;
        const bool read = fuzz::readsOrNamesTheFile(
            kFragmentFile,
            [&] {
                readFragment(state, 1, 1, random, dir, [&](const std::u16string &line) {
                    fuzz::require(line.find_first_of(u"\r\n") == std::u16string::npos,
                                  "a delivered line holds no line end");
                    ++delivered;
                });
            },
            fuzz::Where::FileAndLine);
        fuzz::require(random.draws == 1, "one draw per fragment read");
        fuzz::require(delivered <= fileLines, "no more lines delivered than the file holds");
        fuzz::require(!(read && earlierFailed), "a variant reads only if the earlier ones do");
        earlierFailed = earlierFailed || !read;
    }
    return 0;
}
