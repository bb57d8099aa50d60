// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "author/manuscript/tree_build.h"
#include "core/diagnostics.h"

#include <QDir>
#include <QFileSystemWatcher>
#include <QList>
#include <QObject>
#include <QString>
#include <QTextStream>
#include <QTimer>

#include <optional>

#include <sys/types.h>

namespace vorta::author {

// The two folders of a build, and how diagnostics name them (as the command line did).
struct BuildFolders
{
    QDir manuscript;
    QString shownManuscript;
    QDir tree;
    QString shownTree;
};

// What one build did: its findings (the manuscript's and the whole-tree check's, at the
// manuscript's lines), the line saying what it wrote (none when an error kept it from writing),
// and its exit status.
struct BuildOutcome
{
    std::vector<Diagnostic> diagnostics;
    std::optional<QString> written;
    qsizetype leftovers = 0; // temporary files of a killed build, removed
    int status = 0;
};

// Every finding of a build as an author reads it: the manuscript's, and the whole-tree check's
// of what it built (when it made a catalogue), at the manuscript's lines.
std::vector<Diagnostic> buildFindings(const TreeBuild &build, const QString &shownTree);

// One build of the tree from the manuscript: every finding in one round; the files are written
// only when none is an error, and then all together or none (see FileWrites). A file that
// cannot be written is reported on err.
BuildOutcome buildOnce(const BuildFolders &folders, QTextStream &err);

// Builds the tree again whenever a file of the manuscript folder changes. Editors that save by
// writing a new file and renaming it over the old one leave the watcher watching nothing, so
// every build watches the folder's files afresh; a burst of saves gives one build. After the
// first build only what changed is printed: the findings that are new, those that are gone, and
// one line of summary. The folder is followed by its path: the folder above it is watched too,
// so a manuscript folder deleted or renamed away is waited for, and built again once a folder
// by its name is back.
class BuildWatcher : public QObject
{
    Q_OBJECT

public:
    BuildWatcher(BuildFolders folders, QTextStream &out, QTextStream &err, int quietMs = 200);

    // Builds now and watches the folder's current files; returns the build's exit status.
    int buildNow();

Q_SIGNALS:
    void built(int status);

private:
    // A folder as the file system tells one from another, so a folder made again under the
    // same name is known for a new one.
    struct FolderId
    {
        dev_t device;
        ino_t inode;
        bool operator==(const FolderId &) const = default;
    };

    std::optional<FolderId> manuscriptId() const;
    void directoryChanged(const QString &path);
    void quietAfterChanges();
    void watchFiles();
    void printChanges(const BuildOutcome &outcome);

    BuildFolders m_folders;
    QTextStream &m_out;
    QTextStream &m_err;
    QFileSystemWatcher m_watcher;
    QTimer m_quiet;
    std::optional<std::vector<Diagnostic>> m_last; // the findings of the last build
    std::optional<FolderId> m_watchedId; // of the manuscript folder whose files are watched
    QString m_above;                     // the nearest folder above it that exists
    bool m_waiting = false;              // for the manuscript folder to come back
};

// build --watch: the first build, then a build after every save until the program is stopped.
int watchAndBuild(const BuildFolders &folders, QTextStream &out, QTextStream &err);

// The line on the temporary files of a killed build that a build removed, if any.
void printLeftovers(const BuildOutcome &outcome, QTextStream &out);
// A build's findings printed whole, after the line of what it wrote.
void printOutcome(const BuildOutcome &outcome, QTextStream &out);

} // namespace vorta::author
