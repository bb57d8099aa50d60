// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "author/cli/commands.h"
#include "author/cli/story_input.h"
#include "author/report/proof_sheet.h"
#include "author/simulation/story_run.h"
#include "core/story_check.h"

namespace vorta::author {

namespace {

constexpr int kDefaultStories = 1000;

class ProofCommand : public StoryInputCommand
{
public:
    ProofCommand()
        : StoryInputCommand(QStringLiteral("proof"),
                            QStringLiteral("пишет корректуру: страницу HTML с картой шагов и всеми "
                                           "вариантами"))
    {}

protected:
    void addStoryOptions(QCommandLineParser &parser) override
    {
        parser.setApplicationDescription(
            QStringLiteral("Пишет в stdout корректуру рассказа: одну страницу HTML без внешних "
                           "ссылок, с картой шагов, всеми вариантами рядом и матрицей финала."));
        parser.addOption(m_storiesOption);
    }

    std::optional<int> takeOptions(const QCommandLineParser &parser,
                                   const CommandContext &context) override
    {
        const std::optional<int> stories =
            storiesValue(parser, m_storiesOption, kDefaultStories, context.err);
        if (!stories)
            return ExitUsage;
        m_stories = *stories;
        return std::nullopt;
    }

    int executeWithStory(const QCommandLineParser &, const StoryInput &story,
                         const CommandContext &context) override
    {
        // Every file is read once, by the check; the map's stories are told from what it read.
        const CheckResult checked = checkTree(story.tree());
        ProofSheetInput input;
        input.title = story.title();
        input.checked = &checked;
        input.sourceDiagnostics = story.sourceDiagnostics();
        input.placeOf = [&story](const QString &path, int line) {
            return story.placeOf(path, line);
        };
        input.seed = kCoverageSeed;
        try {
            input.counts =
                runCoverage(checked.files, checked.data, m_stories, kCoverageSeed).counts;
        } catch (const StoryError &e) {
            input.runFailure =
                QStringLiteral("ошибка в данных: ") +
                messageOf(story.placed(e)).replace(QLatin1Char('\n'), QStringLiteral("; "));
        }
        context.out << proofSheet(input);
        const std::vector<Diagnostic> all = story.withSourceFindings(checked.diagnostics);
        return countOf(all, Severity::Error) > 0 ? ExitErrors : ExitClean;
    }

private:
    const QCommandLineOption m_storiesOption =
        storiesOption(QStringLiteral("сколько рассказов рассказать для карты"), kDefaultStories);
    int m_stories = kDefaultStories;
};

} // namespace

std::shared_ptr<Command> proofCommand()
{
    return std::make_shared<ProofCommand>();
}

} // namespace vorta::author
