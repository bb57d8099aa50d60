// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/diagnostics.h"
#include "core/story_tree.h"

#include <QByteArray>
#include <QDir>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace vorta::author {

// Where a line of a built file came from.
struct SourcePlace
{
    QString path; // as shown in diagnostics
    int line = 0;
};

// One file of the story tree as a build makes it.
struct BuiltFile
{
    QString path; // relative to the tree
    QByteArray bytes;
    QList<SourcePlace> sources; // one per line of the file
};

struct TreeBuild
{
    std::vector<Diagnostic> diagnostics; // the manuscript's, at its own lines
    // As far as the manuscript could be read: a build writes them only when no diagnostic is an
    // error, but the checks run on them in any case.
    QList<BuiltFile> files;
    // The built files held in memory, with the settings file the tree keeps of its own.
    DataTree tree{std::make_shared<MemoryTree>()};
    QHash<QString, qsizetype> fileIndex; // of files, by path
    // The manuscript's files the build read or tried to, by their names in its folder.
    QStringList sourceFiles;
    // The catalogue lines of the genres whose manuscript did not read: that one error says it
    // all, and the check's error there (no folder for the genre) only follows from it.
    QList<SourcePlace> unreadGenres;

    bool hasErrors() const { return countOf(diagnostics, Severity::Error) > 0; }
    // Whether the build made a catalogue, without which no check of the tree can start.
    bool madeCatalogue() const;
    // Where a line of a built file came from; none for a file the build did not make.
    std::optional<SourcePlace> sourceOf(const QString &path, int line) const;
};

// The story tree in canonical form from the manuscript folder: Windows-1251, CR LF after every
// line, counts in plain digits. The manuscript's paths are shown under shownManuscript. The
// settings file comes from the manuscript when it has one; otherwise the tree's own is kept (a
// tree to be written in treeDir), and a tree without one gets the written form of 2 and 5.
TreeBuild buildTree(const QDir &manuscriptDir, const QString &shownManuscript,
                    const std::optional<QDir> &treeDir = std::nullopt);

// The findings of the whole-tree check moved, where the build made the file, to the manuscript
// lines the file's lines came from; the others name their file under shownTree.
std::vector<Diagnostic> atManuscriptLines(const std::vector<Diagnostic> &treeDiagnostics,
                                          const TreeBuild &build, const QString &shownTree);

// The build's own findings and those of the whole-tree check of what it built, at the
// manuscript's lines, sorted. An error of the check in a manuscript file that has errors of its
// own follows from them (a missing step is a file without variants) and is left out, and so is
// one at the catalogue line of a genre whose manuscript did not read.
std::vector<Diagnostic> withTreeFindings(const TreeBuild &build,
                                         const std::vector<Diagnostic> &treeDiagnostics,
                                         const QString &shownTree);

} // namespace vorta::author
