// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "build_watch.h"

#include "author/cli/command.h"
#include "author/cli/file_writes.h"
#include "author/manuscript/tree_build.h"
#include "author/report/plural.h"
#include "core/story_check.h"

#include "core/tree_paths.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTime>

#include <algorithm>

#include <sys/stat.h>

namespace vorta::author {

std::vector<Diagnostic> buildFindings(const TreeBuild &build, const QString &shownTree)
{
    const std::vector<Diagnostic> treeFindings =
        build.madeCatalogue() ? checkTree(build.tree).diagnostics : std::vector<Diagnostic>();
    return withTreeFindings(build, treeFindings, shownTree);
}

BuildOutcome buildOnce(const BuildFolders &folders, QTextStream &err)
{
    const TreeBuild build = buildTree(folders.manuscript, folders.shownManuscript, folders.tree);
    BuildOutcome outcome;
    outcome.diagnostics = buildFindings(build, folders.shownTree);
    if (build.hasErrors()) {
        outcome.status = ExitErrors;
        return outcome;
    }
    outcome.leftovers = removeLeftoverTemporaries(folders.tree);
    int written = 0;
    try {
        FileWrites writes;
        // The catalogue goes in place last: until then the program reads the tree as it was,
        // and once it names a genre, every file of that genre is there.
        for (const bool catalogue : {false, true}) {
            for (const BuiltFile &file : build.files) {
                if ((file.path == toQString(kCatalogueFile)) == catalogue &&
                    writes.add(folders.tree.filePath(file.path), file.bytes) ==
                        WriteOutcome::Written)
                    ++written;
            }
        }
        writes.commit();
    } catch (const FileWriteError &e) {
        err << kProgramName
            << QStringLiteral(" build: не записан файл %1: %2")
                   .arg(QDir::toNativeSeparators(e.path), e.reason)
            << '\n';
        err.flush();
        outcome.status = ExitUsage;
        return outcome;
    }
    outcome.written = QStringLiteral("записано: %1 из %2")
                          .arg(countText(written, QStringLiteral("файл"), QStringLiteral("файла"),
                                         QStringLiteral("файлов")))
                          .arg(build.files.size());
    outcome.status = countOf(outcome.diagnostics, Severity::Error) > 0 ? ExitErrors : ExitClean;
    return outcome;
}

void printLeftovers(const BuildOutcome &outcome, QTextStream &out)
{
    if (outcome.leftovers > 0)
        out << QStringLiteral("удалено временных файлов прерванной сборки: %1")
                   .arg(outcome.leftovers)
            << '\n';
}

void printOutcome(const BuildOutcome &outcome, QTextStream &out)
{
    if (outcome.status == ExitUsage)
        return;
    printLeftovers(outcome, out);
    if (outcome.written)
        out << *outcome.written << '\n';
    reportDiagnostics(outcome.diagnostics, out);
}

BuildWatcher::BuildWatcher(BuildFolders folders, QTextStream &out, QTextStream &err, int quietMs)
    : m_folders(std::move(folders)), m_out(out), m_err(err)
{
    m_quiet.setSingleShot(true);
    m_quiet.setInterval(quietMs);
    connect(&m_quiet, &QTimer::timeout, this, &BuildWatcher::quietAfterChanges);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, [this] { m_quiet.start(); });
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this,
            &BuildWatcher::directoryChanged);
}

std::optional<BuildWatcher::FolderId> BuildWatcher::manuscriptId() const
{
    struct stat info;
    if (::stat(QFile::encodeName(m_folders.manuscript.absolutePath()).constData(), &info) != 0 ||
        !S_ISDIR(info.st_mode))
        return std::nullopt;
    return FolderId{info.st_dev, info.st_ino};
}

void BuildWatcher::directoryChanged(const QString &path)
{
    // The folder above changes with everything beside the manuscript (the tree among it); only
    // the manuscript folder's going or coming back matters.
    if (path == m_folders.manuscript.absolutePath() || manuscriptId() != m_watchedId)
        m_quiet.start();
}

void BuildWatcher::quietAfterChanges()
{
    if (!manuscriptId()) {
        if (!m_waiting)
            m_out << QStringLiteral("Папки рукописи %1 нет: жду, когда она появится снова.")
                         .arg(m_folders.shownManuscript)
                  << '\n';
        m_out.flush();
        m_waiting = true;
        watchFiles();
        return;
    }
    if (m_waiting)
        m_out << QStringLiteral("Папка рукописи %1 снова на месте.").arg(m_folders.shownManuscript)
              << '\n';
    m_waiting = false;
    buildNow();
}

int BuildWatcher::buildNow()
{
    m_out << QStringLiteral("— сборка в %1 —").arg(QTime::currentTime().toString(Qt::ISODate))
          << '\n';
    m_out.flush();
    const BuildOutcome outcome = buildOnce(m_folders, m_err);
    if (m_last)
        printChanges(outcome);
    else
        printOutcome(outcome, m_out);
    if (outcome.status != ExitUsage)
        m_last = outcome.diagnostics;
    m_out.flush();
    m_err.flush();
    watchFiles();
    Q_EMIT built(outcome.status);
    return outcome.status;
}

void BuildWatcher::printChanges(const BuildOutcome &outcome)
{
    if (outcome.status == ExitUsage)
        return;
    printLeftovers(outcome, m_out);
    int kept = 0;
    for (const Diagnostic &diagnostic : outcome.diagnostics) {
        if (std::find(m_last->begin(), m_last->end(), diagnostic) != m_last->end())
            ++kept;
        else
            m_out << toQString(formatDiagnostic(diagnostic)) << '\n';
    }
    for (const Diagnostic &diagnostic : std::as_const(*m_last)) {
        if (std::find(outcome.diagnostics.begin(), outcome.diagnostics.end(), diagnostic) ==
            outcome.diagnostics.end())
            m_out << QStringLiteral("исправлено: ") << toQString(formatDiagnostic(diagnostic))
                  << '\n';
    }
    const QString written = outcome.written.value_or(QStringLiteral("ничего не записано"));
    m_out << written << QStringLiteral("; ") << toQString(summaryLine(outcome.diagnostics));
    if (kept > 0)
        m_out << QStringLiteral(" (%1 как в прошлой сборке)").arg(kept);
    m_out << '\n';
}

void BuildWatcher::watchFiles()
{
    const std::optional<FolderId> id = manuscriptId();
    // Files watched in a folder that is gone, or was renamed away, say nothing of the new one.
    if (id != m_watchedId) {
        QStringList stale = m_watcher.files();
        if (m_watcher.directories().contains(m_folders.manuscript.absolutePath()))
            stale.append(m_folders.manuscript.absolutePath());
        if (!stale.isEmpty())
            m_watcher.removePaths(stale);
    }
    m_watchedId = id;
    QString above = QFileInfo(m_folders.manuscript.absolutePath()).path();
    while (!QFileInfo(above).isDir() && !QFileInfo(above).isRoot())
        above = QFileInfo(above).path();
    if (above != m_above && !m_above.isEmpty())
        m_watcher.removePath(m_above);
    m_above = above;
    QStringList paths{above};
    if (id) {
        paths.append(m_folders.manuscript.absolutePath());
        const QStringList names = m_folders.manuscript.entryList(QDir::Files);
        for (const QString &name : names)
            paths.append(m_folders.manuscript.absoluteFilePath(name));
    }
    const QStringList watched = m_watcher.files() + m_watcher.directories();
    QStringList added;
    for (const QString &path : std::as_const(paths)) {
        if (!watched.contains(path))
            added.append(path);
    }
    if (!added.isEmpty())
        m_watcher.addPaths(added);
}

int watchAndBuild(const BuildFolders &folders, QTextStream &out, QTextStream &err)
{
    BuildWatcher watcher(folders, out, err);
    watcher.buildNow();
    out << QStringLiteral("Слежу за %1; остановить: Ctrl+C.").arg(folders.shownManuscript) << '\n';
    out.flush();
    return QCoreApplication::exec() == 0 ? ExitClean : ExitUsage;
}

} // namespace vorta::author
