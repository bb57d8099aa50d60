#include "author/check/tree_check.h"
#include "author/cli/command_line.h"
#include "author/simulation/story_run.h"

#include <stdexcept>

namespace vorta::author {

namespace {

constexpr int kDefaultStories = 500;

} // namespace

int coverageCommand(const QStringList &arguments, const QDir &workingDir, QTextStream &out,
                    QTextStream &err)
{
    QCommandLineParser parser;
    const QCommandLineOption storiesFlag =
        storiesOption(QStringLiteral("сколько рассказов рассказать"), kDefaultStories);
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
    CoverageReport report;
    try {
        report = runCoverage(*dataDir, checked.data, stories);
    } catch (const StoryError &e) {
        err << e.message() << '\n'
            << QStringLiteral("Рассказ остановлен ошибкой в данных; подробнее покажет "
                              "%1 check.")
                   .arg(kProgramName)
            << '\n';
        return ExitErrors;
    } catch (const std::runtime_error &e) {
        err << QString::fromStdString(e.what()) << '\n';
        return ExitErrors;
    }
    printCoverage(report, checked.data, out);
    return ExitClean;
}

} // namespace vorta::author
