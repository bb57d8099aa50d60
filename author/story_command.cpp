#include "command_line.h"
#include "story_run.h"

#include <QRandomGenerator>

namespace vorta::author {

int storyCommand(const QStringList &arguments, const QDir &workingDir, QTextStream &out,
                 QTextStream &err)
{
    QCommandLineParser parser;
    const QCommandLineOption seedOption(
        QStringLiteral("seed"),
        QStringLiteral("зерно генератора: с тем же зерном тот же рассказ (по умолчанию "
                       "случайное, его называет stderr)"),
        QStringLiteral("N"));
    parser.addOption(seedOption);
    parser.addPositionalArgument(QStringLiteral("DIR"),
                                 QStringLiteral("папка данных рассказа (по умолчанию текущая)"),
                                 QStringLiteral("[DIR]"));
    if (const std::optional<int> done = parseCommand(parser, arguments, out, err))
        return *done;
    const QString name = arguments.first();
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1)
        return usageError(name, QStringLiteral("лишний аргумент %1").arg(positional.at(1)), err);

    quint64 seed = 0;
    if (parser.isSet(seedOption)) {
        const QString value = parser.value(seedOption);
        bool ok = false;
        seed = value.toULongLong(&ok);
        if (!ok || value.startsWith(QLatin1Char('+')))
            return usageError(
                name, QStringLiteral("зерно должно быть целым числом от 0: %1").arg(value), err);
    }
    const std::optional<QDir> dataDir = existingDir(name, positional.value(0), workingDir, err);
    if (!dataDir)
        return ExitUsage;
    if (!parser.isSet(seedOption)) {
        // A story the author can tell again.
        seed = QRandomGenerator::global()->bounded(1000000u);
        err << QStringLiteral("зерно рассказа %1 (тот же рассказ: --seed %1)").arg(seed) << '\n';
        err.flush();
    }

    const ToldStory story = tellStory(*dataDir, seed);
    for (const QString &line : story.lines)
        out << line << '\n';
    if (story.error) {
        out.flush();
        err << story.error->message() << '\n';
        return ExitErrors;
    }
    return ExitClean;
}

} // namespace vorta::author
