// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QDir>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace vorta {

// Files replaced together. Each is written whole under a temporary name in its own folder, so
// that its rename stays on one file system, and commit() renames them all into place in the
// order staged. Until then every file stands as it was: a set destroyed uncommitted, or one
// that fails to stage a file, removes its temporary files and the folders it made, and so do
// SIGINT and SIGTERM once removeStagedFilesOnSignals() has been called. A file is replaced, never
// written through: a symbolic link in its place is replaced by the file. Every failure is a
// StoryError of kind FileNotWritten naming the file as shownName.
class StagedFiles
{
public:
    StagedFiles() = default;
    ~StagedFiles();
    StagedFiles(const StagedFiles &) = delete;
    StagedFiles &operator=(const StagedFiles &) = delete;

    // Makes the folder and those above it that are missing.
    void makeFolder(const QString &fullPath, const QString &shownName);
    // Writes the bytes under a temporary name beside the file, and flushes them to the disk. An
    // existing file keeps its permissions; one that may not be written is refused.
    void stage(const QString &fullPath, const QString &shownName, const QByteArray &bytes);
    // Renames the staged files into place, with SIGINT and SIGTERM held off until the last is.
    // A rename that fails leaves the files renamed before it in place and removes the rest.
    void commit();

    qsizetype size() const { return m_files.size(); }

private:
    struct File
    {
        QString path;
        QString shownName;
        int slot; // of its temporary, where a signal finds it
    };

    void abandon();

    QList<File> m_files;
    QList<int> m_madeFolders; // slots, in the order made
};

// The one road by which a single file is written: a set of one, so a failed write (a full disk,
// a folder that cannot be written) leaves the old file as it was.
void writeFileAtomically(const QString &fullPath, const QString &shownName,
                         const QByteArray &bytes);

// Whether a file name is that of a staged file's temporary, ".<name>.vorta-new-XXXXXX".
bool isStagedTemporary(const QString &fileName);

// Removes the temporaries that a process killed while it staged files left in the folder (not
// in those below it); returns their names.
QStringList removeLeftoverTemporaries(const QDir &folder);

// From now on SIGINT and SIGTERM first remove every staged temporary file and every folder made
// for one, then end the program as they would have. Not for a program that handles them itself.
void removeStagedFilesOnSignals();

// For tests: called with a file's full path just before it is staged. It may throw or raise a
// signal, as a full disk or an interrupt would strike there.
void setStagingHook(std::function<void(const QString &fullPath)> hook);

} // namespace vorta
