// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "author/cli/build_watch.h"
#include "author/cli/commands.h"
#include "author/report/plural.h"

#include "format/file_reader.h"
#include "format/story_file.h"
#include "format/tree_paths.h"

namespace vorta::author {

namespace {

// The manuscript's story.json as the story file will carry it; a finding when it is missing or
// does not read, and a warning at each key that it does not know.
std::optional<StoryMetadata> manuscriptMetadata(const QDir &manuscriptDir, const QString &shown,
                                                QList<Diagnostic> &diagnostics)
{
    const QString shownFile = shown + QLatin1Char('/') + kStoryMetadataFile;
    try {
        const QByteArray json = readCappedFile(manuscriptDir.filePath(kStoryMetadataFile),
                                               shownFile, kStoryMetadataCap);
        for (const StoryMetadataKey &unknown : unknownStoryMetadataKeys(json))
            diagnostics.append(
                {shownFile, unknown.line, Severity::Warning,
                 QStringLiteral("поле %1 неизвестно, из него ничего не берётся; "
                                "поля сведений: %2")
                     .arg(quoted(unknown.key), storyMetadataKeys().join(QStringLiteral(", ")))});
        return parseStoryMetadata(json, shownFile);
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

class PackCommand : public Command
{
public:
    PackCommand()
        : Command(QStringLiteral("pack"),
                  QStringLiteral("собирает из рукописи и её %1 файл рассказа .%2 для читателей")
                      .arg(kStoryMetadataFile, kStoryFileSuffix))
    {}

protected:
    void addOptions(QCommandLineParser &parser) override
    {
        parser.addOption(m_output);
        parser.addPositionalArgument(QStringLiteral("MANUSCRIPT"),
                                     QStringLiteral("папка рукописи (genres.txt, <папка>.txt и %1)")
                                         .arg(kStoryMetadataFile));
    }

    int execute(const QCommandLineParser &parser, const CommandContext &context) override
    {
        const QStringList positional = parser.positionalArguments();
        if (positional.isEmpty())
            return usageError(QStringLiteral("не задана папка рукописи"), context.err);
        if (positional.size() > 1)
            return usageError(QStringLiteral("лишний аргумент %1").arg(positional.at(1)),
                              context.err);
        const std::optional<QDir> manuscriptDir = existingDir(positional.at(0), context);
        if (!manuscriptDir)
            return ExitUsage;
        const QString shown = QDir::cleanPath(positional.at(0));

        // Checked as a build checks it: a story with errors is not published.
        const TreeBuild build = buildTree(*manuscriptDir, shown);
        QList<Diagnostic> diagnostics = buildFindings(build, shown);
        const std::optional<StoryMetadata> metadata =
            manuscriptMetadata(*manuscriptDir, shown, diagnostics);
        sortDiagnostics(diagnostics);
        if (!metadata || countOf(diagnostics, Severity::Error) > 0)
            return reportDiagnostics(diagnostics, context.out);

        const QString output =
            parser.isSet(m_output)
                ? parser.value(m_output)
                : QStringLiteral("%1-%2.%3")
                      .arg(metadata->identifier, metadata->version, kStoryFileSuffix);
        const QList<StoryFileEntry> files = treeFiles(build);
        const QString fullPath = context.workingDir.filePath(output);
        QDir().mkpath(QFileInfo(fullPath).absolutePath()); // a failure is the write's to tell
        try {
            writeStoryFile(fullPath, output, *metadata, files);
        } catch (const StoryError &e) {
            context.out.flush();
            context.err << kProgramName
                        << QStringLiteral(" pack: не записан файл %1: %2")
                               .arg(output, e.kind() == ErrorKind::FileNotWritten ? e.detail()
                                                                                  : errorText(e))
                        << '\n';
            return ExitUsage;
        }
        context.out << QStringLiteral("записан %1: «%2», версия %3, %4")
                           .arg(output, metadata->title, metadata->version,
                                countText(files.size(), QStringLiteral("файл"),
                                          QStringLiteral("файла"), QStringLiteral("файлов")))
                    << '\n';
        return reportDiagnostics(diagnostics, context.out);
    }

private:
    const QCommandLineOption m_output{
        {QStringLiteral("o"), QStringLiteral("output")},
        QStringLiteral("куда записать файл рассказа (по умолчанию <identifier>-<version>.%1 в "
                       "текущей папке)")
            .arg(kStoryFileSuffix),
        QStringLiteral("FILE")};
};

} // namespace

std::shared_ptr<Command> packCommand()
{
    return std::make_shared<PackCommand>();
}

} // namespace vorta::author
