// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "page_sources.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace vorta::author {

namespace {

std::optional<PageSources> &chosenSources()
{
    static std::optional<PageSources> sources;
    return sources;
}

// Whether the program runs from the build tree it was built in, as a developer runs it.
bool runsFromBuildTree(const QString &programDir)
{
    const QString buildDir = QFileInfo(QStringLiteral(VORTA_BUILD_DIR)).canonicalFilePath();
    return !buildDir.isEmpty() &&
           (programDir == buildDir || programDir.startsWith(buildDir + QLatin1Char('/')));
}

} // namespace

PageSources pageSources()
{
    if (chosenSources())
        return *chosenSources();
    const QString programDir =
        QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
    if (!programDir.isEmpty() && !runsFromBuildTree(programDir)) {
        const QString installed =
            QDir::cleanPath(programDir + QStringLiteral("/../share/vorta/web"));
        return {installed, installed, true};
    }
    return {QStringLiteral(VORTA_PAGE_SOURCE_DIR), QStringLiteral(VORTA_MODULE_BUILD_DIR), false};
}

void setPageSources(std::optional<PageSources> sources)
{
    chosenSources() = std::move(sources);
}

} // namespace vorta::author
