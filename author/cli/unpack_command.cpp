#include "author/cli/commands.h"
#include "author/cli/file_writes.h"
#include "author/manuscript/tree_build.h"
#include "author/manuscript/tree_unpack.h"

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
            QStringLiteral("папка рукописи, куда записать рассказ в UTF-8"));
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

        const TreeUnpack unpack = unpackTree(*treeDir);
        if (countOf(unpack.diagnostics, Severity::Error) > 0)
            return reportDiagnostics(unpack.diagnostics, context.out);
        for (const ManuscriptFile &file : unpack.files) {
            try {
                writeIfChanged(manuscriptDir.filePath(file.name), file.bytes);
            } catch (const FileWriteError &e) {
                context.out.flush();
                context.err
                    << kProgramName
                    << QStringLiteral(" unpack: не записан файл %1: %2").arg(e.path, e.reason)
                    << '\n';
                return ExitUsage;
            }
        }
        QList<Diagnostic> diagnostics = unpack.diagnostics + notCanonical(manuscriptDir, *treeDir);
        sortDiagnostics(diagnostics);
        return reportDiagnostics(diagnostics, context.out);
    }
};

} // namespace

std::shared_ptr<Command> unpackCommand()
{
    return std::make_shared<UnpackCommand>();
}

} // namespace vorta::author
