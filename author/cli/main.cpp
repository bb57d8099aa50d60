// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "author/cli/command_line.h"

#include "format/atomic_write.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // Ctrl+C, the way a watch is stopped, or a SIGTERM while files are staged must not leave
    // their temporary files behind.
    vorta::removeStagedFilesOnSignals();
    QTextStream out(stdout);
    QTextStream err(stderr);
    return vorta::author::runAuthorProgram(QCoreApplication::arguments().mid(1), QDir::current(),
                                           out, err);
}
