// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>

// What a story says of itself, kept as UTF-8 JSON: in a story file and in a manuscript's folder.
namespace vorta {

inline const QString kStoryMetadataFile = QStringLiteral("story.json");
// A few lines about a story are far below it; a runaway file is not read.
constexpr qint64 kStoryMetadataCap = 64 * 1024;

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

// The metadata read from UTF-8 JSON; every field must be there and valid. A StoryError of kind
// BadStoryFile names shownName and the line otherwise.
StoryMetadata parseStoryMetadata(const QByteArray &json, const QString &shownName);
QByteArray storyMetadataJson(const StoryMetadata &metadata);

// The metadata file at fullPath (a manuscript's, or the one kept beside an unpacked story), read
// within its cap and parsed; every failure a StoryError naming shownName.
StoryMetadata readStoryMetadataFile(const QString &fullPath, const QString &shownName);

} // namespace vorta
