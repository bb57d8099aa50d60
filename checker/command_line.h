#pragma once

#include <QDir>
#include <QStringList>
#include <QTextStream>

namespace vorta::checker {

enum ExitStatus
{
    ExitClean = 0,  // no errors (warnings and notes allowed)
    ExitErrors = 1, // the data has errors, or a story stopped on one
    ExitUsage = 2,  // the command line was wrong
};

// vorta-check [--story SEED | --coverage N] [DIR], given its arguments without the program's
// name; DIR is taken relative to workingDir. Returns the exit status.
int runCheckCommand(const QStringList &arguments, const QDir &workingDir, QTextStream &out,
                    QTextStream &err);

} // namespace vorta::checker
