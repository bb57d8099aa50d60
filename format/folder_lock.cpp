// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "folder_lock.h"

#include <QFile>

#include <cerrno>
#include <chrono>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorta {

namespace {

constexpr auto kPause = std::chrono::milliseconds(10);

int openFolder(const QString &path)
{
    return ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

// Whether the open folder is still the one the path names: a copy replaced while a lock on it
// was awaited lies elsewhere by then, on its way out.
bool isNamedBy(int fd, const QString &path)
{
    struct stat opened;
    struct stat named;
    return ::fstat(fd, &opened) == 0 && ::stat(QFile::encodeName(path).constData(), &named) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

} // namespace

FolderLock::FolderLock(int fd, bool heldElsewhere) : m_fd(fd), m_heldElsewhere(heldElsewhere) {}

FolderLock FolderLock::forReading(const QString &folderPath)
{
    const auto deadline = std::chrono::steady_clock::now() + kLongestReplacement;
    for (;;) {
        const int fd = openFolder(folderPath);
        if (fd < 0)
            return FolderLock(-1, false);
        if (::flock(fd, LOCK_SH | LOCK_NB) == 0) {
            if (isNamedBy(fd, folderPath))
                return FolderLock(fd, false);
        } else if (errno != EWOULDBLOCK) {
            ::close(fd);
            return FolderLock(-1, false);
        }
        ::close(fd);
        if (std::chrono::steady_clock::now() > deadline)
            return FolderLock(-1, true);
        std::this_thread::sleep_for(kPause);
    }
}

FolderLock FolderLock::forReplacing(const QString &folderPath)
{
    const int fd = openFolder(folderPath);
    return fd < 0 ? FolderLock(-1, false) : lockExclusive(fd);
}

FolderLock FolderLock::forJournal(const QString &folderPath)
{
    // Never through a link, nor on a pipe or a device put in its place.
    const QString path = folderPath + QLatin1Char('/') + kJournalLockFile;
    const int fd =
        ::open(QFile::encodeName(path).constData(),
               O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    struct stat info;
    if (fd < 0)
        return FolderLock(-1, false);
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return FolderLock(-1, false);
    }
    return lockExclusive(fd);
}

FolderLock FolderLock::lockExclusive(int fd)
{
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
        return FolderLock(fd, false);
    const bool busy = errno == EWOULDBLOCK;
    ::close(fd);
    return FolderLock(-1, busy);
}

FolderLock::FolderLock(FolderLock &&other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_heldElsewhere(other.m_heldElsewhere)
{}

FolderLock &FolderLock::operator=(FolderLock &&other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = std::exchange(other.m_fd, -1);
        m_heldElsewhere = other.m_heldElsewhere;
    }
    return *this;
}

FolderLock::~FolderLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

} // namespace vorta
