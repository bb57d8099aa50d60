// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "author/cli/commands.h"
#include "author/cli/file_writes.h"
#include "author/cli/story_input.h"
#include "author/manuscript/tree_build.h"
#include "author/manuscript/tree_unpack.h"
#include "author/report/plural.h"
#include "format/folder_tree.h"

#include "format/qt_text.h"
#include "format/story_file.h"

namespace vorta::author {

namespace {

// The files of the tree that a build of the manuscript would write otherwise: what the round
// trip does not keep. A tree folder's own settings file is kept by a build into it.
std::vector<Diagnostic> notCanonical(const QDir &manuscriptDir, const DataTree &tree,
                                     const std::optional<QDir> &treeDir)
{
    std::vector<Diagnostic> notes;
    const TreeBuild build = buildTree(manuscriptDir, QStringLiteral("."), treeDir);
    if (build.hasErrors())
        return notes;
    for (const BuiltFile &file : build.files) {
        std::optional<std::string> bytes;
        try {
            bytes = tree.readBytes(toU16(file.path));
        } catch (const StoryError &) {
            // An unreadable file differs from what the build writes, as a missing one does.
        }
        if (bytes != toBytes(file.bytes))
            notes.push_back({toU16(file.path), 1, Severity::Note,
                             u"файл не в канонической форме: сборка рукописи запишет его иначе"});
    }
    return notes;
}

class UnpackCommand : public Command
{
public:
    UnpackCommand()
        : Command(QStringLiteral("unpack"),
                  QStringLiteral("пишет рукопись в UTF-8 по данным рассказа"))
    {}

protected:
    void addOptions(QCommandLineParser &parser) override
    {
        parser.addPositionalArgument(
            QStringLiteral("STORY"),
            QStringLiteral("папка данных рассказа или файл рассказа .%1 (по умолчанию текущая "
                           "папка); из файла рассказа пишется и его %2")
                .arg(kStoryFileSuffix, kStoryMetadataFile),
            QStringLiteral("[STORY]"));
        parser.addPositionalArgument(
            QStringLiteral("MANUSCRIPT"),
            QStringLiteral("папка рукописи, куда записать рассказ в UTF-8: новая или пустая"));
        parser.addOption(m_force);
    }

    int execute(const QCommandLineParser &parser, const CommandContext &context) override
    {
        const QStringList positional = parser.positionalArguments();
        if (positional.isEmpty())
            return usageError(QStringLiteral("не задана папка рукописи"), context.err);
        if (positional.size() > 2)
            return usageError(QStringLiteral("лишний аргумент %1").arg(positional.at(2)),
                              context.err);
        const QString treeArgument = positional.size() == 2 ? positional.at(0) : QString();
        const QString treePath = context.workingDir.filePath(
            treeArgument.isEmpty() ? QStringLiteral(".") : treeArgument);
        const bool fromStoryFile = isStoryFilePath(treePath);
        const std::optional<QDir> treeDir =
            fromStoryFile ? std::nullopt : existingDir(treeArgument, context);
        if (!fromStoryFile && !treeDir)
            return ExitUsage;
        const QDir manuscriptDir(context.workingDir.filePath(positional.back()));
        const QString shown = QDir::cleanPath(positional.back());
        // A manuscript holds what a tree cannot: comments, edits not yet built. Writing over
        // one is for an author who says so.
        const QStringList present =
            manuscriptDir.exists() ? manuscriptDir.entryList(QDir::AllEntries | QDir::Hidden |
                                                             QDir::System | QDir::NoDotAndDotDot)
                                   : QStringList();
        if (!present.isEmpty() && !parser.isSet(m_force))
            return usageError(
                QStringLiteral("папка %1 не пуста (%2): рукопись пишется в новую или пустую "
                               "папку, чтобы не затереть комментарии и несобранные правки; "
                               "--force заменит файлы с теми же именами")
                    .arg(shown, countText(present.size(), QStringLiteral("файл"),
                                          QStringLiteral("файла"), QStringLiteral("файлов"))),
                context.err);

        std::optional<StoryInput> story;
        if (fromStoryFile) {
            try {
                story = StoryInput::fromStoryFile(treePath, treeArgument);
            } catch (const StoryError &e) {
                return storyFileError(e, context);
            }
        }
        const DataTree tree = story ? story->tree() : folderTree(*treeDir);
        const auto placed = [&story](const std::vector<Diagnostic> &diagnostics) {
            return story ? story->placed(diagnostics) : diagnostics;
        };
        TreeUnpack unpack = unpackTree(tree);
        unpack.diagnostics = placed(unpack.diagnostics);
        if (countOf(unpack.diagnostics, Severity::Error) > 0)
            return reportDiagnostics(unpack.diagnostics, context.out);
        // A story file's metadata goes with its manuscript, for the next pack.
        if (story)
            unpack.files.append(
                {toQString(kStoryMetadataFile), storyMetadataJson(*story->metadata())});
        QStringList replaced;
        try {
            FileWrites writes;
            for (const ManuscriptFile &file : std::as_const(unpack.files)) {
                const QString path = manuscriptDir.filePath(file.name);
                const bool existed = QFileInfo::exists(path) || QFileInfo(path).isSymLink();
                if (writes.add(path, file.bytes) == WriteOutcome::Written && existed)
                    replaced.append(shown + QLatin1Char('/') + file.name);
            }
            writes.commit();
        } catch (const FileWriteError &e) {
            context.out.flush();
            context.err << kProgramName
                        << QStringLiteral(" unpack: не записан файл %1: %2").arg(e.path, e.reason)
                        << '\n';
            return ExitUsage;
        }
        for (const QString &file : std::as_const(replaced))
            context.out << QStringLiteral("заменён %1").arg(file) << '\n';
        std::vector<Diagnostic> diagnostics = unpack.diagnostics;
        const std::vector<Diagnostic> notes = placed(notCanonical(manuscriptDir, tree, treeDir));
        diagnostics.insert(diagnostics.end(), notes.begin(), notes.end());
        sortDiagnostics(diagnostics);
        return reportDiagnostics(diagnostics, context.out);
    }

private:
    const QCommandLineOption m_force{
        QStringLiteral("force"),
        QStringLiteral("писать и в папку, где уже есть файлы: одноимённые файлы заменяются, и "
                       "каждый из них называется")};
};

} // namespace

std::shared_ptr<Command> unpackCommand()
{
    return std::make_shared<UnpackCommand>();
}

} // namespace vorta::author
