#include "author/check/tree_check.h"
#include "author/cli/command_line.h"
#include "author/report/story_stats.h"

namespace vorta::author {

int checkCommand(const QStringList &arguments, const QDir &workingDir, QTextStream &out,
                 QTextStream &err)
{
    QCommandLineParser parser;
    const QCommandLineOption statsOption(
        QStringLiteral("stats"),
        QStringLiteral("перед итогом — по каждому жанру шаги, варианты, пустые варианты, строки и "
                       "слова (вариантов и записей финала) и пары финала с записью из тех, что "
                       "достижимы"));
    parser.addOption(statsOption);
    addDataDirArgument(parser);
    if (const std::optional<int> done = parseCommand(parser, arguments, out, err))
        return *done;
    const QString name = arguments.first();
    const std::optional<QDir> dataDir = dataDirArgument(parser, name, workingDir, err);
    if (!dataDir)
        return ExitUsage;
    // Each finding is out as soon as its file is read, so a slow read shows what came before.
    const CheckResult checked = checkTree(*dataDir, [&out](const Diagnostic &diagnostic) {
        out << formatDiagnostic(diagnostic) << '\n';
        out.flush();
    });
    if (parser.isSet(statsOption))
        printGenreStats(genreStats(checked.data), out);
    out << summaryLine(checked.diagnostics) << '\n';
    return countOf(checked.diagnostics, Severity::Error) > 0 ? ExitErrors : ExitClean;
}

} // namespace vorta::author
