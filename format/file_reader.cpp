// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "file_reader.h"

#include "format/qt_text.h"
#include "format/system_error.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorta {

namespace {

// What a path that is not a regular file is, in the reader's words.
QString kindOfFile(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("это папка");
    if (S_ISFIFO(mode))
        return QStringLiteral("это именованный канал");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("это устройство");
    if (S_ISSOCK(mode))
        return QStringLiteral("это сокет");
    return QStringLiteral("это не обычный файл");
}

QString byteCount(qint64 bytes)
{
    return QString::number(bytes) + QStringLiteral(" байт");
}

[[noreturn]] void failOpen(int error, const QString &shownName)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        throw storyError(ErrorKind::FileNotFound, shownName);
    case EACCES:
    case EPERM:
        throw storyError(ErrorKind::PermissionDenied, shownName);
    default:
        throw storyError(ErrorKind::ReadError, shownName, 0, systemErrorText(error));
    }
}

// Refuses what is not a regular file, or is one over the cap.
void checkKind(const struct stat &info, const QString &shownName, qint64 cap)
{
    if (!S_ISREG(info.st_mode))
        throw storyError(ErrorKind::NotRegularFile, shownName, 0, kindOfFile(info.st_mode));
    if (info.st_size > cap)
        throw storyError(ErrorKind::FileTooLarge, shownName, 0,
                         byteCount(info.st_size) + QStringLiteral(", предел ") + byteCount(cap));
}

// Closes a file on every way out.
struct FileCloser
{
    int fd;
    ~FileCloser() { ::close(fd); }
};

// Opens a regular file within the cap for reading; its descriptor and what it was when opened.
int openChecked(const QString &fullPath, const QString &shownName, qint64 cap, struct stat &info)
{
    const QByteArray path = QFile::encodeName(fullPath);
    // Looked at before it is opened: opening a device can have effects of its own.
    if (::stat(path.constData(), &info) != 0)
        failOpen(errno, shownName);
    checkKind(info, shownName, cap);
    // Opened without blocking, so a named pipe swapped in meanwhile cannot hold the program; the
    // open file is asked again what it is.
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        failOpen(errno, shownName);
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        ::close(fd);
        failOpen(error, shownName);
    }
    try {
        checkKind(info, shownName, cap);
    } catch (...) {
        ::close(fd);
        throw;
    }
    return fd;
}

} // namespace

QByteArray readCappedFile(const QString &fullPath, const QString &shownName, qint64 cap)
{
    struct stat info;
    const FileCloser closer{openChecked(fullPath, shownName, cap, info)};
    const int fd = closer.fd;
    // One byte past the size tells a file that grew since it was measured; it is then read on,
    // but never past the cap.
    QByteArray bytes;
    qint64 wanted = qMin<qint64>(info.st_size, cap) + 1;
    while (wanted > 0) {
        const qsizetype before = bytes.size();
        bytes.resize(before + wanted);
        const ssize_t got = ::read(fd, bytes.data() + before, std::size_t(wanted));
        if (got < 0 && errno == EINTR) {
            bytes.resize(before);
            continue;
        }
        if (got < 0) {
            const int error = errno;
            throw storyError(ErrorKind::ReadError, shownName, 0, systemErrorText(error));
        }
        bytes.resize(before + got);
        if (got == 0)
            break;
        wanted =
            bytes.size() > info.st_size ? cap + 1 - bytes.size() : info.st_size + 1 - bytes.size();
    }
    if (bytes.size() > cap)
        throw storyError(ErrorKind::FileTooLarge, shownName, 0,
                         QStringLiteral("больше ") + byteCount(cap));
    return bytes;
}

std::optional<QByteArray> readFileStart(const QString &fullPath, qint64 most)
{
    const int fd = ::open(QFile::encodeName(fullPath).constData(),
                          O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    const FileCloser closer{fd};
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    QByteArray bytes(qMin<qint64>(info.st_size, most), Qt::Uninitialized);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t got = ::read(fd, bytes.data() + done, std::size_t(bytes.size() - done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break;
        done += got;
    }
    bytes.truncate(done);
    return bytes;
}

QByteArray readDataFile(const QDir &dataDir, const QString &relativePath)
{
    return readCappedFile(dataDir.filePath(relativePath), relativePath,
                          capFor(toU16(relativePath)));
}

FileBytes::FileBytes(const QString &fullPath, const QString &shownName, qint64 cap)
    : m_shownName(shownName)
{
    struct stat info;
    m_fd = openChecked(fullPath, shownName, cap, info);
    m_size = std::uint64_t(info.st_size);
}

FileBytes::~FileBytes()
{
    ::close(m_fd);
}

std::string FileBytes::read(std::uint64_t offset, std::size_t length) const
{
    std::string bytes(length, '\0');
    std::size_t got = 0;
    while (got < length) {
        const ssize_t n = ::pread(m_fd, bytes.data() + got, length - got, off_t(offset + got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int error = errno;
            throw storyError(ErrorKind::ReadError, m_shownName, 0, systemErrorText(error));
        }
        if (n == 0)
            break;
        got += std::size_t(n);
    }
    bytes.resize(got);
    return bytes;
}

} // namespace vorta
