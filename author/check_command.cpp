#include "command_line.h"
#include "tree_check.h"

namespace vorta::author {

int checkCommand(const QStringList &arguments, const QDir &workingDir, QTextStream &out,
                 QTextStream &err)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("DIR"),
                                 QStringLiteral("папка данных рассказа (по умолчанию текущая)"),
                                 QStringLiteral("[DIR]"));
    if (const std::optional<int> done = parseCommand(parser, arguments, out, err))
        return *done;
    const QStringList positional = parser.positionalArguments();
    const QString name = arguments.first();
    if (positional.size() > 1)
        return usageError(name, QStringLiteral("лишний аргумент %1").arg(positional.at(1)), err);
    const std::optional<QDir> dataDir = existingDir(name, positional.value(0), workingDir, err);
    if (!dataDir)
        return ExitUsage;
    return reportDiagnostics(checkTree(*dataDir).diagnostics, out);
}

} // namespace vorta::author
