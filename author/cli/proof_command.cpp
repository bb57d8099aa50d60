#include "author/check/tree_check.h"
#include "author/cli/command_line.h"
#include "author/report/proof_sheet.h"
#include "author/simulation/story_run.h"

#include <QFileInfo>

#include <stdexcept>

namespace vorta::author {

namespace {

constexpr int kDefaultStories = 1000;

} // namespace

int proofCommand(const QStringList &arguments, const QDir &workingDir, QTextStream &out,
                 QTextStream &err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Пишет в stdout корректуру рассказа: одну страницу HTML без внешних "
                       "ссылок, с картой шагов, всеми вариантами рядом и матрицей финала."));
    const QCommandLineOption storiesFlag =
        storiesOption(QStringLiteral("сколько рассказов рассказать для карты"), kDefaultStories);
    parser.addOption(storiesFlag);
    addDataDirArgument(parser);
    if (const std::optional<int> done = parseCommand(parser, arguments, out, err))
        return *done;
    const QString name = arguments.first();
    const std::optional<int> storyCount =
        storiesValue(parser, storiesFlag, kDefaultStories, name, err);
    if (!storyCount)
        return ExitUsage;
    const int stories = *storyCount;
    const std::optional<QDir> dataDir = dataDirArgument(parser, name, workingDir, err);
    if (!dataDir)
        return ExitUsage;

    const CheckResult checked = checkTree(*dataDir);
    ProofSheetInput input;
    input.title = QFileInfo(dataDir->absolutePath()).fileName();
    input.checked = &checked;
    input.seed = kCoverageSeed;
    try {
        input.counts = runCoverage(*dataDir, checked.data, stories, kCoverageSeed).counts;
    } catch (const StoryError &e) {
        input.runFailure = QStringLiteral("ошибка в данных: ") +
                           e.message().replace(QLatin1Char('\n'), QStringLiteral("; "));
    } catch (const std::runtime_error &e) {
        input.runFailure = QString::fromStdString(e.what());
    }
    out << proofSheet(input);
    return countOf(checked.diagnostics, Severity::Error) > 0 ? ExitErrors : ExitClean;
}

} // namespace vorta::author
