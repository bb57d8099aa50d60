// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "format/story_facts.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>

#include <array>
#include <optional>

namespace vorta {

// The saved story is a journal: a head record naming the catalogue, then one event record per
// event, each holding the lines told since the record before and the story's small state. Every
// record is framed by its length and a checksum, so that one cut short by a crash or a full disk
// is known and left out: the story then resumes as the last whole record has it. A record that
// is damaged with whole records after it is a damaged journal, never a torn one.

// The most lines a saved story may hold: a story of 64 steps tells a few hundred, so this only
// bounds what a damaged or foreign file can make the program hold.
constexpr qint32 kMaxSavedLines = 100'000;

// A story in progress as it is kept between runs: what cannot be told again, and the catalogue
// it was told from. The view, the countdown and the settings are not part of it.
struct SavedStory
{
    QStringList genreNames; // the catalogue, genres 1 .. count in order
    QStringList genreDirs;
    QStringList lines; // lines 1 .. nextLine - 1
    qint32 nextLine = 1;
    qint32 stepNumber = 0;
    qint32 currentGenre = 1;
    std::array<qint32, kMaxGenres> genreUses{}; // genres 1 .. 10
    qint32 iqValue = 0;
    QStringList offeredGenres;
    bool finished = false;
};

// One event as its record keeps it: the lines told since the record before, from line
// `firstLine` on, and the story's small state after them.
struct JournalEvent
{
    qint32 firstLine = 1;
    QStringList lines;
    qint32 nextLine = 1;
    qint32 stepNumber = 0;
    qint32 currentGenre = 1;
    qint32 iqValue = 0;
    std::array<qint32, kMaxGenres> genreUses{}; // genres 1 .. 10
    bool finished = false;
    QStringList offeredGenres;
};

// The head record: the catalogue the story is told from.
QByteArray journalHead(const QStringList &genreNames, const QStringList &genreDirs);
QByteArray journalEvent(const JournalEvent &event);

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
