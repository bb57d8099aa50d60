// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "author/cli/commands.h"
#include "author/cli/story_input.h"
#include "author/simulation/story_run.h"
#include "core/story_check.h"

namespace vorta::author {

namespace {

constexpr int kDefaultStories = 500;

class CoverageCommand : public StoryInputCommand
{
public:
    CoverageCommand()
        : StoryInputCommand(
              QStringLiteral("coverage"),
              QStringLiteral(
                  "рассказывает много рассказов: какие варианты и концовки не рассказаны"))
    {}

protected:
    void addStoryOptions(QCommandLineParser &parser) override { parser.addOption(m_storiesOption); }

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
        if (story.hasSourceErrors())
            return reportSourceErrors(story, context.err);
        // Every file is read once, by the check; the stories are told from what it read.
        const CheckResult checked = checkTree(story.tree());
        CoverageReport report;
        try {
            report = runCoverage(checked.files, checked.data, m_stories);
        } catch (const StoryError &e) {
            context.err << messageOf(story.placed(e)) << '\n'
                        << QStringLiteral("Рассказ остановлен ошибкой в данных; подробнее покажет "
                                          "%1 check.")
                               .arg(kProgramName)
                        << '\n';
            return ExitErrors;
        }
        report.notes = story.placed(report.notes);
        printCoverage(report, checked.data, context.out);
        return ExitClean;
    }

private:
    const QCommandLineOption m_storiesOption =
        storiesOption(QStringLiteral("сколько рассказов рассказать"), kDefaultStories);
    int m_stories = kDefaultStories;
};

} // namespace

std::shared_ptr<Command> coverageCommand()
{
    return std::make_shared<CoverageCommand>();
}

} // namespace vorta::author
