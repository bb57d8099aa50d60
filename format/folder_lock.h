// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <chrono>

namespace vorta {

// Long enough for another start to unpack the largest story on a slow disk: a start waits this
// long for another to finish with a story's copy.
constexpr std::chrono::milliseconds kLongestReplacement = std::chrono::minutes(2);

// The name of the file in a story's folder whose lock says which window keeps the story in
// progress there; it holds nothing.
inline const QString kJournalLockFile = QStringLiteral(".story.journal.lock");

// A lock on a story's folder, taken before any of its files is read. Every window that reads the
// story holds it shared for as long as it is open; whatever replaces the folder's files holds it
// alone meanwhile, so no window ever reads a copy half replaced or swapped under it. The story in
// progress has a single-writer lock of its own. Locks go with the process, so one that was
// killed leaves none behind. Nothing is written, but the journal's lock file.
class FolderLock
{
public:
    // Shared, for reading: waits while another program replaces the folder's files, and holds
    // the folder the path names once they are in place (a link to a folder is followed).
    static FolderLock forReading(const QString &folderPath);
    // Alone, for replacing the folder's files, without waiting: held elsewhere while any window
    // reads the story.
    static FolderLock forReplacing(const QString &folderPath);
    // The story in progress kept by one window at a time, through the lock file in the folder.
    static FolderLock forJournal(const QString &folderPath);

    FolderLock(FolderLock &&other) noexcept;
    FolderLock &operator=(FolderLock &&other) noexcept;
    ~FolderLock();
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;

    // Whether another program, or another window of this one, holds the folder in a way that
    // keeps this lock out. A folder that cannot be opened is held by none, and not by this lock.
    bool heldElsewhere() const { return m_heldElsewhere; }
    bool held() const { return m_fd >= 0 && !m_heldElsewhere; }

private:
    FolderLock(int fd, bool heldElsewhere);
    // Takes the exclusive lock on an open file without waiting; closes it when held elsewhere.
    static FolderLock lockExclusive(int fd);

    int m_fd = -1;
    bool m_heldElsewhere = false;
};

} // namespace vorta
