// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "author/cli/commands.h"
#include "author/cli/file_writes.h"
#include "author/manuscript/tree_build.h"
#include "author/manuscript/tree_unpack.h"
#include "author/report/plural.h"

#include "format/story_error.h"

namespace vorta::author {

namespace {

// The files of the tree that a build of the manuscript would write otherwise: what the round
// trip does not keep.
QList<Diagnostic> notCanonical(const QDir &manuscriptDir, const QDir &treeDir)
{
    QList<Diagnostic> notes;
    const TreeBuild build = buildTree(manuscriptDir, QStringLiteral("."), treeDir);
    if (build.hasErrors())
        return notes;
    for (const BuiltFile &file : build.files) {
        std::optional<QByteArray> bytes;
        try {
            bytes = readExisting(treeDir.filePath(file.path), file.path);
        } catch (const StoryError &) {
            // An unreadable file differs from what the build writes, as a missing one does.
        }
        if (bytes != file.bytes)
            notes.append({file.path, 1, Severity::Note,
                          QStringLiteral("файл не в канонической форме: сборка рукописи запишет "
                                         "его иначе")});
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
        parser.addPositionalArgument(QStringLiteral("DIR"),
                                     QStringLiteral("папка данных рассказа (по умолчанию текущая)"),
                                     QStringLiteral("[DIR]"));
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
        const std::optional<QDir> treeDir =
            existingDir(positional.size() == 2 ? positional.at(0) : QString(), context);
        if (!treeDir)
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

        const TreeUnpack unpack = unpackTree(*treeDir);
        if (countOf(unpack.diagnostics, Severity::Error) > 0)
            return reportDiagnostics(unpack.diagnostics, context.out);
        QStringList replaced;
        try {
            FileWrites writes;
            for (const ManuscriptFile &file : unpack.files) {
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
        QList<Diagnostic> diagnostics = unpack.diagnostics + notCanonical(manuscriptDir, *treeDir);
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
