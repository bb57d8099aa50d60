// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "story_publication.h"

#include "author/cli/build_watch.h"
#include "core/story_check.h"
#include "core/tree_paths.h"
#include "format/file_reader.h"
#include "format/qt_text.h"

namespace vorta::author {

namespace {

// The manuscript's story.json as the story file will carry it; a finding when it is missing or
// does not read, and a warning at each key that it does not know.
std::optional<StoryMetadata> manuscriptMetadata(const QDir &manuscriptDir, const QString &shown,
                                                std::vector<Diagnostic> &diagnostics)
{
    const QString metadataFile = toQString(kStoryMetadataFile);
    const QString shownFile = shown + QLatin1Char('/') + metadataFile;
    try {
        const QByteArray json = readCappedFile(manuscriptDir.filePath(metadataFile), shownFile,
                                               qint64(kStoryMetadataCap));
        for (const StoryMetadataKey &unknown : unknownStoryMetadataKeys(json))
            diagnostics.push_back(diagnostic(
                shownFile, unknown.line, Severity::Warning,
                QStringLiteral("поле %1 неизвестно, из него ничего не берётся; "
                               "поля сведений: %2")
                    .arg(quoted(unknown.key), storyMetadataKeys().join(QStringLiteral(", ")))));
        return parseStoryMetadata(json, shownFile);
    } catch (const StoryError &e) {
        QString text = toQString(e.kind() == ErrorKind::BadStoryFile ? e.detail() : errorText(e));
        if (e.kind() == ErrorKind::FileNotFound)
            text += QStringLiteral(
                ": файл рассказа несёт его сведения о себе; запишите их в UTF-8, например "
                "{\"identifier\": \"moy-rasskaz\", \"version\": \"1.0\", \"title\": \"Название\", "
                "\"author\": \"Автор\", \"about\": \"О чём рассказ\"}");
        diagnostics.push_back(diagnostic(shownFile, e.line(), Severity::Error, text));
        return std::nullopt;
    }
}

// The tree's files as the build made them, with the settings file it keeps when the manuscript
// has none.
std::vector<StoryFileEntry> treeFiles(const TreeBuild &build)
{
    std::vector<StoryFileEntry> files;
    if (!build.fileIndex.contains(toQString(kSettingsFile)))
        files.push_back({kSettingsFile, build.tree.readBytes(kSettingsFile)});
    for (const BuiltFile &file : build.files)
        files.push_back({toU16(file.path), toBytes(file.bytes)});
    return files;
}

// A story file holds no more than any reader opens: what no reader would open is not published.
std::optional<QString> overTheCaps(const std::vector<StoryFileEntry> &files)
{
    // The type and the metadata come with the tree's files.
    const std::uint64_t entries = files.size() + 2;
    std::uint64_t bytes = 0;
    for (const StoryFileEntry &file : files)
        bytes += file.bytes.size();
    if (entries > kMostEntries)
        return QStringLiteral("в файле рассказа было бы %1 записей, а читатель открывает не "
                              "больше %2")
            .arg(entries)
            .arg(kMostEntries);
    if (bytes > kUnpackedCap)
        return QStringLiteral("файлы рассказа заняли бы %1 байт, а читатель открывает не "
                              "больше %2")
            .arg(bytes)
            .arg(kUnpackedCap);
    return std::nullopt;
}

} // namespace

StoryPublication publishManuscript(const QDir &manuscriptDir, const QString &shown)
{
    StoryPublication publication;
    const TreeBuild build = buildTree(manuscriptDir, shown);
    publication.diagnostics = buildFindings(build, shown);
    publication.metadata = manuscriptMetadata(manuscriptDir, shown, publication.diagnostics);
    publication.sources = build.sourceFiles + QStringList{toQString(kStoryMetadataFile)};
    if (!publication.refused()) {
        publication.files = treeFiles(build);
        if (const std::optional<QString> why = overTheCaps(publication.files))
            publication.diagnostics.push_back(diagnostic(shown, 0, Severity::Error, *why));
    }
    sortDiagnostics(publication.diagnostics);
    if (publication.refused())
        publication.files.clear();
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
