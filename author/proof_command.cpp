#include "command_line.h"
#include "proof_sheet.h"
#include "story_run.h"
#include "tree_check.h"

#include <QFileInfo>

#include <stdexcept>

namespace vorta::author {

namespace {

constexpr int kDefaultStories = 1000;
constexpr int kMostStories = 1000000;

} // namespace

int proofCommand(const QStringList &arguments, const QDir &workingDir, QTextStream &out,
                 QTextStream &err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Пишет в stdout корректуру рассказа: одну страницу HTML без внешних "
                       "ссылок, с картой шагов, всеми вариантами рядом и матрицей финала."));
    const QCommandLineOption storiesOption(
        QStringLiteral("stories"),
        QStringLiteral("сколько рассказов рассказать для карты (по умолчанию %1)")
            .arg(kDefaultStories),
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
