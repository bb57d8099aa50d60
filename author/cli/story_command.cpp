#include "author/cli/command_line.h"
#include "author/simulation/steered_story.h"

#include "engine/data_files.h"
#include "engine/numbers.h"
#include "engine/story_state.h"

#include <QRandomGenerator>

namespace vorta::author {

namespace {

// The genre index of each directory name of the list, in the catalogue as the program reads
// it; a name that is not there is a usage error, a catalogue that cannot be read a data error.
std::optional<int> pickedGenres(const QString &list, const QDir &dataDir, QList<qint32> &picks,
                                const QString &command, QTextStream &err)
{
    StoryState catalogue;
    try {
        loadCatalogue(catalogue, dataDir);
    } catch (const StoryError &e) {
        err << e.message() << '\n';
        return ExitErrors;
    }
    QStringList dirs;
    for (qint32 g = 1; g <= catalogue.genreCount; ++g)
        dirs.append(element(catalogue.genreDirs, g));
    for (const QString &name : list.split(QLatin1Char(','))) {
        const qsizetype at = dirs.indexOf(name);
        if (at < 0)
            return usageError(command,
                              QStringLiteral("в каталоге нет жанра с папкой «%1»; есть: %2")
                                  .arg(name, dirs.join(QStringLiteral(", "))),
                              err);
        picks.append(qint32(at) + 1);
    }
    return std::nullopt;
}

} // namespace

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
    const QCommandLineOption picksOption(
        QStringLiteral("picks"),
        QStringLiteral("ходы читателя: папки жанров через запятую, по одной на ход; одна папка — "
                       "все ходы в этом жанре; когда список кончится, ходит программа"),
        QStringLiteral("LIST"));
    parser.addOption(picksOption);
    const QCommandLineOption labelsOption(
        QStringLiteral("labels"),
        QStringLiteral("строка перед каждым шагом: номер, жанр, вариант (на шаге 37 и IQ)"));
    parser.addOption(labelsOption);
    addDataDirArgument(parser);
    if (const std::optional<int> done = parseCommand(parser, arguments, out, err))
        return *done;
    const QString name = arguments.first();

    quint64 seed = 0;
    if (parser.isSet(seedOption)) {
        const QString value = parser.value(seedOption);
        bool ok = false;
        seed = value.toULongLong(&ok);
        if (!ok || value.startsWith(QLatin1Char('+')))
            return usageError(
                name, QStringLiteral("зерно должно быть целым числом от 0: %1").arg(value), err);
    }
    const std::optional<QDir> dataDir = dataDirArgument(parser, name, workingDir, err);
    if (!dataDir)
        return ExitUsage;
    QList<qint32> picks;
    if (parser.isSet(picksOption)) {
        if (const std::optional<int> failed =
                pickedGenres(parser.value(picksOption), *dataDir, picks, name, err))
            return *failed;
    }
    if (!parser.isSet(seedOption)) {
        // A story the author can tell again.
        seed = QRandomGenerator::global()->bounded(1000000u);
        err << QStringLiteral("зерно рассказа %1 (тот же рассказ: --seed %1)").arg(seed) << '\n';
        err.flush();
    }

    const bool labels = parser.isSet(labelsOption);
    const SteeredStory story = tellSteeredStory(*dataDir, seed, picks);
    for (const ToldStep &step : story.steps) {
        if (labels)
            out << stepLabel(step) << '\n';
        for (const QString &line : step.lines)
            out << line << '\n';
    }
    if (story.error) {
        out.flush();
        err << story.error->message() << '\n';
        return ExitErrors;
    }
    return ExitClean;
}

} // namespace vorta::author
