// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "command_line.h"

#include "author/cli/commands.h"

#include <QCoreApplication>

namespace vorta::author {

const QList<std::shared_ptr<Command>> &commands()
{
    static const QList<std::shared_ptr<Command>> table{
        checkCommand(),  storyCommand(), coverageCommand(), buildCommand(), packCommand(),
        unpackCommand(), fixCommand(),   newGenreCommand(), proofCommand(), webCommand(),
    };
    return table;
}

namespace {

Command *findCommand(const QString &name)
{
    for (const std::shared_ptr<Command> &command : commands()) {
        if (command->name() == name)
            return command.get();
    }
    return nullptr;
}

QString programHelp(const QCommandLineParser &parser)
{
    QString text = helpText(parser, kProgramName);
    text += QStringLiteral("\nПодкоманды:\n");
    for (const std::shared_ptr<Command> &command : commands())
        text += QStringLiteral("  %1 %2\n").arg(command->name(), -10).arg(command->summary());
    text += QStringLiteral("\nСправка по подкоманде: %1 COMMAND --help\n").arg(kProgramName);
    return text;
}

} // namespace

int runAuthorProgram(const QStringList &arguments, const QDir &workingDir, QTextStream &out,
                     QTextStream &err)
{
    installParserTexts();
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Программа для авторов рассказа: собирает данные из рукописи, проверяет их, "
                       "рассказывает, упаковывает в файл рассказа для читателей."));
    // Everything from the subcommand's name on belongs to the subcommand.
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("COMMAND"), QStringLiteral("подкоманда (ниже)"),
                                 QStringLiteral("COMMAND [ARGS]"));
    if (!parser.parse(QStringList{kProgramName} + arguments))
        return usageErrorOf({}, parser.errorText(), err);
    if (parser.isSet(version)) {
        out << kProgramName << ' ' << QStringLiteral(VORTA_VERSION) << '\n';
        return ExitClean;
    }
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        out << programHelp(parser);
        return ExitClean;
    }
    const QStringList rest = parser.positionalArguments();
    if (rest.isEmpty())
        return usageErrorOf({}, QStringLiteral("не задана подкоманда"), err);
    Command *command = findCommand(rest.first());
    if (!command)
        return usageErrorOf({}, QStringLiteral("нет подкоманды «%1»").arg(rest.first()), err);
    return command->run(rest, {workingDir, out, err});
}

} // namespace vorta::author
