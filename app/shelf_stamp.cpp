// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shelf_stamp.h"

#include "core/tree_paths.h"
#include "format/file_reader.h"
#include "format/qt_text.h"
#include "format/story_file.h"
#include "format/story_metadata.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include <algorithm>

#include <sys/stat.h>

namespace vorta::app {

namespace {

// A story of thousands of files has a stamp of a few hundred KiB; a runaway file is not read.
constexpr qint64 kStampCap = 1024 * 1024;
constexpr auto kDigest = QCryptographicHash::Sha256;

// One look at the entry itself, a link never followed; a size below 0 takes any.
bool isPlainFile(const QString &path, qint64 size = -1)
{
    struct stat info;
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISREG(info.st_mode) &&
           (size < 0 || info.st_size == size);
}

} // namespace

bool isSoundCopyPath(const QString &path)
{
    const std::u16string relative = toU16(path);
    return pathFault(relative).empty() && (isTreeFile(relative) || relative == kStoryMetadataFile);
}

ShelfStamp ShelfStamp::of(const StoryFileLook &directory)
{
    std::vector<StoryFileEntryDigest> entries = directory.entries;
    std::sort(entries.begin(), entries.end(),
              [](const auto &a, const auto &b) { return a.name < b.name; });
    QCryptographicHash digest(kDigest);
    for (const StoryFileEntryDigest &entry : entries) {
        digest.addData(QStringLiteral("%1 %2 %3\n")
                           .arg(entry.crc32, 8, 16, QLatin1Char('0'))
                           .arg(entry.size)
                           .arg(toQString(entry.name))
                           .toUtf8());
    }
    const StoryMetadata &metadata = directory.metadata;
    return {metadata.identifier, metadata.version, metadata.author, digest.result().toHex(), {}};
}

std::optional<ShelfStamp> ShelfStamp::read(const QString &folder)
{
    const std::optional<QByteArray> bytes =
        readFileStart(folder + QLatin1Char('/') + kShelfStampFile, kStampCap + 1);
    if (!bytes || bytes->size() > kStampCap || !bytes->endsWith('\n'))
        return std::nullopt;
    ShelfStamp stamp;
    for (const QByteArray &line : bytes->chopped(1).split('\n')) {
        const qsizetype equals = line.indexOf('=');
        const QByteArray key = line.left(equals);
        const QString value = QString::fromUtf8(line.mid(equals + 1));
        if (equals < 0 || value.toUtf8() != line.mid(equals + 1))
            return std::nullopt;
        if (key == "identifier")
            stamp.identifier = value;
        else if (key == "version")
            stamp.version = value;
        else if (key == "author")
            stamp.author = value;
        else if (key == "content")
            stamp.content = value.toLatin1();
        else if (key != "file")
            return std::nullopt;
        if (key != "file")
            continue;
        // "file=<size> <path>"
        const qsizetype space = value.indexOf(QLatin1Char(' '));
        bool sizeOk = false;
        const qint64 size = value.left(space).toLongLong(&sizeOk);
        const QString path = value.mid(space + 1);
        if (space < 0 || !sizeOk || size < 0 || !isSoundCopyPath(path))
            return std::nullopt;
        stamp.files.append({path, size});
    }
    if (!isValidStoryIdentifier(stamp.identifier) || !isValidStoryVersion(stamp.version) ||
        stamp.author.isEmpty() ||
        stamp.content.size() != QCryptographicHash::hashLength(kDigest) * 2)
        return std::nullopt;
    return stamp;
}

QByteArray ShelfStamp::text() const
{
    QString text = QStringLiteral("identifier=%1\nversion=%2\nauthor=%3\ncontent=%4\n")
                       .arg(identifier, version, author, QString::fromLatin1(content));
    for (const auto &[path, size] : files)
        text += QStringLiteral("file=%1 %2\n").arg(size).arg(path);
    return text.toUtf8();
}

bool ShelfStamp::sameStoryFile(const ShelfStamp &other) const
{
    return identifier == other.identifier && version == other.version && content == other.content;
}

bool ShelfStamp::copyIsWhole(const QString &folder) const
{
    const QString prefix = folder + QLatin1Char('/');
    return isPlainFile(prefix + toQString(kSettingsFile)) &&
           std::all_of(files.cbegin(), files.cend(), [&prefix](const auto &file) {
               return isPlainFile(prefix + file.first, file.second);
           });
}

} // namespace vorta::app
