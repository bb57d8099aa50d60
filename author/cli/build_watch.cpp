#include "build_watch.h"

#include "author/check/tree_check.h"
#include "author/cli/command.h"
#include "author/cli/file_writes.h"
#include "author/manuscript/tree_build.h"
#include "author/report/plural.h"

#include <QCoreApplication>
#include <QTime>

namespace vorta::author {

BuildOutcome buildOnce(const BuildFolders &folders, QTextStream &err)
{
    const TreeBuild build = buildTree(folders.manuscript, folders.shownManuscript, folders.tree);
    BuildOutcome outcome;
    const QList<Diagnostic> treeFindings =
        build.madeCatalogue() ? checkTree(build.tree).diagnostics : QList<Diagnostic>();
    outcome.diagnostics = withTreeFindings(build, treeFindings, folders.shownTree);
    if (build.hasErrors()) {
        outcome.status = ExitErrors;
        return outcome;
    }
    int written = 0;
    for (const BuiltFile &file : build.files) {
        try {
            if (writeIfChanged(folders.tree.filePath(file.path), file.bytes) ==
                WriteOutcome::Written)
                ++written;
        } catch (const FileWriteError &e) {
            err << kProgramName
                << QStringLiteral(" build: не записан файл %1: %2")
                       .arg(QDir::toNativeSeparators(e.path), e.reason)
                << '\n';
            err.flush();
            outcome.status = ExitUsage;
            return outcome;
        }
    }
    outcome.written = QStringLiteral("записано: %1 из %2")
                          .arg(countText(written, QStringLiteral("файл"), QStringLiteral("файла"),
                                         QStringLiteral("файлов")))
                          .arg(build.files.size());
    outcome.status = countOf(outcome.diagnostics, Severity::Error) > 0 ? ExitErrors : ExitClean;
    return outcome;
}

void printOutcome(const BuildOutcome &outcome, QTextStream &out)
{
    if (outcome.status == ExitUsage)
        return;
    if (outcome.written)
        out << *outcome.written << '\n';
    reportDiagnostics(outcome.diagnostics, out);
}

BuildWatcher::BuildWatcher(BuildFolders folders, QTextStream &out, QTextStream &err, int quietMs)
    : m_folders(std::move(folders)), m_out(out), m_err(err)
{
    m_quiet.setSingleShot(true);
    m_quiet.setInterval(quietMs);
    connect(&m_quiet, &QTimer::timeout, this, [this] { buildNow(); });
    auto changed = [this] {
        m_quiet.start();
    };
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, changed);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, changed);
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
    int kept = 0;
    for (const Diagnostic &diagnostic : outcome.diagnostics) {
        if (m_last->contains(diagnostic))
            ++kept;
        else
            m_out << formatDiagnostic(diagnostic) << '\n';
    }
    for (const Diagnostic &diagnostic : std::as_const(*m_last)) {
        if (!outcome.diagnostics.contains(diagnostic))
            m_out << QStringLiteral("исправлено: ") << formatDiagnostic(diagnostic) << '\n';
    }
    const QString written = outcome.written.value_or(QStringLiteral("ничего не записано"));
    m_out << written << QStringLiteral("; ") << summaryLine(outcome.diagnostics);
    if (kept > 0)
        m_out << QStringLiteral(" (%1 как в прошлой сборке)").arg(kept);
    m_out << '\n';
}

void BuildWatcher::watchFiles()
{
    QStringList paths{m_folders.manuscript.absolutePath()};
    const QStringList names = m_folders.manuscript.entryList(QDir::Files);
    for (const QString &name : names)
        paths.append(m_folders.manuscript.absoluteFilePath(name));
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
