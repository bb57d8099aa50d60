// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "author/cli/build_watch.h"
#include "author/cli/commands.h"
#include "author/cli/story_publication.h"
#include "author/report/plural.h"

#include "core/tree_paths.h"
#include "format/file_reader.h"
#include "format/story_file.h"
#include "format/story_file_writer.h"
#include "format/system_error.h"

#include <cerrno>
#include <sys/stat.h>

namespace vorta::author {

namespace {

// Whether two paths name one file: the same path, a symbolic link to it or a hard link.
bool sameFile(const QString &a, const QString &b)
{
    struct stat first;
    struct stat second;
    return ::stat(QFile::encodeName(a).constData(), &first) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// Why the story file may not be written at fullPath: it would take the place of a file it is
// packed from (inputs, by their names in the manuscript's folder). Empty when it may.
QString overwrittenInput(const QString &fullPath, const QString &output, const QDir &manuscriptDir,
                         const QString &shown, const QStringList &inputs)
{
    for (const QString &input : inputs) {
        const QString inputPath = manuscriptDir.filePath(input);
        if (!sameFile(fullPath, inputPath))
            continue;
        const bool samePath =
            QFileInfo(fullPath).canonicalFilePath() == QFileInfo(inputPath).canonicalFilePath() &&
            !QFileInfo(fullPath).isSymLink();
        const QString what = samePath ? QStringLiteral("файл самой рукописи")
                                      : QStringLiteral("другое имя файла рукописи %1")
                                            .arg(QDir::cleanPath(shown + QLatin1Char('/') + input));
        return QStringLiteral("%1 — %2: рассказ собирается из него, и файл рассказа встал бы на "
                              "его место; укажите в -o другой файл")
            .arg(output, what);
    }
    return {};
}

// The folders made for the story file, removed again unless it is written.
class MadeFolders
{
public:
    MadeFolders() = default;
    MadeFolders(const MadeFolders &) = delete;
    MadeFolders &operator=(const MadeFolders &) = delete;
    ~MadeFolders()
    {
        for (auto folder = m_made.crbegin(); folder != m_made.crend(); ++folder)
            QDir().rmdir(*folder);
    }

    // Makes the missing folders above the file output names; when one cannot be made, why,
    // naming it as output does.
    QString make(const QString &output, const QDir &workingDir)
    {
        QStringList missing;
        QString folder = QFileInfo(QDir::cleanPath(output)).path();
        while (!QFileInfo::exists(workingDir.filePath(folder))) {
            missing.prepend(folder);
            const QString above = QFileInfo(folder).path();
            if (above == folder)
                break;
            folder = above;
        }
        for (const QString &made : std::as_const(missing)) {
            const QString fullPath = workingDir.filePath(made);
            if (::mkdir(QFile::encodeName(fullPath).constData(), 0777) != 0) {
                const int error = errno;
                return QStringLiteral("нет папки %1, и её не создать: %2")
                    .arg(made, systemErrorText(error));
            }
            m_made.append(fullPath);
        }
        return {};
    }
    // The file is written: the folders stay.
    void keep() { m_made.clear(); }

private:
    QStringList m_made;
};

class PackCommand : public Command
{
public:
    PackCommand()
        : Command(QStringLiteral("pack"),
                  QStringLiteral("собирает из рукописи и её %1 файл рассказа .%2 для читателей")
                      .arg(toQString(kStoryMetadataFile), toQString(kStoryFileSuffix)))
    {}

protected:
    void addOptions(QCommandLineParser &parser) override
    {
        parser.addOption(m_output);
        parser.addPositionalArgument(QStringLiteral("MANUSCRIPT"),
                                     QStringLiteral("папка рукописи (genres.txt, <папка>.txt и %1)")
                                         .arg(toQString(kStoryMetadataFile)));
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
        const std::optional<StoryMetadata> &metadata = story.metadata;
        const QString output =
            parser.isSet(m_output) || !metadata
                ? parser.value(m_output)
                : QStringLiteral("%1-%2.%3")
                      .arg(metadata->identifier, metadata->version, toQString(kStoryFileSuffix));
        const QString fullPath = context.workingDir.filePath(output);
        // The command line is at fault before the manuscript is.
        if (!output.isEmpty()) {
            const QString why =
                overwrittenInput(fullPath, output, *manuscriptDir, shown, story.sources);
            if (!why.isEmpty())
                return usageError(why, context.err);
        }
        if (story.refused())
            return reportDiagnostics(story.diagnostics, context.out);
        const std::vector<StoryFileEntry> &files = story.files;
        MadeFolders folders;
        try {
            if (const QString why = folders.make(output, context.workingDir); !why.isEmpty())
                throw storyError(ErrorKind::FileNotWritten, output, 0, why);
            writeStoryFile(fullPath, output, *metadata, files);
            folders.keep();
        } catch (const StoryError &e) {
            context.out.flush();
            context.err << kProgramName
                        << QStringLiteral(" pack: не записан файл %1: %2")
                               .arg(output,
                                    toQString(e.kind() == ErrorKind::FileNotWritten ? e.detail()
                                                                                    : errorText(e)))
                        << '\n';
            return ExitUsage;
        }
        context.out << QStringLiteral("записан %1: «%2», версия %3, %4")
                           .arg(output, metadata->title, metadata->version,
                                countText(qint64(files.size()), QStringLiteral("файл"),
                                          QStringLiteral("файла"), QStringLiteral("файлов")))
                    << '\n';
        return reportDiagnostics(story.diagnostics, context.out);
    }

private:
    const QCommandLineOption m_output{
        {QStringLiteral("o"), QStringLiteral("output")},
        QStringLiteral("куда записать файл рассказа (по умолчанию <identifier>-<version>.%1 в "
                       "текущей папке)")
            .arg(toQString(kStoryFileSuffix)),
        QStringLiteral("FILE")};
};

} // namespace

std::shared_ptr<Command> packCommand()
{
    return std::make_shared<PackCommand>();
}

} // namespace vorta::author
