// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "author/cli/command.h"

#include <QDir>
#include <QList>
#include <QStringList>
#include <QTextStream>

#include <memory>

namespace vorta::author {

// Every subcommand, in the order the program's --help lists them.
const QList<std::shared_ptr<Command>> &commands();

// vorta-author COMMAND ..., given its arguments without the program's name; relative paths are
// taken from workingDir. Returns the exit status.
int runAuthorProgram(const QStringList &arguments, const QDir &workingDir, QTextStream &out,
                     QTextStream &err);

} // namespace vorta::author
