// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "format/story_file.h"

#include "format/file_reader.h"
#include "format/qt_text.h"

#include "core/text.h"

#include <QFile>
#include <QFileInfo>

namespace vorta {

namespace {

StoryMetadata metadataOf(const StoryFileDirectory &directory, const QString &shownName)
{
    return parseStoryMetadata(toQByteArray(directory.metadataJson),
                              shownName + QLatin1Char(':') + toQString(kStoryMetadataFile));
}

} // namespace

StoryFile readStoryFile(const QString &fullPath, const QString &shownName)
{
    const FileBytes file(fullPath, shownName, qint64(kStoryFileCap));
    StoryFile story;
    story.contents = vorta::readStoryFile(file, toU16(shownName));
    story.metadata = metadataOf(story.contents.directory, shownName);
    return story;
}

StoryFileLook readStoryFileDirectory(const QString &fullPath, const QString &shownName)
{
    const FileBytes file(fullPath, shownName, qint64(kStoryFileCap));
    StoryFileDirectory directory = vorta::readStoryFileDirectory(file, toU16(shownName));
    return {metadataOf(directory, shownName), std::move(directory.entries)};
}

bool isStoryFilePath(const QString &fullPath)
{
    const QFileInfo info(fullPath);
    if (info.isDir())
        return false;
    if (info.suffix() == toQString(kStoryFileSuffix))
        return true;
    if (!info.isFile())
        return false;
    // A local file header holds the name 30 bytes in; the first entry's is "mimetype".
    QFile file(fullPath);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray mimeType = toQByteArray(toUtf8(kMimeTypeEntry));
    const QByteArray head = file.read(30 + mimeType.size());
    return head.startsWith("PK\x03\x04") &&
           head.sliced(qMin<qsizetype>(30, head.size())) == mimeType;
}

} // namespace vorta
