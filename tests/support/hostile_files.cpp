// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "hostile_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <cstdlib>

#include <sys/stat.h>
#include <unistd.h>

namespace hostile {

namespace {

void makeSure(bool done, const char *what, const QString &path)
{
    if (!done)
        qFatal("cannot make %s at %s", what, qPrintable(path));
}

// Clears the path and makes its folder.
void clear(const QString &path)
{
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink())
        QDir(path).removeRecursively();
    else
        ::unlink(QFile::encodeName(path).constData());
    QDir().mkpath(info.absolutePath());
}

} // namespace

void makeFifo(const QString &path)
{
    clear(path);
    makeSure(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0, "a named pipe", path);
}

void makeDeviceLink(const QString &path)
{
    clear(path);
    makeSure(QFile::link(QStringLiteral("/dev/zero"), path), "a link to /dev/zero", path);
}

void makeFolder(const QString &path)
{
    clear(path);
    makeSure(QDir().mkpath(path), "a folder", path);
}

void makeSparseFile(const QString &path, qint64 size)
{
    clear(path);
    QFile file(path);
    makeSure(file.open(QIODevice::WriteOnly) && file.resize(size), "a sparse file", path);
}

void makeHugeLine(const QString &path, qint64 length, const QByteArray &rest)
{
    clear(path);
    QFile file(path);
    const QByteArray line = QByteArray(length, '1') + "\r\n" + rest;
    makeSure(file.open(QIODevice::WriteOnly) && file.write(line) == line.size(), "a huge line",
             path);
}

} // namespace hostile

HangGuard::HangGuard(QString what, std::chrono::seconds limit)
    : m_thread([this, what = std::move(what), limit] {
          std::unique_lock lock(m_mutex);
          if (!m_done.wait_for(lock, limit, [this] { return m_finished; })) {
              std::fprintf(stderr, "HUNG: %s did not end within %lld s\n", qPrintable(what),
                           static_cast<long long>(limit.count()));
              std::fflush(stderr);
              std::abort();
          }
      })
{}

HangGuard::~HangGuard()
{
    {
        const std::lock_guard lock(m_mutex);
        m_finished = true;
    }
    m_done.notify_one();
    m_thread.join();
}
