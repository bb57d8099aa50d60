// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "format/story_file.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>
#include <utility>

namespace vorta::app {

// The name of the stamp file in a story's folder.
inline const QString kShelfStampFile = QStringLiteral(".unpacked");

// What tells whether the shelf's copy of a story came from a story file, and whether the copy is
// still whole, both cheap to find out: the story file's directory is compared, and each file of
// the copy looked at, never read. Kept beside the copy as key=value lines.
struct ShelfStamp
{
    QString identifier;
    QString version;
    QString author;
    // A digest of the story file's directory: every file's name, size and CRC-32. Two files
    // with the same one hold the same story, whatever their names and times.
    QByteArray content;
    // Each file of the copy unpacked from the story file and its size; the reader's settings,
    // which the reader changes, are not among them.
    QList<std::pair<QString, qint64>> files;

    // The stamp of a story file, before anything is unpacked from it.
    static ShelfStamp of(const StoryFileLook &directory);
    // The stamp in a story's folder: none when there is no plain file, or it does not read whole
    // and sound (a hand-edited version that is no version, a path that leaves the folder).
    static std::optional<ShelfStamp> read(const QString &folder);
    QByteArray text() const;

    // Whether the copy came from a file with the same story, version and content.
    bool sameStoryFile(const ShelfStamp &other) const;
    // Whether every file unpacked stands in the folder as a plain file of its size, and the
    // reader's settings as a plain file.
    bool copyIsWhole(const QString &folder) const;
};

// A path of a story's copy as a stamp may name it: a file of the tree or the story's metadata,
// each part of it one plain name (the one rule of the core).
bool isSoundCopyPath(const QString &path);

} // namespace vorta::app
