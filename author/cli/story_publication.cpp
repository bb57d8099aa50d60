// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "story_publication.h"

#include "author/check/tree_check.h"
#include "author/cli/build_watch.h"

#include "format/tree_paths.h"

namespace vorta::author {

namespace {

// The manuscript's story.json as the story file will carry it; a finding when it is missing or
// does not read.
std::optional<StoryMetadata> manuscriptMetadata(const QDir &manuscriptDir, const QString &shown,
                                                QList<Diagnostic> &diagnostics)
{
    const QString shownFile = shown + QLatin1Char('/') + kStoryMetadataFile;
    try {
        return readStoryMetadataFile(manuscriptDir.filePath(kStoryMetadataFile), shownFile);
    } catch (const StoryError &e) {
        QString text = e.kind() == ErrorKind::BadStoryFile ? e.detail() : errorText(e);
        if (e.kind() == ErrorKind::FileNotFound)
            text += QStringLiteral(
                ": файл рассказа несёт его сведения о себе; запишите их в UTF-8, например "
                "{\"identifier\": \"moy-rasskaz\", \"version\": \"1.0\", \"title\": \"Название\", "
                "\"author\": \"Автор\", \"about\": \"О чём рассказ\"}");
        diagnostics.append({shownFile, e.line(), Severity::Error, text});
        return std::nullopt;
    }
}

// The tree's files as the build made them, with the settings file it keeps when the manuscript
// has none.
QList<StoryFileEntry> treeFiles(const TreeBuild &build)
{
    QList<StoryFileEntry> files;
    if (!build.fileIndex.contains(kSettingsFile))
        files.append({kSettingsFile, build.tree.readBytes(kSettingsFile)});
    for (const BuiltFile &file : build.files)
        files.append({file.path, file.bytes});
    return files;
}

} // namespace

StoryPublication publishManuscript(const QDir &manuscriptDir, const QString &shown)
{
    StoryPublication publication;
    const TreeBuild build = buildTree(manuscriptDir, shown);
    publication.diagnostics = buildFindings(build, shown);
    publication.metadata = manuscriptMetadata(manuscriptDir, shown, publication.diagnostics);
    sortDiagnostics(publication.diagnostics);
    if (!publication.refused())
        publication.files = treeFiles(build);
    return publication;
}

StoryPublication publishStoryFile(const StoryInput &story)
{
    StoryPublication publication;
    publication.metadata = story.metadata();
    publication.diagnostics = story.withSourceFindings(checkTree(story.tree()).diagnostics);
    sortDiagnostics(publication.diagnostics);
    if (!publication.refused())
        publication.files = story.storyFileEntries();
    return publication;
}

} // namespace vorta::author
