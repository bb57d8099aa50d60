// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QStringList>

#include <optional>

namespace vorta::app {

// The program's command line. --help and --version are answered before anything needs a
// display, so they work on any terminal; the rest is checked once the application runs and Qt
// has taken its own options (such as -platform) out of the arguments.
class CommandLine
{
public:
    CommandLine();

    // Answers --help or --version, printing to stdout; gives the exit status when the program
    // is done. Arguments it does not know are left for check().
    std::optional<int> answerWithoutDisplay(int &argc, char **argv);

    // The arguments left once the application runs: a usage error is printed to stderr and
    // gives exit status 2.
    std::optional<int> check(const QStringList &arguments);

    // The story file named, once check() has passed; empty when none is.
    QString storyFile() const;

private:
    QCommandLineParser m_parser;
    QCommandLineOption m_help;
    QCommandLineOption m_version;
};

} // namespace vorta::app
