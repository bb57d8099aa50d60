// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "reader_files.h"

#include "core/tree_paths.h"
#include "format/qt_text.h"
#include "format/system_error.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorta::app {

namespace {

bool isPlainFile(const QString &path)
{
    struct stat info;
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISREG(info.st_mode);
}

// Closes a descriptor on every way out.
struct Descriptor
{
    int fd;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

// Copies the bytes through a small buffer, never holding the file; returns the errno of the
// failure, or 0.
int copyBytes(int from, int to)
{
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(from, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return got < 0 ? errno : 0;
        for (ssize_t written = 0; written < got;) {
            const ssize_t n = ::write(to, buffer + written, std::size_t(got - written));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return n < 0 ? errno : ENOSPC;
            written += n;
        }
    }
}

// The copy where no second name can be given: the same bytes and permissions, on the disk
// before the copy is swapped in.
int copyFile(const QByteArray &from, const QByteArray &to)
{
    const Descriptor source{
        ::open(from.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)};
    struct stat info;
    if (source.fd < 0 || ::fstat(source.fd, &info) != 0)
        return errno;
    if (!S_ISREG(info.st_mode))
        return EINVAL;
    Descriptor target{
        ::open(to.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, info.st_mode & 07777)};
    if (target.fd < 0)
        return errno;
    int error = copyBytes(source.fd, target.fd);
    if (error == 0 && ::fsync(target.fd) != 0)
        error = errno;
    if (::close(std::exchange(target.fd, -1)) != 0 && error == 0)
        error = errno;
    if (error != 0)
        ::unlink(to.constData());
    return error;
}

} // namespace

QStringList readerFiles(const QString &folder)
{
    QStringList names;
    const QStringList candidates =
        QDir(folder).entryList({toQString(kSettingsFile), toQString(kSavedStoryFile),
                                toQString(kSavedStoryFile) + QStringLiteral(".*")},
                               QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : candidates) {
        if (isPlainFile(folder + QLatin1Char('/') + name))
            names.append(name);
    }
    return names;
}

void carryFile(const QString &from, const QString &to, const QString &shownName)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    // A link to a link is what the entry is, never what it names.
    if (::linkat(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), 0) == 0)
        return;
    if (const int error = copyFile(source, target); error != 0)
        throw storyError(ErrorKind::FileNotWritten, shownName, 0, systemErrorText(error));
}

} // namespace vorta::app
