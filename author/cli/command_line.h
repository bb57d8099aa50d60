#pragma once

#include "author/check/diagnostics.h"

#include <QCommandLineParser>
#include <QDir>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <optional>

namespace vorta::author {

inline const QString kProgramName = QStringLiteral("vorta-author");

enum ExitStatus
{
    ExitClean = 0,  // no errors (warnings and notes allowed)
    ExitErrors = 1, // the data has errors, or a story stopped on one
    ExitUsage = 2,  // the command line was wrong, or a file could not be read or written
};

// One subcommand: arguments[0] is the subcommand's own name, the rest follow it on the command
// line; relative paths are taken from workingDir. Returns the exit status.
using CommandFunction = int (*)(const QStringList &arguments, const QDir &workingDir,
                                QTextStream &out, QTextStream &err);

struct Command
{
    QString name;
    QString summary; // one line for the program's --help
    CommandFunction run = nullptr;
};

// Every subcommand, in the order the program's --help lists them.
const QList<Command> &commands();

// vorta-author COMMAND ..., given its arguments without the program's name.
int runAuthorProgram(const QStringList &arguments, const QDir &workingDir, QTextStream &out,
                     QTextStream &err);

// Parses a subcommand's arguments with the parser it has set up (its own --help is added here).
// Returns the exit status when the command is done already: its help printed, or a usage error
// reported; std::nullopt when it should go on.
std::optional<int> parseCommand(QCommandLineParser &parser, const QStringList &arguments,
                                QTextStream &out, QTextStream &err);

// Reports a usage error of a subcommand on err, with where to find its help; returns ExitUsage.
int usageError(const QString &command, const QString &text, QTextStream &err);

// The folder named by the optional positional argument (the working folder without one); a
// usage error when it is missing.
std::optional<QDir> existingDir(const QString &command, const QString &argument,
                                const QDir &workingDir, QTextStream &err);

// The data folder that the reading subcommands take as their last, optional argument.
void addDataDirArgument(QCommandLineParser &parser);

// That folder once parsed (the working folder without one); a usage error when another argument
// follows it or it does not exist.
std::optional<QDir> dataDirArgument(const QCommandLineParser &parser, const QString &command,
                                    const QDir &workingDir, QTextStream &err);

// "--stories N": how many stories a simulated run tells, for the purpose given.
QCommandLineOption storiesOption(const QString &purpose, int defaultStories);

// The number of stories once parsed: the default without the option, a usage error unless it is
// a whole number from 1 to a million.
std::optional<int> storiesValue(const QCommandLineParser &parser, const QCommandLineOption &option,
                                int defaultStories, const QString &command, QTextStream &err);

// Prints the diagnostics, then the summary line; ExitErrors when one of them is an error.
int reportDiagnostics(const QList<Diagnostic> &diagnostics, QTextStream &out);

} // namespace vorta::author
