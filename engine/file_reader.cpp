#include "file_reader.h"

#include "data_files.h"
#include "story_error.h"

#include <QFile>
#include <QLocale>
#include <QStringDecoder>

#include <array>
#include <cerrno>
#include <cstring>
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
    return QLocale(QLocale::Russian).toString(bytes) + QStringLiteral(" байт");
}

[[noreturn]] void failOpen(int error, const QString &shownName)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        throw StoryError(ErrorKind::FileNotFound, shownName);
    case EACCES:
    case EPERM:
        throw StoryError(ErrorKind::PermissionDenied, shownName);
    default:
        throw StoryError(ErrorKind::ReadError, shownName, 0,
                         QString::fromLocal8Bit(std::strerror(error)));
    }
}

} // namespace

qint64 capFor(const QString &relativePath)
{
    return relativePath == kSettingsFile ? kSettingsFileCap : kDataFileCap;
}

QByteArray readCappedFile(const QString &fullPath, const QString &shownName, qint64 cap)
{
    // Opened without blocking, so a named pipe with no writer cannot hold the program; what the
    // path is, is asked of the open file, so nothing can be swapped in between.
    const int fd =
        ::open(QFile::encodeName(fullPath).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        failOpen(errno, shownName);
    struct stat info;
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        ::close(fd);
        failOpen(error, shownName);
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        throw StoryError(ErrorKind::NotRegularFile, shownName, 0, kindOfFile(info.st_mode));
    }
    if (info.st_size > cap) {
        ::close(fd);
        throw StoryError(ErrorKind::FileTooLarge, shownName, 0,
                         byteCount(info.st_size) + QStringLiteral(", предел ") + byteCount(cap));
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw StoryError(ErrorKind::ReadError, shownName, 0, file.errorString());
    }
    // One byte past the cap tells a file that grew since it was measured.
    QByteArray bytes = file.read(cap + 1);
    if (file.error() != QFileDevice::NoError)
        throw StoryError(ErrorKind::ReadError, shownName, 0, file.errorString());
    if (bytes.size() > cap)
        throw StoryError(ErrorKind::FileTooLarge, shownName, 0,
                         QStringLiteral("больше ") + byteCount(cap));
    return bytes;
}

QByteArray readDataFile(const QDir &dataDir, const QString &relativePath)
{
    return readCappedFile(dataDir.filePath(relativePath), relativePath, capFor(relativePath));
}

QString decodeWindows1251(QByteArrayView bytes)
{
    static const std::array<QChar, 256> table = [] {
        std::array<QChar, 256> characters{};
        for (int b = 0; b < 256; ++b) {
            const char byte = char(b);
            QStringDecoder decoder("windows-1251");
            const QString one = decoder.decode(QByteArrayView(&byte, 1));
            characters[std::size_t(b)] =
                one.size() == 1 ? one.at(0) : QChar(QChar::ReplacementCharacter);
        }
        return characters;
    }();
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char byte : bytes)
        *out++ = table[static_cast<unsigned char>(byte)];
    return text;
}

} // namespace vorta
