// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/story_file.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// What a story says of itself, kept as UTF-8 JSON: in a story file and in a manuscript's folder.
namespace vorta {

// What a story says of itself. The identifier stays the same across the story's versions and
// names the reader's folder of the story, so it is a plain folder name (see
// isValidStoryIdentifier). A version is dotted numbers, "1", "1.2", "2.0.1".
struct StoryMetadata
{
    QString identifier;
    QString version;
    QString title;
    QString author;
    QString about; // a few lines, LF between them

    bool operator==(const StoryMetadata &) const = default;
};

// Lower-case Latin letters, digits, '.', '-' and '_', starting with a letter or a digit, at most
// 64 characters: a name that can never leave the folder it is put in, on any file system.
bool isValidStoryIdentifier(const QString &identifier);

// Numbers separated by dots, as a version is written ("1", "1.2", "2.0.1").
bool isValidStoryVersion(const QString &version);

// Negative, zero or positive as version a is older than, the same as or newer than b, compared
// number by number ("1.10" is newer than "1.9"; "1.0" is the same as "1").
int compareStoryVersions(const QString &a, const QString &b);

// The keys of the metadata, in the order a file of it writes them.
QStringList storyMetadataKeys();

// A key of the metadata's object as written, and the line it stands on.
struct StoryMetadataKey
{
    QString key;
    int line = 0;
};

// The keys of the metadata's object that are none of storyMetadataKeys(), in the order written:
// no field is read from them, so a misspelt one is worth a word. None when the JSON does not
// parse as an object.
QList<StoryMetadataKey> unknownStoryMetadataKeys(const QByteArray &json);

// The metadata read from UTF-8 JSON; every field must be there and valid. A StoryError of kind
// BadStoryFile names shownName and the line otherwise.
StoryMetadata parseStoryMetadata(const QByteArray &json, const QString &shownName);
QByteArray storyMetadataJson(const StoryMetadata &metadata);

// The metadata file at fullPath (a manuscript's, or the one kept beside an unpacked story), read
// within its cap and parsed; every failure a StoryError naming shownName.
StoryMetadata readStoryMetadataFile(const QString &fullPath, const QString &shownName);

} // namespace vorta
