// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "command.h"

#include "author/cli/story_input.h"

#include "format/story_file.h"

#include <QCoreApplication>
#include <QHash>
#include <QTranslator>

namespace vorta::author {

namespace {

// QCommandLineParser's own texts in Russian, so that help and usage errors speak one language.
class ParserTexts : public QTranslator
{
public:
    bool isEmpty() const override { return false; }

    QString translate(const char *context, const char *sourceText, const char *, int) const override
    {
        static const QHash<QByteArray, QString> texts{
            {"Displays help on commandline options.", QStringLiteral("показывает эту справку")},
            {"Displays help including Qt specific options.",
             QStringLiteral("показывает справку вместе с ключами Qt")},
            {"Displays version information.", QStringLiteral("показывает версию программы")},
            {"Unknown option '%1'.", QStringLiteral("неизвестный ключ «%1»")},
            {"Unknown options: %1.", QStringLiteral("неизвестные ключи: %1")},
            {"Missing value after '%1'.", QStringLiteral("после «%1» нужно значение")},
            {"Unexpected value after '%1'.", QStringLiteral("у ключа «%1» не бывает значения")},
            {"Usage: %1", QStringLiteral("Использование: %1")},
            {"[options]", QStringLiteral("[ключи]")},
            {"Options:", QStringLiteral("Ключи:")},
            {"Arguments:", QStringLiteral("Аргументы:")},
        };
        if (qstrcmp(context, "QCommandLineParser") != 0)
            return {};
        return texts.value(QByteArray(sourceText));
    }
};

} // namespace

void installParserTexts()
{
    static ParserTexts texts;
    if (QCoreApplication::instance())
        QCoreApplication::installTranslator(&texts);
}

QString helpText(const QCommandLineParser &parser, const QString &usageName)
{
    QString text = parser.helpText();
    const QString program = QCoreApplication::instance() ? QCoreApplication::arguments().value(0)
                                                         : QStringLiteral("<executable_name>");
    const qsizetype at = text.indexOf(program);
    if (!program.isEmpty() && at >= 0 && at < text.indexOf(QLatin1Char('\n')))
        text.replace(at, program.size(), usageName);
    return text;
}

int usageErrorOf(const QString &command, const QString &text, QTextStream &err)
{
    const QString name =
        command.isEmpty() ? kProgramName : kProgramName + QLatin1Char(' ') + command;
    err << name << QStringLiteral(": ") << text << '\n'
        << QStringLiteral("Справка: %1 --help").arg(name) << '\n';
    return ExitUsage;
}

Command::Command(QString name, QString summary)
    : m_name(std::move(name)), m_summary(std::move(summary))
{}

int Command::run(const QStringList &arguments, const CommandContext &context)
{
    installParserTexts();
    QCommandLineParser parser;
    parser.setApplicationDescription(m_summary);
    addOptions(parser);
    const QCommandLineOption help = parser.addHelpOption();
    // The first argument is the subcommand's name, which the parser skips as a program's.
    if (!parser.parse(arguments))
        return usageError(parser.errorText(), context.err);
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        context.out << helpText(parser, kProgramName + QLatin1Char(' ') + m_name);
        return ExitClean;
    }
    return execute(parser, context);
}

int Command::usageError(const QString &text, QTextStream &err) const
{
    return usageErrorOf(m_name, text, err);
}

std::optional<QDir> Command::existingDir(const QString &argument,
                                         const CommandContext &context) const
{
    const QString path = argument.isEmpty() ? QStringLiteral(".") : argument;
    const QDir dir(context.workingDir.filePath(path));
    if (!dir.exists()) {
        usageError(QStringLiteral("нет папки %1").arg(path), context.err);
        return std::nullopt;
    }
    return dir;
}

int Command::storyFileError(const StoryError &error, const CommandContext &context) const
{
    switch (error.kind()) {
    case ErrorKind::FileNotFound:
    case ErrorKind::PermissionDenied:
    case ErrorKind::NotRegularFile:
    case ErrorKind::ReadError:
        context.err << kProgramName << ' ' << m_name
                    << QStringLiteral(": не прочитан файл %1: %2")
                           .arg(toQString(error.file()), toQString(errorText(error)))
                    << '\n';
        return ExitUsage;
    default:
        return reportDiagnostics({{error.file(), error.line(), Severity::Error, errorText(error)}},
                                 context.out);
    }
}

void StoryInputCommand::addOptions(QCommandLineParser &parser)
{
    addStoryOptions(parser);
    parser.addPositionalArgument(
        QStringLiteral("STORY"),
        QStringLiteral("папка данных рассказа, папка его рукописи (с genres.txt) или файл "
                       "рассказа .%1; по умолчанию текущая папка")
            .arg(kStoryFileSuffix),
        QStringLiteral("[STORY]"));
}

int StoryInputCommand::execute(const QCommandLineParser &parser, const CommandContext &context)
{
    if (const std::optional<int> done = takeOptions(parser, context))
        return *done;
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1)
        return usageError(QStringLiteral("лишний аргумент %1").arg(positional.at(1)), context.err);
    const QString shown = positional.value(0, QStringLiteral("."));
    const QString fullPath = context.workingDir.filePath(shown);
    if (isStoryFilePath(fullPath)) {
        std::optional<StoryInput> story;
        try {
            story = StoryInput::fromStoryFile(fullPath, shown);
        } catch (const StoryError &e) {
            return storyFileError(e, context);
        }
        return executeWithStory(parser, *story, context);
    }
    const std::optional<QDir> folder = existingDir(positional.value(0), context);
    if (!folder)
        return ExitUsage;
    const StoryInput story(*folder, shown);
    return executeWithStory(parser, story, context);
}

QCommandLineOption StoryInputCommand::storiesOption(const QString &purpose, int defaultStories)
{
    return QCommandLineOption(
        QStringLiteral("stories"),
        QStringLiteral("%1 (по умолчанию %2)").arg(purpose).arg(defaultStories),
        QStringLiteral("N"));
}

std::optional<int> StoryInputCommand::storiesValue(const QCommandLineParser &parser,
                                                   const QCommandLineOption &option,
                                                   int defaultStories, QTextStream &err) const
{
    constexpr int kMostStories = 1000000;
    if (!parser.isSet(option))
        return defaultStories;
    const QString value = parser.value(option);
    bool ok = false;
    const int stories = value.toInt(&ok);
    if (!ok || stories < 1 || stories > kMostStories) {
        usageError(QStringLiteral("число рассказов должно быть целым от 1 до %1: %2")
                       .arg(kMostStories)
                       .arg(value),
                   err);
        return std::nullopt;
    }
    return stories;
}

int reportDiagnostics(const std::vector<Diagnostic> &diagnostics, QTextStream &out)
{
    for (const Diagnostic &diagnostic : diagnostics)
        out << toQString(formatDiagnostic(diagnostic)) << '\n';
    out << toQString(summaryLine(diagnostics)) << '\n';
    return countOf(diagnostics, Severity::Error) > 0 ? ExitErrors : ExitClean;
}

} // namespace vorta::author
