// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "author/cli/commands.h"
#include "author/cli/story_publication.h"
#include "author/report/plural.h"

#include "format/story_file.h"

namespace vorta::author {

namespace {

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
        const StoryPublication story = publishManuscript(*manuscriptDir, shown);
        if (story.refused())
            return reportDiagnostics(story.diagnostics, context.out);
        const std::optional<StoryMetadata> &metadata = story.metadata;
        const QList<StoryFileEntry> &files = story.files;

        const QString output =
            parser.isSet(m_output)
                ? parser.value(m_output)
                : QStringLiteral("%1-%2.%3")
                      .arg(metadata->identifier, metadata->version, kStoryFileSuffix);
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
        return reportDiagnostics(story.diagnostics, context.out);
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
