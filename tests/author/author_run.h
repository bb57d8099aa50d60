// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "author/cli/command_line.h"

#include <QDir>
#include <QString>
#include <QStringList>
#include <QTextStream>

// What one in-process run of vorta-author answered and printed.
struct AuthorRun
{
    int status = -1;
    QString out;
    QString err;
};

// vorta-author with these arguments (without the program's name); relative paths are taken from
// workingDir.
inline AuthorRun runAuthor(const QStringList &arguments, const QDir &workingDir = QDir::root())
{
    AuthorRun run;
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    run.status = vorta::author::runAuthorProgram(arguments, workingDir, out, err);
    out.flush();
    err.flush();
    return run;
}
