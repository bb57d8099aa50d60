#pragma once

#include <QDir>
#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTextStream>
#include <QTimer>

namespace vorta::author {

// The two folders of a build, and how diagnostics name them (as the command line did).
struct BuildFolders
{
    QDir manuscript;
    QString shownManuscript;
    QDir tree;
    QString shownTree;
};

// One build of the tree from the manuscript: the manuscript's diagnostics, or the files written
// and the whole-tree check at the manuscript's lines. Returns the exit status.
int buildOnce(const BuildFolders &folders, QTextStream &out, QTextStream &err);

// Builds the tree again whenever a file of the manuscript folder changes. Editors that save by
// writing a new file and renaming it over the old one leave the watcher watching nothing, so
// every build watches the folder's files afresh; a burst of saves gives one build.
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
    void watchFiles();

    BuildFolders m_folders;
    QTextStream &m_out;
    QTextStream &m_err;
    QFileSystemWatcher m_watcher;
    QTimer m_quiet;
};

// build --watch: the first build, then a build after every save until the program is stopped.
int watchAndBuild(const BuildFolders &folders, QTextStream &out, QTextStream &err);

} // namespace vorta::author
