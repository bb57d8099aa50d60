// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "author/cli/commands.h"
#include "author/cli/story_input.h"
#include "author/simulation/steered_story.h"

#include "core/data_files.h"
#include "core/numbers.h"
#include "core/story_facts.h"
#include "core/story_state.h"

#include <QRandomGenerator>

namespace vorta::author {

namespace {

class StoryCommand : public StoryInputCommand
{
public:
    StoryCommand()
        : StoryInputCommand(QStringLiteral("story"),
                            QStringLiteral("рассказывает один рассказ целиком, как его расскажет "
                                           "программа"))
    {}

protected:
    void addStoryOptions(QCommandLineParser &parser) override
    {
        parser.addOption(m_seedOption);
        parser.addOption(m_picksOption);
        parser.addOption(m_labelsOption);
    }

    std::optional<int> takeOptions(const QCommandLineParser &parser,
                                   const CommandContext &context) override
    {
        if (!parser.isSet(m_seedOption))
            return std::nullopt;
        const QString value = parser.value(m_seedOption);
        bool ok = false;
        m_seed = value.toULongLong(&ok);
        if (!ok || value.startsWith(QLatin1Char('+')))
            return usageError(QStringLiteral("зерно должно быть целым числом от 0: %1").arg(value),
                              context.err);
        return std::nullopt;
    }

    int executeWithStory(const QCommandLineParser &parser, const StoryInput &story,
                         const CommandContext &context) override
    {
        QTextStream &err = context.err;
        if (story.hasSourceErrors())
            return reportSourceErrors(story, err);
        QList<qint32> picks;
        if (parser.isSet(m_picksOption)) {
            if (const std::optional<int> failed =
                    pickedGenres(parser.value(m_picksOption), story, picks, err))
                return *failed;
        }
        if (!parser.isSet(m_seedOption)) {
            // A story the author can tell again.
            m_seed = QRandomGenerator::global()->bounded(1000000u);
            err << QStringLiteral("зерно рассказа %1 (тот же рассказ: --seed %1)").arg(m_seed)
                << '\n';
            err.flush();
        }

        const bool labels = parser.isSet(m_labelsOption);
        const SteeredStory told = tellSteeredStory(story.tree(), m_seed, picks);
        for (const ToldStep &step : told.steps) {
            if (labels)
                context.out << stepLabel(step) << '\n';
            for (const QString &line : step.lines)
                context.out << line << '\n';
        }
        if (told.error) {
            context.out.flush();
            err << messageOf(story.placed(*told.error)) << '\n';
            return ExitErrors;
        }
        return ExitClean;
    }

private:
    // The genre index of each folder name of the list, in the catalogue as the program reads
    // it; a name that is not there is a usage error, a catalogue that cannot be read a data
    // error.
    std::optional<int> pickedGenres(const QString &list, const StoryInput &story,
                                    QList<qint32> &picks, QTextStream &err) const
    {
        StoryState catalogue;
        try {
            loadCatalogue(catalogue, story.tree());
        } catch (const StoryError &e) {
            err << messageOf(story.placed(e)) << '\n';
            return ExitErrors;
        }
        QStringList dirs;
        for (qint32 g = 1; g <= catalogue.genreCount; ++g)
            dirs.append(toQString(element(catalogue.genreDirs, g)));
        for (const QString &name : list.split(QLatin1Char(','))) {
            const qsizetype at = dirs.indexOf(name);
            if (at < 0)
                return usageError(QStringLiteral("в каталоге нет жанра с папкой «%1»; есть: %2")
                                      .arg(name, dirs.join(QStringLiteral(", "))),
                                  err);
            picks.append(qint32(at) + 1);
        }
        return std::nullopt;
    }

    const QCommandLineOption m_seedOption{
        QStringLiteral("seed"),
        QStringLiteral("зерно генератора: с тем же зерном тот же рассказ (по умолчанию "
                       "случайное, его называет stderr)"),
        QStringLiteral("N")};
    const QCommandLineOption m_picksOption{
        QStringLiteral("picks"),
        QStringLiteral("ходы читателя: папки жанров через запятую, по одной на ход; одна папка — "
                       "все ходы в этом жанре; когда список кончится, ходит программа"),
        QStringLiteral("LIST")};
    const QCommandLineOption m_labelsOption{
        QStringLiteral("labels"),
        QStringLiteral("строка перед каждым шагом: номер, жанр, вариант из скольких (на шаге %1 "
                       "и число IQ); перед финалом — наименее и наиболее используемый жанр")
            .arg(kIqStep)};
    quint64 m_seed = 0;
};

} // namespace

std::shared_ptr<Command> storyCommand()
{
    return std::make_shared<StoryCommand>();
}

} // namespace vorta::author
