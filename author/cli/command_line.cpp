#include "command_line.h"

#include "author/check/diagnostics.h"

#include <QCoreApplication>
#include <QHash>
#include <QTranslator>

namespace vorta::author {

// The subcommands, one file each.
int checkCommand(const QStringList &arguments, const QDir &workingDir, QTextStream &out,
                 QTextStream &err);
int storyCommand(const QStringList &arguments, const QDir &workingDir, QTextStream &out,
                 QTextStream &err);
int coverageCommand(const QStringList &arguments, const QDir &workingDir, QTextStream &out,
                    QTextStream &err);
int buildCommand(const QStringList &arguments, const QDir &workingDir, QTextStream &out,
                 QTextStream &err);
int unpackCommand(const QStringList &arguments, const QDir &workingDir, QTextStream &out,
                  QTextStream &err);
int fixCommand(const QStringList &arguments, const QDir &workingDir, QTextStream &out,
               QTextStream &err);
int newGenreCommand(const QStringList &arguments, const QDir &workingDir, QTextStream &out,
                    QTextStream &err);
int proofCommand(const QStringList &arguments, const QDir &workingDir, QTextStream &out,
                 QTextStream &err);

const QList<Command> &commands()
{
    static const QList<Command> table{
        {QStringLiteral("check"), QStringLiteral("проверяет все файлы и все варианты данных"),
         checkCommand},
        {QStringLiteral("story"),
         QStringLiteral("рассказывает один рассказ целиком, как его расскажет программа"),
         storyCommand},
        {QStringLiteral("coverage"),
         QStringLiteral("рассказывает много рассказов: какие варианты и концовки не рассказаны"),
         coverageCommand},
        {QStringLiteral("build"),
         QStringLiteral("собирает данные рассказа из рукописи в UTF-8 (--watch: при каждом "
                        "сохранении)"),
         buildCommand},
        {QStringLiteral("unpack"), QStringLiteral("пишет рукопись в UTF-8 по данным рассказа"),
         unpackCommand},
        {QStringLiteral("fix"),
         QStringLiteral("переписывает файлы данных в UTF-8 или с концами строк LF в Windows-1251 "
                        "с CR LF"),
         fixCommand},
        {QStringLiteral("new-genre"),
         QStringLiteral("добавляет жанр в рукопись: каталог и заготовку с заголовками"),
         newGenreCommand},
        {QStringLiteral("proof"),
         QStringLiteral("пишет корректуру: страницу HTML с картой шагов и всеми вариантами"),
         proofCommand},
    };
    return table;
}

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

void installParserTexts()
{
    static ParserTexts texts;
    if (QCoreApplication::instance())
        QCoreApplication::installTranslator(&texts);
}

// The parser's help with "vorta-author COMMAND" in its usage line instead of the program's path.
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

const Command *findCommand(const QString &name)
{
    for (const Command &command : commands()) {
        if (command.name == name)
            return &command;
    }
    return nullptr;
}

QString programHelp(const QCommandLineParser &parser)
{
    QString text = helpText(parser, kProgramName);
    text += QStringLiteral("\nПодкоманды:\n");
    for (const Command &command : commands())
        text += QStringLiteral("  %1 %2\n").arg(command.name, -10).arg(command.summary);
    text += QStringLiteral("\nСправка по подкоманде: %1 COMMAND --help\n").arg(kProgramName);
    return text;
}

} // namespace

int usageError(const QString &command, const QString &text, QTextStream &err)
{
    const QString name =
        command.isEmpty() ? kProgramName : kProgramName + QLatin1Char(' ') + command;
    err << name << QStringLiteral(": ") << text << '\n'
        << QStringLiteral("Справка: %1 --help").arg(name) << '\n';
    return ExitUsage;
}

std::optional<int> parseCommand(QCommandLineParser &parser, const QStringList &arguments,
                                QTextStream &out, QTextStream &err)
{
    installParserTexts();
    const QString name = arguments.value(0);
    if (const Command *command = findCommand(name);
        command && parser.applicationDescription().isEmpty())
        parser.setApplicationDescription(command->summary);
    const QCommandLineOption help = parser.addHelpOption();
    // The first argument is the subcommand's name, which the parser skips as a program's.
    if (!parser.parse(arguments))
        return usageError(name, parser.errorText(), err);
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        out << helpText(parser, kProgramName + QLatin1Char(' ') + name);
        return ExitClean;
    }
    return std::nullopt;
}

std::optional<QDir> existingDir(const QString &command, const QString &argument,
                                const QDir &workingDir, QTextStream &err)
{
    const QString path = argument.isEmpty() ? QStringLiteral(".") : argument;
    const QDir dir(workingDir.filePath(path));
    if (!dir.exists()) {
        usageError(command, QStringLiteral("нет папки %1").arg(path), err);
        return std::nullopt;
    }
    return dir;
}

void addDataDirArgument(QCommandLineParser &parser)
{
    parser.addPositionalArgument(QStringLiteral("DIR"),
                                 QStringLiteral("папка данных рассказа (по умолчанию текущая)"),
                                 QStringLiteral("[DIR]"));
}

std::optional<QDir> dataDirArgument(const QCommandLineParser &parser, const QString &command,
                                    const QDir &workingDir, QTextStream &err)
{
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1) {
        usageError(command, QStringLiteral("лишний аргумент %1").arg(positional.at(1)), err);
        return std::nullopt;
    }
    return existingDir(command, positional.value(0), workingDir, err);
}

QCommandLineOption storiesOption(const QString &purpose, int defaultStories)
{
    return QCommandLineOption(
        QStringLiteral("stories"),
        QStringLiteral("%1 (по умолчанию %2)").arg(purpose).arg(defaultStories),
        QStringLiteral("N"));
}

std::optional<int> storiesValue(const QCommandLineParser &parser, const QCommandLineOption &option,
                                int defaultStories, const QString &command, QTextStream &err)
{
    constexpr int kMostStories = 1000000;
    if (!parser.isSet(option))
        return defaultStories;
    const QString value = parser.value(option);
    bool ok = false;
    const int stories = value.toInt(&ok);
    if (!ok || stories < 1 || stories > kMostStories) {
        usageError(command,
                   QStringLiteral("число рассказов должно быть целым от 1 до %1: %2")
                       .arg(kMostStories)
                       .arg(value),
                   err);
        return std::nullopt;
    }
    return stories;
}

int runAuthorProgram(const QStringList &arguments, const QDir &workingDir, QTextStream &out,
                     QTextStream &err)
{
    installParserTexts();
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Программа для авторов рассказа: собирает данные из рукописи, проверяет их, "
                       "рассказывает."));
    // Everything from the subcommand's name on belongs to the subcommand.
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("COMMAND"), QStringLiteral("подкоманда (ниже)"),
                                 QStringLiteral("COMMAND [ARGS]"));
    if (!parser.parse(QStringList{kProgramName} + arguments))
        return usageError({}, parser.errorText(), err);
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
        return usageError({}, QStringLiteral("не задана подкоманда"), err);
    const Command *command = findCommand(rest.first());
    if (!command)
        return usageError({}, QStringLiteral("нет подкоманды «%1»").arg(rest.first()), err);
    return command->run(rest, workingDir, out, err);
}

int reportDiagnostics(const QList<Diagnostic> &diagnostics, QTextStream &out)
{
    for (const Diagnostic &diagnostic : diagnostics)
        out << formatDiagnostic(diagnostic) << '\n';
    out << summaryLine(diagnostics) << '\n';
    return countOf(diagnostics, Severity::Error) > 0 ? ExitErrors : ExitClean;
}

} // namespace vorta::author
