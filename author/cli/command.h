// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/diagnostics.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QDir>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <optional>

namespace vorta::author {

class StoryInput;

inline const QString kProgramName = QStringLiteral("vorta-author");

enum ExitStatus
{
    ExitClean = 0,  // no errors (warnings and notes allowed)
    ExitErrors = 1, // the data has errors, or a story stopped on one
    ExitUsage = 2,  // the command line was wrong, or a file could not be read or written
};

// Where a subcommand runs: relative paths are taken from workingDir.
struct CommandContext
{
    QDir workingDir;
    QTextStream &out;
    QTextStream &err;
};

// One subcommand, with its own options and its own --help.
class Command
{
public:
    Command(QString name, QString summary);
    virtual ~Command() = default;

    const QString &name() const { return m_name; }
    // Its line in the program's --help.
    const QString &summary() const { return m_summary; }

    // Runs the subcommand; arguments[0] is its own name. Returns the exit status.
    int run(const QStringList &arguments, const CommandContext &context);

protected:
    // Sets up the parser: options and positional arguments (--help is added for every command).
    virtual void addOptions(QCommandLineParser &parser) = 0;
    // The work, once the command line has parsed.
    virtual int execute(const QCommandLineParser &parser, const CommandContext &context) = 0;

    // Reports a usage error on err, with where to find the help; returns ExitUsage.
    int usageError(const QString &text, QTextStream &err) const;
    // The folder an argument names (the working folder for none); a usage error when there is
    // none such.
    std::optional<QDir> existingDir(const QString &argument, const CommandContext &context) const;
    // A story file named on the command line that did not open: one that cannot be read at all
    // (missing, forbidden, not a file) is said on err with ExitUsage, as a missing folder is; one
    // that reads but is not sound is a finding of the data, ExitErrors.
    int storyFileError(const StoryError &error, const CommandContext &context) const;

private:
    QString m_name;
    QString m_summary;
};

// A subcommand that reads one story, named by its last argument: a tree folder, or a manuscript
// folder built in memory. The story is opened here for all of them.
class StoryInputCommand : public Command
{
public:
    using Command::Command;

protected:
    void addOptions(QCommandLineParser &parser) final;
    int execute(const QCommandLineParser &parser, const CommandContext &context) final;

    virtual void addStoryOptions(QCommandLineParser &parser) { Q_UNUSED(parser); }
    // Takes the subcommand's own options before the story is opened: a usage error ends the
    // run with its status, std::nullopt goes on.
    virtual std::optional<int> takeOptions(const QCommandLineParser &parser,
                                           const CommandContext &context)
    {
        Q_UNUSED(parser);
        Q_UNUSED(context);
        return std::nullopt;
    }
    virtual int executeWithStory(const QCommandLineParser &parser, const StoryInput &story,
                                 const CommandContext &context) = 0;

    // "--stories N": how many stories a simulated run tells, for the purpose given.
    static QCommandLineOption storiesOption(const QString &purpose, int defaultStories);
    // The number of stories once parsed: the default without the option, a usage error unless
    // it is a whole number from 1 to a million.
    std::optional<int> storiesValue(const QCommandLineParser &parser,
                                    const QCommandLineOption &option, int defaultStories,
                                    QTextStream &err) const;
};

// QCommandLineParser speaking Russian, once per program.
void installParserTexts();
// The parser's help with usageName in its usage line instead of the program's path.
QString helpText(const QCommandLineParser &parser, const QString &usageName);
// A usage error of the program (command empty) or of a subcommand; returns ExitUsage.
int usageErrorOf(const QString &command, const QString &text, QTextStream &err);

// Prints the diagnostics, then the summary line; ExitErrors when one of them is an error.
int reportDiagnostics(const std::vector<Diagnostic> &diagnostics, QTextStream &out);

} // namespace vorta::author
