#include "command_line.h"
#include "story_run.h"
#include "tree_check.h"

#include <stdexcept>

namespace vorta::author {

namespace {

constexpr int kDefaultStories = 500;
constexpr int kMostStories = 1000000;

} // namespace

int coverageCommand(const QStringList &arguments, const QDir &workingDir, QTextStream &out,
                    QTextStream &err)
{
    QCommandLineParser parser;
    const QCommandLineOption storiesOption(
        QStringLiteral("stories"),
        QStringLiteral("сколько рассказов рассказать (по умолчанию %1)").arg(kDefaultStories),
        QStringLiteral("N"));
    parser.addOption(storiesOption);
    parser.addPositionalArgument(QStringLiteral("DIR"),
                                 QStringLiteral("папка данных рассказа (по умолчанию текущая)"),
                                 QStringLiteral("[DIR]"));
    if (const std::optional<int> done = parseCommand(parser, arguments, out, err))
        return *done;
    const QString name = arguments.first();
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1)
        return usageError(name, QStringLiteral("лишний аргумент %1").arg(positional.at(1)), err);

    int stories = kDefaultStories;
    if (parser.isSet(storiesOption)) {
        const QString value = parser.value(storiesOption);
        bool ok = false;
        stories = value.toInt(&ok);
        if (!ok || stories < 1 || stories > kMostStories)
            return usageError(name,
                              QStringLiteral("число рассказов должно быть целым от 1 до %1: %2")
                                  .arg(kMostStories)
                                  .arg(value),
                              err);
    }
    const std::optional<QDir> dataDir = existingDir(name, positional.value(0), workingDir, err);
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
