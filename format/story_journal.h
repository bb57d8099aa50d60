// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "format/folder_lock.h"
#include "format/journal_records.h"
#include "format/qt_text.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <array>
#include <optional>

namespace vorta {

struct StoryState;

// The largest saved story the program writes or reads.
constexpr qint64 kSavedStoryCap = 64 * 1024 * 1024;

// Keeps the story in progress in the story's folder, so that closing the window, a crash or a
// power cut loses at most the event that was under way. An event appends one record to the
// journal (no sync to the disk per move); a new story replaces the journal atomically.
class StoryJournal
{
public:
    explicit StoryJournal(const QDir &dataDir);
    ~StoryJournal();
    StoryJournal(const StoryJournal &) = delete;
    StoryJournal &operator=(const StoryJournal &) = delete;

    // At the window's load, after the first start: a saved story that fits the catalogue takes
    // the place of the fresh one. One that does not fit or does not read is set aside under a
    // name that says so, and the fresh story stays. While another window keeps the story, this
    // one starts afresh and keeps nothing. Returns what the reader is to be told once the window
    // shows: a story set aside, or a fresh story that is not kept. The story is kept from the
    // first save on, which follows at once, as after every event.
    std::optional<StoryError> resume(StoryState &state, const QDateTime &now);

    // The catalogue that the story in progress in the folder was told from, read from the start
    // of its journal alone; none when there is no journal there, or its head does not read.
    static std::optional<SavedStory> savedCatalogue(const QDir &dataDir);

    // After every event that went through, and after the resume: keeps what it changed of the
    // story. Every failure is returned; the story goes on in memory, and the next save that
    // goes through writes it whole again.
    std::optional<StoryError> save(const StoryState &state);
    // Whether the story as last saved failed to reach the disk, until a save goes through.
    bool lastSaveFailed() const { return m_lastSaveFailed; }

private:
    // What the journal on the disk was last asked to hold, to tell a move (which appends) from a
    // new story (which starts a fresh journal) and from an event that changed nothing to keep.
    struct Kept
    {
        qint32 nextLine;
        qint32 stepNumber;
        qint32 currentGenre;
        qint32 iqValue;
        qint32 genreCount;
        std::array<qint32, kMaxGenres + 1> genreUses{};
        std::array<std::u16string, kMaxGenres + 1> genreNames;
        std::array<std::u16string, kMaxGenres + 1> genreDirs;

        explicit Kept(const StoryState &state);
        bool sameStory(const StoryState &state) const;
        bool sameCatalogue(const StoryState &state) const;
    };

    QString path() const;
    std::optional<StoryError> setAside(const StoryError &problem, const QDateTime &now);
    void openForAppending(qint64 wholeSize);
    void append(const StoryState &state, qint32 firstLine);
    void writeFresh(const StoryState &state);

    QDir m_dataDir;
    std::optional<FolderLock> m_folderLock; // held while this window keeps its story
    QFile m_file;                           // open while records can be appended to the journal
    qint64 m_size = 0;                      // the journal's bytes while it is open
    bool m_enabled = false;     // from the resume on, unless a story could not be set aside
    std::optional<Kept> m_kept; // none before the first save
    bool m_lastSaveFailed = false;
};

} // namespace vorta
