#include "author/check/tree_check.h"
#include "author/cli/build_watch.h"
#include "author/cli/command_line.h"
#include "author/cli/file_writes.h"
#include "author/manuscript/tree_build.h"
#include "author/report/plural.h"

namespace vorta::author {

int buildOnce(const BuildFolders &folders, QTextStream &out, QTextStream &err)
{
    const QDir &treeDir = folders.tree;
    const TreeBuild build = buildTree(folders.manuscript, folders.shownManuscript, treeDir);
    if (countOf(build.diagnostics, Severity::Error) > 0)
        return reportDiagnostics(build.diagnostics, out);
    int written = 0;
    for (const BuiltFile &file : build.files) {
        try {
            if (writeIfChanged(treeDir.filePath(file.path), file.bytes) == WriteOutcome::Written)
                ++written;
        } catch (const FileWriteError &e) {
            out.flush();
            err << kProgramName
                << QStringLiteral(" build: не записан файл %1: %2")
                       .arg(QDir::toNativeSeparators(e.path), e.reason)
                << '\n';
            err.flush();
            return ExitUsage;
        }
    }
    out << QStringLiteral("записано: %1 из %2")
               .arg(countText(written, QStringLiteral("файл"), QStringLiteral("файла"),
                              QStringLiteral("файлов")))
               .arg(build.files.size())
        << '\n';
    QList<Diagnostic> diagnostics = build.diagnostics;
    diagnostics +=
        atManuscriptLines(checkTree(treeDir).diagnostics, build.files, folders.shownTree);
    sortDiagnostics(diagnostics);
    return reportDiagnostics(diagnostics, out);
}

int buildCommand(const QStringList &arguments, const QDir &workingDir, QTextStream &out,
                 QTextStream &err)
{
    QCommandLineParser parser;
    const QCommandLineOption watchOption(
        QStringLiteral("watch"),
        QStringLiteral("не завершаться: собирать заново после каждого сохранения рукописи"));
    parser.addOption(watchOption);
    parser.addPositionalArgument(QStringLiteral("MANUSCRIPT"),
                                 QStringLiteral("папка рукописи (genres.txt и <папка>.txt)"));
    parser.addPositionalArgument(QStringLiteral("DIR"),
                                 QStringLiteral("папка данных рассказа (по умолчанию текущая)"),
                                 QStringLiteral("[DIR]"));
    if (const std::optional<int> done = parseCommand(parser, arguments, out, err))
        return *done;
    const QString name = arguments.first();
    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty())
        return usageError(name, QStringLiteral("не задана папка рукописи"), err);
    if (positional.size() > 2)
        return usageError(name, QStringLiteral("лишний аргумент %1").arg(positional.at(2)), err);
    const std::optional<QDir> manuscriptDir = existingDir(name, positional.at(0), workingDir, err);
    if (!manuscriptDir)
        return ExitUsage;
    const QString treePath = positional.value(1, QStringLiteral("."));
    if (!QDir().mkpath(workingDir.filePath(treePath))) {
        err << kProgramName << QStringLiteral(" build: не создать папку %1").arg(treePath) << '\n';
        return ExitUsage;
    }
    const BuildFolders folders{*manuscriptDir, positional.at(0),
                               QDir(workingDir.filePath(treePath)), treePath};
    if (parser.isSet(watchOption))
        return watchAndBuild(folders, out, err);
    return buildOnce(folders, out, err);
}

} // namespace vorta::author
