// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "story_input.h"

#include "author/cli/command.h"
#include "author/manuscript/manuscript.h"

#include "format/folder_tree.h"
#include "format/story_file.h"

#include <QFileInfo>

namespace vorta::author {

StoryInput::StoryInput(const QDir &folder, const QString &shownPath)
    : m_tree(folderTree(folder)), m_folder(folder), m_shownPath(QDir::cleanPath(shownPath))
{
    if (QFileInfo(folder.filePath(kManuscriptCatalogue)).isFile()) {
        m_build = buildTree(folder, m_shownPath);
        m_tree = m_build->tree;
    }
}

StoryInput::StoryInput(const DataTree &tree, const QString &shownPath,
                       const StoryMetadata &metadata)
    : m_tree(tree), m_shownPath(shownPath), m_metadata(metadata)
{}

StoryInput StoryInput::fromStoryFile(const QString &fullPath, const QString &shownPath)
{
    const QString shown = QDir::cleanPath(shownPath);
    const StoryFile file = readStoryFile(fullPath, shown);
    StoryInput story(file.tree(), shown, file.metadata);
    story.m_entries = file.contents.files;
    return story;
}

QString StoryInput::title() const
{
    if (m_metadata)
        return m_metadata->title;
    // A manuscript names its story in its story.json, once that reads.
    if (m_build) {
        try {
            return readStoryMetadataFile(m_folder.filePath(toQString(kStoryMetadataFile)),
                                         m_shownPath)
                .title;
        } catch (const StoryError &) {
        }
    }
    return QFileInfo(m_folder.absolutePath()).fileName();
}

QString StoryInput::entryPath(const QString &path) const
{
    return m_metadata && !path.isEmpty() ? m_shownPath + QLatin1Char(':') + path : path;
}

std::vector<Diagnostic> StoryInput::atEntries(std::vector<Diagnostic> diagnostics) const
{
    for (Diagnostic &diagnostic : diagnostics)
        diagnostic.path = toU16(entryPath(toQString(diagnostic.path)));
    return diagnostics;
}

std::vector<Diagnostic> StoryInput::sourceDiagnostics() const
{
    return m_build ? m_build->diagnostics : std::vector<Diagnostic>();
}

std::vector<Diagnostic>
StoryInput::withSourceFindings(const std::vector<Diagnostic> &treeDiagnostics) const
{
    return m_build ? withTreeFindings(*m_build, treeDiagnostics, m_shownPath)
                   : atEntries(treeDiagnostics);
}

std::vector<Diagnostic> StoryInput::placed(const std::vector<Diagnostic> &treeDiagnostics) const
{
    return m_build ? atManuscriptLines(treeDiagnostics, *m_build, m_shownPath)
                   : atEntries(treeDiagnostics);
}

SourcePlace StoryInput::placeOf(const QString &path, int line) const
{
    if (m_build) {
        if (const std::optional<SourcePlace> source = m_build->sourceOf(path, line))
            return *source;
    }
    return {entryPath(path), line};
}

StoryError StoryInput::placed(const StoryError &error) const
{
    if ((!m_build && !m_metadata) || error.file().empty())
        return error;
    const SourcePlace place = placeOf(toQString(error.file()), error.line());
    return StoryError(error.kind(), toU16(place.path), place.line, error.detail());
}

int reportSourceErrors(const StoryInput &story, QTextStream &err)
{
    std::vector<Diagnostic> errors;
    for (const Diagnostic &diagnostic : story.sourceDiagnostics()) {
        if (diagnostic.severity == Severity::Error)
            errors.push_back(diagnostic);
    }
    reportDiagnostics(errors, err);
    return ExitErrors;
}

} // namespace vorta::author
