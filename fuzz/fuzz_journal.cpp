// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "fuzz_support.h"

#include "core/random_source.h"
#include "core/saved_story.h"
#include "core/story_start.h"
#include "core/story_state.h"
#include "core/tree_paths.h"
#include "format/file_reader.h"
#include "format/journal_records.h"
#include "format/story_journal.h"

#include <optional>

using namespace vorta;

namespace {

// The folder the seed journals were told in: three genres.
void writeTree()
{
    static const bool written = [] {
        fuzz::writeDataFile(toQString(kSettingsFile), QByteArrayLiteral(" 1 \r\n 5 \r\n"));
        fuzz::writeDataFile(toQString(kCatalogueFile), QByteArrayLiteral("A,a\r\nB,b\r\nC,c\r\n"));
        return true;
    }();
    (void)written;
}

// What a start set aside is taken away, so that every input starts from the same folder.
void removeSetAside()
{
    QDir dir = fuzz::dataDir();
    const QStringList aside = dir.entryList({toQString(kSavedStoryFile) + QStringLiteral(".*")},
                                            QDir::AllEntries | QDir::System);
    for (const QString &name : aside)
        fuzz::require(dir.remove(name), "a story set aside can be removed");
}

// A story resumed: every number within the story's ranges, the buffer and the view agreeing.
void requireSound(const StoryState &state)
{
    const StoryWindow &w = state.window;
    fuzz::require(state.stepNumber >= 0 && state.stepNumber <= kFinaleStep, "step 0..65");
    fuzz::require(state.currentGenre >= 1 && state.currentGenre <= state.genreCount, "genre");
    for (qint32 g = 1; g <= kMaxGenres; ++g) {
        const qint32 uses = state.genreUses[std::size_t(g)];
        fuzz::require(uses >= 0 && uses <= state.stepNumber, "uses within the steps");
    }
    fuzz::require(std::size_t(state.nextLine) == state.storyLines.size() &&
                      state.nextLine <= kMaxSavedLines + 1,
                  "nextLine counts the lines");
    // The scroll range is 1 .. nextLine, and its position the view's first line.
    fuzz::require(state.topLine == qMax(1, state.nextLine - (kViewportRows - 1)),
                  "the view at the end of the text");
    const bool finished = state.stepNumber == kFinaleStep;
    fuzz::require(w.countdownRunning != finished && w.blinking == finished, "timers");
    fuzz::require(offeredGenres(state).size() == std::size_t(finished ? 0 : state.genreCount - 1),
                  "the other genres offered");
}

} // namespace

// A saved story as any bytes. Read alone, it fails only as a saved story that does not read, or
// gives the story of its whole records, which read the same once the rest is cut off. At a start
// it either takes the fresh story's place, sound in every number, or is set aside and leaves the
// fresh story exactly as it was.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzz::bytesOf(data, size);
    std::optional<JournalContents> contents;
    try {
        contents = readJournal(bytes);
    } catch (const StoryError &error) {
        fuzz::require(error.kind() == ErrorKind::SavedStoryUnreadable &&
                          error.file() == kSavedStoryFile && error.detail().size() <= 200,
                      "a journal that does not read says so");
    }
    if (contents) {
        fuzz::require(contents->wholeSize <= bytes.size(), "whole records within the input");
        const SavedStory &story = contents->story;
        fuzz::require(std::size_t(story.nextLine) == story.lines.size() + 1,
                      "nextLine counts the lines");
        const JournalContents cut = readJournal(bytes.left(contents->wholeSize));
        fuzz::require(cut.wholeSize == contents->wholeSize && cut.story.lines == story.lines &&
                          cut.story.stepNumber == story.stepNumber,
                      "a torn tail changes nothing");
    }

    writeTree();
    removeSetAside();
    fuzz::writeDataFile(toQString(kSavedStoryFile), bytes);
    SeededRandom random([] { return quint64(1); });
    StoryState fresh;
    firstStart(fresh, random, fuzz::dataTree());
    StoryState state = fresh;
    StoryJournal journal(fuzz::dataDir());
    const std::optional<StoryError> notice =
        journal.resume(state, QDateTime(QDate(2025, 3, 14), QTime(15, 9, 26)));
    if (notice) {
        fuzz::require(notice->kind() == ErrorKind::SavedStoryDoesNotFit ||
                          notice->kind() == ErrorKind::SavedStoryUnreadable,
                      "a saved story is only set aside");
        fuzz::require(state == fresh, "a story set aside leaves the fresh start");
        return 0;
    }
    fuzz::require(contents.has_value() && qint64(size) <= kSavedStoryCap,
                  "only a journal that reads is resumed");
    requireSound(state);
    fuzz::require(std::vector<std::u16string>(state.storyLines.begin() + 1,
                                              state.storyLines.end()) == contents->story.lines,
                  "the lines resumed");
    return 0;
}
