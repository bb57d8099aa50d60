// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/saved_story.h"

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

namespace vorta {

// The saved story is a journal: a head record naming the catalogue, then one event record per
// event, each holding the lines told since the record before and the story's small state. Every
// record is framed by its length and a checksum, so that one cut short by a crash or a full disk
// is known and left out: the story then resumes as the last whole record has it. A record that
// is damaged with whole records after it is a damaged journal, never a torn one.

// The head record: the catalogue the story is told from.
QByteArray journalHead(const std::vector<std::u16string> &genreNames,
                       const std::vector<std::u16string> &genreDirs);

// A fresh journal of the story: the head and one event record holding every line.
QByteArray freshJournal(const StoryState &state);

// The event record of the lines from `firstLine` on and the state after them.
QByteArray eventRecord(const StoryState &state, qint32 firstLine);

struct JournalContents
{
    SavedStory story;        // as the last whole record has it
    qsizetype wholeSize = 0; // the bytes of the whole records; a torn tail follows them
};

// Throws SavedStoryUnreadable when the journal has no whole head and event, a record that is not
// the last is damaged, or a whole record holds what no journal written here holds.
JournalContents readJournal(QByteArrayView bytes);

// The catalogue of the journal that begins with these bytes (a saved story with its genres
// only), or none when they hold no whole head record.
std::optional<SavedStory> readJournalHead(QByteArrayView firstBytes);

} // namespace vorta
