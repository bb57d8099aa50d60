#include "build_watch.h"

#include "author/cli/command_line.h"

#include <QCoreApplication>
#include <QTime>

namespace vorta::author {

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
    const int status = buildOnce(m_folders, m_out, m_err);
    m_out.flush();
    m_err.flush();
    watchFiles();
    Q_EMIT built(status);
    return status;
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
