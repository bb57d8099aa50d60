// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "author/cli/commands.h"
#include "author/cli/story_input.h"
#include "author/report/story_stats.h"
#include "core/story_check.h"

namespace vorta::author {

namespace {

class CheckCommand : public StoryInputCommand
{
public:
    CheckCommand()
        : StoryInputCommand(
              QStringLiteral("check"),
              QStringLiteral("проверяет все файлы и все варианты данных или рукописи"))
    {}

protected:
    void addStoryOptions(QCommandLineParser &parser) override { parser.addOption(m_stats); }

    int executeWithStory(const QCommandLineParser &parser, const StoryInput &story,
                         const CommandContext &context) override
    {
        QTextStream &out = context.out;
        if (!story.checkable())
            return reportDiagnostics(story.sourceDiagnostics(), out);
        // A tree's findings are out as soon as their file is read, so a slow read shows what
        // came before; a manuscript's, read in memory, come sorted with its own.
        DiagnosticSink sink;
        if (!story.isManuscript()) {
            sink = [&out, &story](const Diagnostic &diagnostic) {
                out << toQString(formatDiagnostic(story.placed({diagnostic}).front())) << '\n';
                out.flush();
            };
        }
        const CheckResult checked = checkTree(story.tree(), sink);
        const std::vector<Diagnostic> diagnostics = story.withSourceFindings(checked.diagnostics);
        if (story.isManuscript()) {
            for (const Diagnostic &diagnostic : diagnostics)
                out << toQString(formatDiagnostic(diagnostic)) << '\n';
        }
        if (parser.isSet(m_stats))
            printGenreStats(genreStats(checked.data), out);
        out << toQString(summaryLine(diagnostics)) << '\n';
        return countOf(diagnostics, Severity::Error) > 0 ? ExitErrors : ExitClean;
    }

private:
    const QCommandLineOption m_stats{
        QStringLiteral("stats"),
        QStringLiteral("перед итогом — по каждому жанру шаги, варианты, пустые варианты, строки и "
                       "слова (вариантов и записей финала) и пары финала с записью из тех, что "
                       "достижимы")};
};

} // namespace

std::shared_ptr<Command> checkCommand()
{
    return std::make_shared<CheckCommand>();
}

} // namespace vorta::author
