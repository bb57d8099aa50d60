// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "story_shelf.h"

#include "app/reader_files.h"
#include "app/shelf_folders.h"
#include "core/data_files.h"
#include "core/saved_story.h"
#include "core/tree_paths.h"
#include "format/atomic_write.h"
#include "format/folder_tree.h"
#include "format/qt_text.h"
#include "format/story_journal.h"
#include "format/system_error.h"
#include "format/xdg_home.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QLockFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cerrno>
#include <utility>

namespace vorta::app {

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

[[noreturn]] void refuse(const QString &shownName, const QString &why)
{
    throw storyError(ErrorKind::StoryRefused, shownName, 0, why);
}

// Holds off other starts on the same story while this one changes its copy. A lock file that
// cannot be made says nothing of another program: the shelf cannot be written.
void lockShelf(QLockFile &lock, const QString &shelf, const QString &shownName)
{
    lock.setStaleLockTime(0);
    if (lock.tryLock(int(kLongestReplacement.count())))
        return;
    if (lock.error() == QLockFile::LockFailedError)
        failToWrite(shownName, QStringLiteral("повесть распаковывает другая программа,\n"
                                              "и она не закончила за две минуты."));
    failToWrite(shownName, QStringLiteral("%1\nПовесть не распакована в папку %2")
                               .arg(whyNotWritable(shelf), shown(shelf)));
}

// The author of the copy as its stamp or its metadata say; empty when neither reads.
QString authorOfCopy(const QString &folder, const std::optional<ShelfStamp> &kept)
{
    if (kept)
        return kept->author;
    try {
        return readStoryMetadataFile(folder + QLatin1Char('/') + toQString(kStoryMetadataFile),
                                     toQString(kStoryMetadataFile))
            .author;
    } catch (const StoryError &) {
        return {};
    }
}

// Whether the reader's story in progress goes on in the new version: there is none, it does not
// read (it is set aside in any version), or it was told from the same catalogue.
bool storyInProgressFits(const QString &folder, const StoryFile &story)
{
    const std::optional<SavedStory> saved = StoryJournal::savedCatalogue(QDir(folder));
    if (!saved)
        return true;
    StoryState state;
    loadCatalogue(state, story.tree());
    return fitsCatalogue(*saved, state);
}

// The copy held for reading, when it came from a file of the stamp's content and is whole.
std::optional<FolderLock> holdIfCurrent(const QString &folder, const ShelfStamp &stamp)
{
    if (!QFileInfo(folder).isDir())
        return std::nullopt;
    FolderLock hold = FolderLock::forReading(folder);
    if (!hold.held())
        return std::nullopt;
    const std::optional<ShelfStamp> kept = ShelfStamp::read(folder);
    if (!kept || !kept->sameStoryFile(stamp) || !kept->copyIsWhole(folder))
        return std::nullopt;
    return hold;
}

} // namespace

StoryShelf::StoryShelf(QString storiesPath) : m_path(std::move(storiesPath)) {}

QString StoryShelf::dataHome()
{
    return xdgHome("XDG_DATA_HOME", QStringLiteral(".local/share"));
}

QString StoryShelf::defaultPath()
{
    return dataHome() + QStringLiteral("/vorta/stories");
}

void StoryShelf::setEarlierFolder(const QString &identifier, const QString &folder)
{
    m_earlierIdentifier = identifier;
    m_earlierFolder = folder;
}

void StoryShelf::setInstalledStory(const QString &identifier, const QString &storyFilePath)
{
    m_installedIdentifier = identifier;
    m_installedFile = storyFilePath;
}

void StoryShelf::setQuestion(Question ask)
{
    m_ask = std::move(ask);
}

ShelvedStory StoryShelf::place(const QString &storyFilePath, const StoryFileLook &directory,
                               const std::function<StoryFile()> &read,
                               const QString &shownName) const
{
    const StoryMetadata &metadata = directory.metadata;
    const ShelfStamp stamp = ShelfStamp::of(directory);
    const QString &id = stamp.identifier;
    if (!isValidStoryIdentifier(id))
        throw storyError(ErrorKind::BadStoryFile, shownName, 0,
                         QStringLiteral("недопустимый идентификатор повести %1").arg(quoted(id)));
    const QString folder = m_path + QLatin1Char('/') + id;
    // The usual start: the copy came from a file of this very content, it is whole, and no start
    // left anything half done beside it. Nothing is written.
    if (leftovers(m_path, id).isEmpty()) {
        if (std::optional<FolderLock> hold = holdIfCurrent(folder, stamp))
            return {folder, {}, std::move(hold)};
    }

    if (!QDir().mkpath(m_path))
        failToWrite(
            shownName,
            QStringLiteral("%1\nНе создать папку %2").arg(systemErrorText(errno), shown(m_path)));
    // Two starts on the same story at once: the second waits, then finds the copy fresh.
    QLockFile lock(m_path + QStringLiteral("/.") + id + QStringLiteral(".lock"));
    lockShelf(lock, m_path, shownName);
    removeLeftovers(m_path, id, folder);
    if (std::optional<FolderLock> hold = holdIfCurrent(folder, stamp))
        return {folder, {}, std::move(hold)};

    const bool hadCopy = QFileInfo(folder).isDir();
    const std::optional<ShelfStamp> kept = hadCopy ? ShelfStamp::read(folder) : std::nullopt;
    checkClaim(storyFilePath, folder, metadata, kept, shownName);
    if (kept && compareStoryVersions(stamp.version, kept->version) < 0) {
        if (!kept->copyIsWhole(folder))
            refuse(shownName, QStringLiteral("ваша копия версии %1 повреждена,\n"
                                             "а файл содержит более старую версию, %2.\n"
                                             "Откройте файл версии %1, и копия будет "
                                             "восстановлена.")
                                  .arg(kept->version, stamp.version));
        return {folder,
                QStringLiteral("Файл %1 содержит версию %2 повести, а у вас уже есть более новая, "
                               "%3. Открыта ваша версия, файл её не заменяет.")
                    .arg(shownName, stamp.version, kept->version),
                FolderLock::forReading(folder)};
    }
    // Followed to open a copy, a link is never replaced: its folder lies outside the shelf.
    if (QFileInfo(folder).isSymLink())
        refuse(shownName, QStringLiteral("её папка — ссылка, и программа не заменяет её.\n"
                                         "Папка: %1\nСсылка ведёт в %2\n"
                                         "Верните папку на место и откройте файл снова.")
                              .arg(shown(folder), shown(QFileInfo(folder).symLinkTarget())));

    StoryFile story;
    try {
        story = read();
    } catch (const StoryError &error) {
        throw unpackingFailed(error, shownName, hadCopy, false);
    }
    if (story.metadata != metadata)
        throw storyError(ErrorKind::ReadError, shownName, 0,
                         QStringLiteral("файл изменился, пока его читали"));
    if (hadCopy && !storyInProgressFits(folder, story)) {
        const QString was =
            kept ? QStringLiteral("версии ") + kept->version : QStringLiteral("прежней версии");
        const QString question =
            QStringLiteral("Новая версия %1 повести «%2»\n"
                           "не продолжит ваш рассказ, начатый по %3: в ней другие жанры.\n"
                           "Если открыть её, рассказ будет отложен и начнётся новый.\nФайл: %4")
                .arg(stamp.version, metadata.title, was, shownName);
        if (!m_ask)
            return {folder,
                    QStringLiteral("Новая версия %1 не продолжит ваш рассказ, начатый по %2,\n"
                                   "а спросить, заменить ли прежнюю версию, некого:\n"
                                   "открыта прежняя, новая не распакована.\nФайл: %3")
                        .arg(stamp.version, was, shownName),
                    FolderLock::forReading(folder)};
        if (!m_ask(question))
            return {folder, {}, FolderLock::forReading(folder)};
    }
    return replace(folder, stamp, story, shownName);
}

void StoryShelf::checkClaim(const QString &storyFilePath, const QString &folder,
                            const StoryMetadata &metadata, const std::optional<ShelfStamp> &kept,
                            const QString &shownName) const
{
    if (metadata.identifier == m_installedIdentifier && !m_installedFile.isEmpty()) {
        const QString canonical = QFileInfo(storyFilePath).canonicalFilePath();
        if (canonical.isEmpty() || canonical != QFileInfo(m_installedFile).canonicalFilePath())
            refuse(shownName, QStringLiteral("«%1» — повесть, что приходит с программой.\n"
                                             "На полку её кладёт только установленный файл:\n%2")
                                  .arg(metadata.identifier, shown(m_installedFile)));
    }
    // The identifier is the author's to give: under another author it is another story.
    const QString author = QFileInfo(folder).isDir() ? authorOfCopy(folder, kept) : QString();
    if (!author.isEmpty() && author != metadata.author)
        refuse(shownName, QStringLiteral("это другая повесть с тем же идентификатором «%1».\n"
                                         "В файле — «%2», автор: %3.\n"
                                         "Ваша повесть с этим идентификатором — автора %4;\n"
                                         "она осталась как была.")
                              .arg(metadata.identifier, metadata.title, metadata.author, author));
}

ShelvedStory StoryShelf::replace(const QString &folder, const ShelfStamp &stamp,
                                 const StoryFile &story, const QString &shownName) const
{
    const bool hadCopy = QFileInfo(folder).isDir();
    // Held alone while the copy is replaced, so no window reads it halfway; a window open on
    // it keeps it.
    const FolderLock alone = FolderLock::forReplacing(folder);
    if (alone.heldElsewhere())
        refuse(shownName, QStringLiteral("её сейчас читают в окне программы.\n"
                                         "Версия %1 не распакована: закройте все окна с этой "
                                         "повестью\nи откройте файл снова.")
                              .arg(stamp.version));

    // The new copy is made whole beside the old one, then swapped in by one rename. Messages
    // name its files where they will stand.
    QTemporaryDir fresh(m_path + QStringLiteral("/.") + stamp.identifier +
                        QStringLiteral(".new-XXXXXX"));
    if (!fresh.isValid())
        failToWrite(shownName, QStringLiteral("%1\nПовесть не распакована в папку %2")
                                   .arg(systemErrorText(errno), shown(m_path)));
    const auto finalPath = [&](const QString &path) {
        return shown(folder + path.mid(fresh.path().size()));
    };
    try {
        // The reader's settings and story in progress go with the copy, never read; the settings
        // from before the shelf come to a story that has none of its own.
        QList<std::pair<QString, QString>> carried; // name, folder it comes from
        const auto carriedHas = [&carried](const QString &name) {
            return std::any_of(carried.cbegin(), carried.cend(),
                               [&name](const auto &file) { return file.first == name; });
        };
        const auto collect = [&](const QString &from) {
            for (const QString &name : readerFiles(from)) {
                if (!carriedHas(name))
                    carried.append({name, from});
            }
        };
        if (hadCopy)
            collect(folder);
        if (stamp.identifier == m_earlierIdentifier && !m_earlierFolder.isEmpty() &&
            !carriedHas(toQString(kSettingsFile)))
            collect(m_earlierFolder);

        ShelfStamp unpacked = stamp;
        StagedFiles files;
        const QString settingsFile = toQString(kSettingsFile);
        for (const StoryFileEntry &entry : story.contents.files) {
            const QString entryPath = toQString(entry.path);
            if (!isSoundCopyPath(entryPath))
                throw storyError(
                    ErrorKind::BadStoryFile, shownName, 0,
                    QStringLiteral("недопустимый путь в повести: %1").arg(quoted(entryPath)));
            if (entryPath == settingsFile && carriedHas(settingsFile))
                continue;
            const QString path = fresh.filePath(entryPath);
            const QString parent = QFileInfo(path).path();
            if (!QDir().mkpath(parent))
                failToWrite(shownName, QStringLiteral("%1\nНе создать папку %2")
                                           .arg(systemErrorText(errno), finalPath(parent)));
            files.stage(path, shownName, toQByteArray(entry.bytes));
            if (entryPath != settingsFile)
                unpacked.files.append({entryPath, qint64(entry.bytes.size())});
        }
        const QByteArray json = storyMetadataJson(story.metadata);
        const QString metadataFile = toQString(kStoryMetadataFile);
        files.stage(fresh.filePath(metadataFile), shownName, json);
        unpacked.files.append({metadataFile, json.size()});
        files.stage(fresh.filePath(kShelfStampFile), shownName, unpacked.text());
        files.commit();
        for (const auto &[name, from] : std::as_const(carried))
            carryFile(from + QLatin1Char('/') + name, fresh.filePath(name),
                      shown(folder + QLatin1Char('/') + name));

        QDirIterator folders(fresh.path(), QDir::Dirs | QDir::NoDotAndDotDot,
                             QDirIterator::Subdirectories);
        while (folders.hasNext()) {
            const QString path = folders.next();
            syncFolder(path, finalPath(path), shownName);
        }
        syncFolder(fresh.path(), shown(folder), shownName);
        swapIn(fresh.path(), folder, shownName);
    } catch (const StoryError &error) {
        throw unpackingFailed(error, shownName, hadCopy);
    }
    // The old copy is now where the new one was made, and goes with it.
    syncFolder(m_path, shown(m_path), shownName);
    return {folder, {}, FolderLock::forReading(folder)};
}

} // namespace vorta::app
