// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "author/manuscript/tree_build.h"
#include "core/diagnostics.h"

#include "core/story_tree.h"
#include "format/qt_text.h"
#include "format/story_metadata.h"

#include <QDir>
#include <QList>
#include <QString>
#include <QTextStream>

#include <optional>

namespace vorta::author {

// The story that a reading subcommand works on: a tree folder, a manuscript folder (one that
// holds genres.txt), which is built in memory and never written, or a story file, read whole
// and checked. Whatever is found in the tree's files is shown at the manuscript's lines, or at
// the story file's entries ("story.vorta:Genres/a/1.vtq"). The one place where an input is
// opened.
class StoryInput
{
public:
    // The folder, as the command line named it.
    StoryInput(const QDir &folder, const QString &shownPath);
    // The story file; a StoryError naming it when it does not read.
    static StoryInput fromStoryFile(const QString &fullPath, const QString &shownPath);

    // The story's files: the folder itself, or the manuscript's build.
    const DataTree &tree() const { return m_tree; }
    // The title that the story file or the manuscript's story.json gives, else the folder's
    // name, as a page titles the story.
    QString title() const;
    bool isManuscript() const { return m_build.has_value(); }
    // What a story file says of itself; none for a folder.
    const std::optional<StoryMetadata> &metadata() const { return m_metadata; }
    // A story file's own entries, in its order; none for a folder.
    const std::vector<StoryFileEntry> &storyFileEntries() const { return m_entries; }

    // The manuscript's own findings (none for a tree).
    std::vector<Diagnostic> sourceDiagnostics() const;
    bool hasSourceErrors() const { return m_build && m_build->hasErrors(); }
    // Whether the tree can be checked at all: a manuscript without a catalogue builds none.
    bool checkable() const { return !m_build || m_build->madeCatalogue(); }

    // The findings of a check of tree() as the author reads them: a manuscript's with its own
    // findings, at its lines (see withTreeFindings); a tree's as they stand.
    std::vector<Diagnostic>
    withSourceFindings(const std::vector<Diagnostic> &treeDiagnostics) const;
    // Findings about the tree's files, each at its place (see placeOf).
    std::vector<Diagnostic> placed(const std::vector<Diagnostic> &treeDiagnostics) const;
    // Where a line of a tree file is shown: its manuscript line, its story file's entry, or
    // itself.
    SourcePlace placeOf(const QString &path, int line) const;
    // An error of the program's reader, at that place.
    StoryError placed(const StoryError &error) const;

private:
    StoryInput(const DataTree &tree, const QString &shownPath, const StoryMetadata &metadata);

    // The path a tree file is shown at: under the story file's name for a story file.
    QString entryPath(const QString &path) const;
    std::vector<Diagnostic> atEntries(std::vector<Diagnostic> diagnostics) const;

    DataTree m_tree;
    QDir m_folder;
    QString m_shownPath;
    std::optional<TreeBuild> m_build;
    std::optional<StoryMetadata> m_metadata;
    std::vector<StoryFileEntry> m_entries;
};

// A manuscript with errors tells no story, since it is not what a build would make: its errors
// go to err, and the status is ExitErrors.
int reportSourceErrors(const StoryInput &story, QTextStream &err);

} // namespace vorta::author
