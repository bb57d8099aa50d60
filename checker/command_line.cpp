#include "command_line.h"

#include "diagnostics.h"
#include "story_run.h"
#include "tree_check.h"

#include <optional>
#include <stdexcept>

namespace vorta::checker {

namespace {

constexpr int kMostStories = 1000000;

const QString kUsage = QStringLiteral(
    "Использование: vorta-check [--story SEED | --coverage N] [DIR]\n"
    "Проверяет данные рассказа в папке DIR (по умолчанию текущей).\n"
    "  без ключей       все файлы, все варианты и записи: ошибки и предупреждения\n"
    "  --story SEED     рассказ целиком, как его расскажет программа без щелчков читателя\n"
    "  --coverage N     N рассказов: какие варианты и записи ни разу не рассказаны\n");

struct Options
{
    std::optional<quint64> storySeed;
    std::optional<int> coverageStories;
    QString dir = QStringLiteral(".");
    bool help = false;
};

struct UsageError
{
    QString text;
};

// The value of "--key VALUE" or "--key=VALUE".
QString optionValue(const QStringList &arguments, qsizetype &i, const QString &key)
{
    const QString &argument = arguments.at(i);
    if (argument.size() > key.size())
        return argument.mid(key.size() + 1);
    if (i + 1 >= arguments.size())
        throw UsageError{QStringLiteral("после %1 нужно значение").arg(key)};
    return arguments.at(++i);
}

bool isOption(const QString &argument, const QString &key)
{
    return argument == key || argument.startsWith(key + QLatin1Char('='));
}

Options parseArguments(const QStringList &arguments)
{
    const QString storyKey = QStringLiteral("--story");
    const QString coverageKey = QStringLiteral("--coverage");
    Options options;
    bool dirGiven = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("-h") || argument == QLatin1String("--help")) {
            options.help = true;
        } else if (isOption(argument, storyKey)) {
            const QString value = optionValue(arguments, i, storyKey);
            bool ok = false;
            const quint64 seed = value.toULongLong(&ok);
            if (!ok || value.startsWith(QLatin1Char('+')))
                throw UsageError{
                    QStringLiteral("SEED должно быть целым числом от 0: %1").arg(value)};
            options.storySeed = seed;
        } else if (isOption(argument, coverageKey)) {
            const QString value = optionValue(arguments, i, coverageKey);
            bool ok = false;
            const int stories = value.toInt(&ok);
            if (!ok || stories < 1 || stories > kMostStories)
                throw UsageError{QStringLiteral("N должно быть целым числом от 1 до %1: %2")
                                     .arg(kMostStories)
                                     .arg(value)};
            options.coverageStories = stories;
        } else if (argument.startsWith(QLatin1Char('-')) && argument != QLatin1String("-")) {
            throw UsageError{QStringLiteral("неизвестный ключ %1").arg(argument)};
        } else if (dirGiven) {
            throw UsageError{QStringLiteral("лишний аргумент %1: папка уже задана").arg(argument)};
        } else {
            options.dir = argument;
            dirGiven = true;
        }
    }
    if (options.storySeed && options.coverageStories)
        throw UsageError{QStringLiteral("--story и --coverage не задаются вместе")};
    return options;
}

int checkData(const QDir &dataDir, QTextStream &out)
{
    const CheckResult result = checkTree(dataDir);
    for (const Diagnostic &diagnostic : result.diagnostics)
        out << formatDiagnostic(diagnostic) << '\n';
    out << summaryLine(result.diagnostics) << '\n';
    return countOf(result.diagnostics, Severity::Error) > 0 ? ExitErrors : ExitClean;
}

int tellOneStory(const QDir &dataDir, quint64 seed, QTextStream &out, QTextStream &err)
{
    const ToldStory story = tellStory(dataDir, seed);
    for (const QString &line : story.lines)
        out << line << '\n';
    if (story.error) {
        out.flush();
        err << story.error->message() << '\n';
        return ExitErrors;
    }
    return ExitClean;
}

int reportCoverage(const QDir &dataDir, int stories, QTextStream &out, QTextStream &err)
{
    const CheckResult checked = checkTree(dataDir);
    CoverageReport report;
    try {
        report = runCoverage(dataDir, checked.data, stories);
    } catch (const StoryError &e) {
        err << e.message() << '\n'
            << QStringLiteral("Рассказ остановлен ошибкой в данных; подробнее покажет "
                              "vorta-check без ключей.")
            << '\n';
        return ExitErrors;
    } catch (const std::runtime_error &e) {
        err << QString::fromStdString(e.what()) << '\n';
        return ExitErrors;
    }
    for (const Diagnostic &note : std::as_const(report.notes))
        out << formatDiagnostic(note) << '\n';
    out << QStringLiteral("told at least once: %1 of %2 variants, %3 of %4 finale records")
               .arg(report.variantsTold)
               .arg(report.variantsTotal)
               .arg(report.recordsTold)
               .arg(report.recordsTotal)
        << '\n';
    return ExitClean;
}

} // namespace

int runCheckCommand(const QStringList &arguments, const QDir &workingDir, QTextStream &out,
                    QTextStream &err)
{
    Options options;
    try {
        options = parseArguments(arguments);
    } catch (const UsageError &e) {
        err << QStringLiteral("vorta-check: ") << e.text << '\n' << kUsage;
        return ExitUsage;
    }
    if (options.help) {
        out << kUsage;
        return ExitClean;
    }
    const QDir dataDir(workingDir.filePath(options.dir));
    if (!dataDir.exists()) {
        err << QStringLiteral("vorta-check: нет папки %1").arg(options.dir) << '\n' << kUsage;
        return ExitUsage;
    }
    if (options.storySeed)
        return tellOneStory(dataDir, *options.storySeed, out, err);
    if (options.coverageStories)
        return reportCoverage(dataDir, *options.coverageStories, out, err);
    return checkData(dataDir, out);
}

} // namespace vorta::checker
