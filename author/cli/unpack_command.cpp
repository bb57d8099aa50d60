#include "author/cli/command_line.h"
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

} // namespace

int unpackCommand(const QStringList &arguments, const QDir &workingDir, QTextStream &out,
                  QTextStream &err)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("DIR"),
                                 QStringLiteral("папка данных рассказа (по умолчанию текущая)"),
                                 QStringLiteral("[DIR]"));
    parser.addPositionalArgument(QStringLiteral("MANUSCRIPT"),
                                 QStringLiteral("папка рукописи, куда записать рассказ в UTF-8"));
    if (const std::optional<int> done = parseCommand(parser, arguments, out, err))
        return *done;
    const QString name = arguments.first();
    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty())
        return usageError(name, QStringLiteral("не задана папка рукописи"), err);
    if (positional.size() > 2)
        return usageError(name, QStringLiteral("лишний аргумент %1").arg(positional.at(2)), err);
    const std::optional<QDir> treeDir =
        existingDir(name, positional.size() == 2 ? positional.at(0) : QString(), workingDir, err);
    if (!treeDir)
        return ExitUsage;
    const QDir manuscriptDir(workingDir.filePath(positional.back()));

    const TreeUnpack unpack = unpackTree(*treeDir);
    if (countOf(unpack.diagnostics, Severity::Error) > 0)
        return reportDiagnostics(unpack.diagnostics, out);
    for (const ManuscriptFile &file : unpack.files) {
        try {
            writeIfChanged(manuscriptDir.filePath(file.name), file.bytes);
        } catch (const FileWriteError &e) {
            out.flush();
            err << kProgramName
                << QStringLiteral(" unpack: не записан файл %1: %2").arg(e.path, e.reason) << '\n';
            return ExitUsage;
        }
    }
    QList<Diagnostic> diagnostics = unpack.diagnostics + notCanonical(manuscriptDir, *treeDir);
    sortDiagnostics(diagnostics);
    return reportDiagnostics(diagnostics, out);
}

} // namespace vorta::author
