#include "author/cli/command_line.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return vorta::author::runAuthorProgram(QCoreApplication::arguments().mid(1), QDir::current(),
                                           out, err);
}
