// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "author/cli/build_watch.h"
#include "author/cli/commands.h"

namespace vorta::author {

namespace {

class BuildCommand : public Command
{
public:
    BuildCommand()
        : Command(QStringLiteral("build"),
                  QStringLiteral("собирает данные рассказа из рукописи в UTF-8 (--watch: при "
                                 "каждом сохранении)"))
    {}

protected:
    void addOptions(QCommandLineParser &parser) override
    {
        parser.addOption(m_watch);
        parser.addPositionalArgument(QStringLiteral("MANUSCRIPT"),
                                     QStringLiteral("папка рукописи (genres.txt и <папка>.txt)"));
        parser.addPositionalArgument(QStringLiteral("DIR"),
                                     QStringLiteral("папка данных рассказа (по умолчанию текущая)"),
                                     QStringLiteral("[DIR]"));
    }

    int execute(const QCommandLineParser &parser, const CommandContext &context) override
    {
        const QStringList positional = parser.positionalArguments();
        if (positional.isEmpty())
            return usageError(QStringLiteral("не задана папка рукописи"), context.err);
        if (positional.size() > 2)
            return usageError(QStringLiteral("лишний аргумент %1").arg(positional.at(2)),
                              context.err);
        const std::optional<QDir> manuscriptDir = existingDir(positional.at(0), context);
        if (!manuscriptDir)
            return ExitUsage;
        const QString treePath = positional.value(1, QStringLiteral("."));
        if (!QDir().mkpath(context.workingDir.filePath(treePath))) {
            context.err << kProgramName
                        << QStringLiteral(" build: не создать папку %1").arg(treePath) << '\n';
            return ExitUsage;
        }
        const BuildFolders folders{*manuscriptDir, positional.at(0),
                                   QDir(context.workingDir.filePath(treePath)), treePath};
        if (parser.isSet(m_watch))
            return watchAndBuild(folders, context.out, context.err);
        const BuildOutcome outcome = buildOnce(folders, context.err);
        printOutcome(outcome, context.out);
        return outcome.status;
    }

private:
    const QCommandLineOption m_watch{
        QStringLiteral("watch"),
        QStringLiteral("не завершаться: собирать заново после каждого сохранения рукописи и "
                       "показывать, какие находки появились и какие исправлены")};
};

} // namespace

std::shared_ptr<Command> buildCommand()
{
    return std::make_shared<BuildCommand>();
}

} // namespace vorta::author
