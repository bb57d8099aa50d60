// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "app/shelf_stamp.h"
#include "format/folder_lock.h"
#include "format/story_file.h"

#include <QString>

#include <functional>
#include <optional>

namespace vorta::app {

// Where the shelf put a story, the lock that keeps the copy in place while it is read, and what
// the reader is to be told before it opens, if anything.
struct ShelvedStory
{
    QString folder;
    QString notice;
    std::optional<FolderLock> hold; // shared; none for a folder read where it is
};

// The reader's stories, each unpacked into a folder of its own named by its identifier, beside
// the reader's settings and story in progress for it. A story is unpacked again only when its
// file holds another version or content, or the copy lost a file; a newer version replaces the
// copy all at once and keeps what is the reader's. A file of another author, or one claiming
// the installed story's identifier, never replaces the reader's copy.
class StoryShelf
{
public:
    explicit StoryShelf(QString storiesPath);

    // The reader's data folder: $XDG_DATA_HOME when it is an absolute path, as the XDG rules
    // have it, else ~/.local/share.
    static QString dataHome();
    // <data folder>/vorta/stories.
    static QString defaultPath();

    // Where the reader's settings and story in progress for one story were kept before the
    // shelf: they are taken over when that story first comes to the shelf without settings.
    void setEarlierFolder(const QString &identifier, const QString &folder);

    // The story installed with the program: only this very file puts a copy of it on the shelf.
    void setInstalledStory(const QString &identifier, const QString &storyFilePath);

    // Asks the reader whether a new version is to replace a copy whose story in progress it
    // would not continue; true replaces it. Without a question the old copy is kept, and the
    // reader told so.
    using Question = std::function<bool(const QString &question)>;
    void setQuestion(Question ask);

    // Puts the story file at storyFilePath, whose directory has been read, on the shelf; `read`
    // gives the whole story, checked and vetted, and is called only when the copy must be
    // unpacked. shownName names the story file in messages. Every failure is a StoryError,
    // and leaves the shelf's copy as it was.
    ShelvedStory place(const QString &storyFilePath, const StoryFileLook &directory,
                       const std::function<StoryFile()> &read, const QString &shownName) const;

private:
    // Refuses a file that may not put its story in this folder: one claiming the installed
    // story's identifier, or another author's story under the reader's story's identifier.
    void checkClaim(const QString &storyFilePath, const QString &folder,
                    const StoryMetadata &metadata, const std::optional<ShelfStamp> &kept,
                    const QString &shownName) const;
    ShelvedStory replace(const QString &folder, const ShelfStamp &stamp, const StoryFile &story,
                         const QString &shownName) const;

    QString m_path;
    QString m_earlierIdentifier;
    QString m_earlierFolder;
    QString m_installedIdentifier;
    QString m_installedFile;
    Question m_ask;
};

} // namespace vorta::app
