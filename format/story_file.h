// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "format/data_tree.h"
#include "format/story_metadata.h"

#include <QByteArray>
#include <QList>
#include <QString>

// A story in one file: a ZIP archive whose first entry, "mimetype", stored uncompressed, holds
// exactly the story's MIME type (as EPUB and OpenDocument do), then "story.json", the story's
// metadata, then the story tree as the program reads it ("vorta.cfg" and "Genres/...").
namespace vorta {

inline const QString kStoryFileMimeType = QStringLiteral("application/x-vorta-story");
inline const QString kStoryFileSuffix = QStringLiteral("vorta");

struct StoryFileEntry
{
    QString path; // relative to the tree: "vorta.cfg", "Genres/genres.vtq", ...
    QByteArray bytes;
};

// A story file read whole and checked: every entry's name, kind, size and the totals within
// their caps, the MIME type and the metadata sound. Only the tree's files are kept.
struct StoryFile
{
    StoryMetadata metadata;
    QList<StoryFileEntry> files;

    // The tree's files, as the engine and the authors' tools read them.
    DataTree tree() const;
};

// Reads and checks the whole story file. Every fault is a StoryError of kind BadStoryFile
// naming shownName and saying what is wrong (a missing file, a permission, a read error keep
// their own kinds). Nothing is written anywhere.
StoryFile readStoryFile(const QString &fullPath, const QString &shownName);

// Only the MIME type and the metadata, the cheap look a start takes to find the story's folder.
StoryMetadata readStoryFileMetadata(const QString &fullPath, const QString &shownName);

// Whether the path is meant as a story file rather than a tree: it is not a folder, and its name
// ends in ".vorta" or its first bytes are a ZIP entry named "mimetype".
bool isStoryFilePath(const QString &fullPath);

// The story file's bytes: the mimetype entry first and stored, the metadata, then the files in
// the order given. The same story always packs to the same bytes.
QByteArray storyFileBytes(const QString &shownName, const StoryMetadata &metadata,
                          const QList<StoryFileEntry> &files);

// Writes the story file's bytes atomically (a failure leaves any old file as it was).
void writeStoryFile(const QString &fullPath, const QString &shownName,
                    const StoryMetadata &metadata, const QList<StoryFileEntry> &files);

} // namespace vorta
