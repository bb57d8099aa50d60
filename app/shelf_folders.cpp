// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shelf_folders.h"

#include "format/system_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorta::app {

namespace {

QByteArray encoded(const QString &path)
{
    return QFile::encodeName(path);
}

bool isPlainFolder(const QString &path)
{
    struct stat info;
    return ::lstat(encoded(path).constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Removes a folder and all it holds, never through a link: a link goes alone, its target stays.
void removeTree(const QString &path)
{
    if (isPlainFolder(path))
        QDir(path).removeRecursively();
    else
        QFile::remove(path);
}

} // namespace

void failToWrite(const QString &shownName, const QString &why)
{
    throw storyError(ErrorKind::FileNotWritten, shownName, 0, why);
}

QString whyNotWritable(const QString &folder)
{
    QByteArray path = encoded(folder + QStringLiteral("/.vorta-probe-XXXXXX"));
    const int fd = ::mkostemp(path.data(), O_CLOEXEC);
    if (fd < 0)
        return systemErrorText(errno);
    int error = 0;
    errno = 0;
    if (::write(fd, "probe\n", 6) != 6)
        error = errno != 0 ? errno : ENOSPC;
    else if (::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    ::unlink(path.constData());
    return error != 0 ? systemErrorText(error)
                      : QStringLiteral("нет прав доступа, или на диске нет места");
}

void syncFolder(const QString &path, const QString &shownPath, const QString &shownName)
{
    const int fd = ::open(encoded(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const bool synced = fd >= 0 && ::fsync(fd) == 0;
    const int error = errno;
    if (fd >= 0)
        ::close(fd);
    if (!synced)
        failToWrite(
            shownName,
            QStringLiteral("%1\nНе записать папку %2").arg(systemErrorText(error), shownPath));
}

void swapIn(const QString &fresh, const QString &folder, const QString &shownName)
{
    const QByteArray from = encoded(fresh);
    const QByteArray to = encoded(folder);
    const auto failRename = [&](int error) {
        failToWrite(shownName, QStringLiteral("%1\nНовая копия не встала на место %2")
                                   .arg(systemErrorText(error), QDir::toNativeSeparators(folder)));
    };
    if (!isPlainFolder(folder)) {
        // Whatever else stands there goes alone: nothing is written through it.
        if (::unlink(to.constData()) != 0 && errno != ENOENT)
            failRename(errno);
        if (::rename(from.constData(), to.constData()) != 0)
            failRename(errno);
        return;
    }
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_EXCHANGE) == 0)
        return;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        failRename(errno);
    // A file system without the exchange: two renames, the old copy set aside under a name that
    // the next start brings back if this one dies between them.
    const QByteArray aside =
        encoded(QString(fresh).replace(QStringLiteral(".new-"), QStringLiteral(".old-")));
    if (::rename(to.constData(), aside.constData()) != 0)
        failRename(errno);
    if (::rename(from.constData(), to.constData()) != 0) {
        const int error = errno;
        ::rename(aside.constData(), to.constData());
        failRename(error);
    }
    ::rename(aside.constData(), from.constData());
}

QList<std::pair<QString, bool>> leftovers(const QString &storiesPath, const QString &id)
{
    const QString prefix = QLatin1Char('.') + id + QLatin1Char('.');
    QList<std::pair<QString, bool>> found;
    const QStringList entries =
        QDir(storiesPath)
            .entryList({prefix + QLatin1Char('*')}, QDir::AllEntries | QDir::Hidden | QDir::System |
                                                        QDir::NoDotAndDotDot | QDir::CaseSensitive);
    for (const QString &name : entries) {
        // ".<id>.new-" or ".<id>.old-", then the temporary's letters and digits
        const QStringView kind = QStringView(name).sliced(prefix.size());
        const QStringView letters = kind.size() > 4 ? kind.sliced(4) : QStringView();
        const bool aside = kind.startsWith(u"old-");
        if ((aside || kind.startsWith(u"new-")) && !letters.isEmpty() &&
            std::all_of(letters.begin(), letters.end(),
                        [](QChar c) { return c.unicode() < 0x80 && c.isLetterOrNumber(); }))
            found.append({name, aside});
    }
    return found;
}

void removeLeftovers(const QString &storiesPath, const QString &id, const QString &folder)
{
    for (const auto &[name, aside] : leftovers(storiesPath, id)) {
        const QString path = storiesPath + QLatin1Char('/') + name;
        if (aside && !QFileInfo::exists(folder) && !QFileInfo(folder).isSymLink() &&
            std::rename(encoded(path), encoded(folder)) == 0)
            continue;
        removeTree(path);
    }
}

StoryError unpackingFailed(const StoryError &error, const QString &shownName, bool hadCopy,
                           bool writing)
{
    const QString file = toQString(error.file());
    QStringList detail;
    if (!error.detail().empty())
        detail.append(toQString(error.detail()));
    if (writing && !file.isEmpty() && file != shownName)
        detail.append(QStringLiteral("при записи %1").arg(file));
    if (hadCopy)
        detail.append(QStringLiteral("Прежняя копия повести осталась как была."));
    return storyError(error.kind(), writing ? shownName : file, error.line(),
                      detail.join(QLatin1Char('\n')));
}

} // namespace vorta::app
