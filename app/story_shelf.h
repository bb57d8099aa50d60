// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "format/story_file.h"

#include <QString>

#include <functional>

namespace vorta::app {

// What tells whether the shelf's copy of a story came from this very story file: cheap to take
// (no byte of the story is read past its metadata), and kept beside the copy as key=value lines.
struct ShelfStamp
{
    QString identifier;
    QString version;
    qint64 size = 0;
    qint64 modified = 0; // milliseconds since the epoch

    // The stamp of a story file whose metadata has been read.
    static ShelfStamp of(const QString &storyFilePath, const StoryMetadata &metadata);
    QByteArray text() const;
    bool operator==(const ShelfStamp &) const = default;
};

// Where the shelf put a story, and what the reader is to be told before it opens, if anything.
struct ShelvedStory
{
    QString folder;
    QString notice;
};

// The reader's stories, each unpacked into a folder of its own named by its identifier, beside
// the reader's settings and story in progress for it. A story is unpacked again only when its
// file changed; a newer version replaces the copy all at once and keeps what is the reader's.
class StoryShelf
{
public:
    explicit StoryShelf(QString storiesPath);

    // $XDG_DATA_HOME/vorta/stories, by the XDG rules.
    static QString defaultPath();

    // Where the reader's settings and story in progress for one story were kept before the
    // shelf: they are taken over when that story first comes to the shelf without settings.
    void setEarlierFolder(const QString &identifier, const QString &folder);

    // Puts the story with this stamp on the shelf; `read` gives the whole story file, and is
    // called only when the copy must be unpacked. shownName names the story file in messages.
    // Every failure is a StoryError, and leaves the shelf's copy as it was.
    ShelvedStory place(const ShelfStamp &stamp, const std::function<StoryFile()> &read,
                       const QString &shownName) const;

private:
    QString m_path;
    QString m_earlierIdentifier;
    QString m_earlierFolder;
};

// The name of the stamp file in a story's folder.
inline const QString kShelfStampFile = QStringLiteral(".unpacked");

} // namespace vorta::app
