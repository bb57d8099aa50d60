// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "story_shelf.h"

#include "format/folder_lock.h"
#include "engine/saved_story.h"
#include "engine/story_journal.h"
#include "format/atomic_write.h"
#include "format/file_reader.h"
#include "format/story_error.h"
#include "format/system_error.h"
#include "format/tree_paths.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLockFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <optional>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorta::app {

namespace {

constexpr qint64 kStampCap = 4096;
// Long enough for another start to unpack the largest story on a slow disk.
constexpr int kLockWaitMs = 120000;

QByteArray encoded(const QString &path)
{
    return QFile::encodeName(path);
}

bool isKind(const QString &path, mode_t kind)
{
    struct stat info;
    return ::lstat(encoded(path).constData(), &info) == 0 && (info.st_mode & S_IFMT) == kind;
}

bool isPlainFile(const QString &path)
{
    return isKind(path, S_IFREG);
}

bool isPlainFolder(const QString &path)
{
    return isKind(path, S_IFDIR);
}

// Removes a folder and all it holds, never through a link: a link goes alone, its target stays.
void removeTree(const QString &path)
{
    if (isPlainFolder(path))
        QDir(path).removeRecursively();
    else
        QFile::remove(path);
}

[[noreturn]] void fail(const QString &shownName, const QString &detail)
{
    throw StoryError(ErrorKind::FileNotWritten, shownName, 0, detail);
}

// A stamp that is not a plain file (a link, a folder) is never read through: no stamp at all.
std::optional<ShelfStamp> readStamp(const QString &folder)
{
    const QString path = folder + QLatin1Char('/') + kShelfStampFile;
    QFile file(path);
    if (!isPlainFile(path) || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QHash<QByteArray, QByteArray> values;
    for (const QByteArray &line : file.read(kStampCap).split('\n')) {
        const qsizetype equals = line.indexOf('=');
        if (equals > 0)
            values.insert(line.left(equals), line.mid(equals + 1));
    }
    bool sizeOk = false;
    bool modifiedOk = false;
    ShelfStamp stamp{
        QString::fromUtf8(values.value("identifier")), QString::fromUtf8(values.value("version")),
        values.value("size").toLongLong(&sizeOk), values.value("modified").toLongLong(&modifiedOk)};
    if (!sizeOk || !modifiedOk || stamp.version.isEmpty())
        return std::nullopt;
    return stamp;
}

// Flushes a folder's entries to the disk, so that what was renamed into it stays after a power
// cut.
void syncFolder(const QString &path, const QString &shownName)
{
    const int fd = ::open(encoded(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const bool synced = fd >= 0 && ::fsync(fd) == 0;
    const int error = errno;
    if (fd >= 0)
        ::close(fd);
    if (!synced)
        fail(shownName, QStringLiteral("не записать папку %1: %2")
                            .arg(QDir::toNativeSeparators(path), systemErrorText(error)));
}

// A path of the story's tree as the reader vouches for it, checked again here: relative, clean,
// and with no part that is hidden or climbs out, so it names a file inside the new copy.
void checkTreePath(const QString &path, const QString &shownName)
{
    const bool sound = !path.isEmpty() && QDir::cleanPath(path) == path &&
                       !QDir::isAbsolutePath(path) && !path.contains(QLatin1Char('\\')) &&
                       !path.startsWith(QLatin1Char('.')) && !path.contains(QStringLiteral("/.")) &&
                       path != kStoryMetadataFile;
    if (!sound)
        throw StoryError(ErrorKind::BadStoryFile, shownName, 0,
                         QStringLiteral("недопустимый путь в повести: %1").arg(quoted(path)));
}

// What starts that were killed left of one story in the stories folder: names of copies half
// made (".<id>.new-…") and of copies set aside (".<id>.old-…", marked true).
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

// The reader's own files in a story's folder: the settings and the story in progress, with the
// stories set aside beside it.
QStringList readerFiles(const QString &folder)
{
    QStringList names;
    if (!isPlainFolder(folder))
        return names;
    const QStringList candidates = QDir(folder).entryList(
        {kSettingsFile, kSavedStoryFile, kSavedStoryFile + QStringLiteral(".*")},
        QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : candidates) {
        if (isPlainFile(folder + QLatin1Char('/') + name))
            names.append(name);
    }
    return names;
}

// Puts the new copy in the old one's place in one step: at no moment is there no copy, or half
// of one. The old copy ends where the new one was made.
void swapIn(const QString &fresh, const QString &folder, const QString &shownName)
{
    const QByteArray from = encoded(fresh);
    const QByteArray to = encoded(folder);
    const auto failRename = [&](int error) {
        fail(shownName, QStringLiteral("не переименовать папку %1: %2")
                            .arg(QDir::toNativeSeparators(fresh), systemErrorText(error)));
    };
    if (!isPlainFolder(folder)) {
        // Whatever else stands there, a link above all, goes alone: nothing is written through it.
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

// The message of a failure while unpacking: it names the story file, and the file being written
// when that was another.
StoryError unpackingFailed(const StoryError &error, const QString &shownName, bool hadCopy)
{
    QStringList detail;
    if (!error.detail().isEmpty())
        detail.append(error.detail());
    if (!error.file().isEmpty() && error.file() != shownName)
        detail.append(QStringLiteral("при записи %1").arg(error.file()));
    if (hadCopy)
        detail.append(QStringLiteral("Прежняя копия повести осталась как была."));
    return StoryError(error.kind(), shownName, error.line(), detail.join(QLatin1Char('\n')));
}

} // namespace

ShelfStamp ShelfStamp::of(const QString &storyFilePath, const StoryMetadata &metadata)
{
    const QFileInfo info(storyFilePath);
    return {metadata.identifier, metadata.version, info.size(),
            info.lastModified().toMSecsSinceEpoch()};
}

QByteArray ShelfStamp::text() const
{
    return QStringLiteral("identifier=%1\nversion=%2\nsize=%3\nmodified=%4\n")
        .arg(identifier, version)
        .arg(size)
        .arg(modified)
        .toUtf8();
}

StoryShelf::StoryShelf(QString storiesPath) : m_path(std::move(storiesPath)) {}

QString StoryShelf::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/vorta/stories");
}

void StoryShelf::setEarlierFolder(const QString &identifier, const QString &folder)
{
    m_earlierIdentifier = identifier;
    m_earlierFolder = folder;
}

ShelvedStory StoryShelf::place(const ShelfStamp &stamp, const std::function<StoryFile()> &read,
                               const QString &shownName) const
{
    const QString &id = stamp.identifier;
    if (!isValidStoryIdentifier(id))
        throw StoryError(ErrorKind::BadStoryFile, shownName, 0,
                         QStringLiteral("недопустимый идентификатор повести %1").arg(quoted(id)));
    if (!QDir().mkpath(m_path))
        fail(shownName,
             QStringLiteral("не создать папку %1").arg(QDir::toNativeSeparators(m_path)));

    const QString folder = m_path + QLatin1Char('/') + id;
    // The usual start: the copy came from this very file and no start left anything half done
    // beside it. Nothing is written, so no lock is taken, and its flush to the disk is saved.
    if (isPlainFolder(folder) && readStamp(folder) == stamp && leftovers(m_path, id).isEmpty())
        return {folder, {}};

    // Two starts on the same story at once: the second waits, then finds the copy fresh.
    QLockFile lock(m_path + QStringLiteral("/.") + id + QStringLiteral(".lock"));
    lock.setStaleLockTime(0);
    if (!lock.tryLock(kLockWaitMs))
        fail(shownName, QStringLiteral("повесть распаковывает другая программа"));

    // What a start that was killed left: a copy half unpacked goes; a copy set aside with none
    // in its place comes back.
    for (const auto &[name, aside] : leftovers(m_path, id)) {
        const QString path = m_path + QLatin1Char('/') + name;
        if (aside && !QFileInfo::exists(folder) && !QFileInfo(folder).isSymLink() &&
            std::rename(encoded(path), encoded(folder)) == 0)
            continue;
        removeTree(path);
    }

    ShelvedStory result{folder, {}};
    const bool hadCopy = isPlainFolder(folder);
    const std::optional<ShelfStamp> kept = hadCopy ? readStamp(folder) : std::nullopt;
    if (kept && *kept == stamp)
        return result;
    if (kept && compareStoryVersions(stamp.version, kept->version) < 0) {
        result.notice =
            QStringLiteral("Файл %1 содержит версию %2 повести, а у вас уже есть более новая, "
                           "%3. Открыта ваша версия, файл её не заменяет.")
                .arg(shownName, stamp.version, kept->version);
        return result;
    }
    // Held while the copy is replaced, so no window opens on it halfway.
    const FolderLock hold = FolderLock::forReplacing(folder);
    if (hold.heldElsewhere())
        fail(shownName, QStringLiteral("повесть сейчас открыта в другом окне программы, и новая "
                                       "версия не распакована. Закройте то окно и откройте "
                                       "файл снова."));

    // The new copy is made whole beside the old one, then swapped in by one rename.
    QTemporaryDir fresh(m_path + QStringLiteral("/.") + id + QStringLiteral(".new-XXXXXX"));
    if (!fresh.isValid())
        fail(shownName, QStringLiteral("не создать папку в %1: %2")
                            .arg(QDir::toNativeSeparators(m_path), fresh.errorString()));
    try {
        const StoryFile story = read();
        if (story.metadata.identifier != id)
            throw StoryError(ErrorKind::ReadError, shownName, 0,
                             QStringLiteral("файл изменился, пока его читали"));
        StagedFiles files;
        for (const StoryFileEntry &entry : story.files) {
            checkTreePath(entry.path, shownName);
            const QString path = fresh.filePath(entry.path);
            files.makeFolder(QFileInfo(path).path(), shownName);
            files.stage(path, shownName, entry.bytes);
        }
        files.stage(fresh.filePath(kStoryMetadataFile), shownName,
                    storyMetadataJson(story.metadata));
        // The reader's settings and story in progress go with the copy; the settings from before
        // the shelf come to a story that has none of its own.
        QStringList carried;
        const auto carry = [&](const QString &from) {
            for (const QString &name : readerFiles(from)) {
                if (carried.contains(name))
                    continue;
                const QString path = from + QLatin1Char('/') + name;
                const qint64 cap = name == kSettingsFile ? kSettingsFileCap : kSavedStoryCap;
                files.stage(fresh.filePath(name), QDir::toNativeSeparators(path),
                            readCappedFile(path, QDir::toNativeSeparators(path), cap));
                carried.append(name);
            }
        };
        carry(folder);
        if (id == m_earlierIdentifier && !carried.contains(kSettingsFile) &&
            !m_earlierFolder.isEmpty())
            carry(m_earlierFolder);
        files.stage(fresh.filePath(kShelfStampFile), shownName, stamp.text());
        files.commit();
        QDirIterator folders(fresh.path(), QDir::Dirs | QDir::NoDotAndDotDot,
                             QDirIterator::Subdirectories);
        while (folders.hasNext())
            syncFolder(folders.next(), shownName);
        syncFolder(fresh.path(), shownName);
        swapIn(fresh.path(), folder, shownName);
    } catch (const StoryError &error) {
        throw unpackingFailed(error, shownName, hadCopy);
    }
    // The old copy is now where the new one was made, and goes with it.
    syncFolder(m_path, shownName);
    return result;
}

} // namespace vorta::app
