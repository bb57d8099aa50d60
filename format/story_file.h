// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/story_file.h"
#include "format/story_metadata.h"

#include <QString>

#include <vector>

// A story in one file on the desktop: read through the core's reader, the same one a page uses,
// so a stranger's file gets the same answer everywhere; its metadata parsed with Qt.
namespace vorta {

// A story file read whole and checked.
struct StoryFile
{
    StoryMetadata metadata;
    StoryFileContents contents;

    DataTree tree() const { return contents.tree(); }
};

// The cheap look a start takes: the file's type, its metadata and its directory; nothing past
// the archive's directory and its two small entries is read.
struct StoryFileLook
{
    StoryMetadata metadata;
    std::vector<StoryFileEntryDigest> entries;
};

// Every fault is a StoryError of kind BadStoryFile naming shownName and saying what is wrong (a
// missing file, a permission, a read error keep their own kinds). Nothing is written anywhere.
StoryFile readStoryFile(const QString &fullPath, const QString &shownName);
StoryFileLook readStoryFileDirectory(const QString &fullPath, const QString &shownName);

// Whether the path is meant as a story file rather than a tree: it is not a folder, and its name
// ends in ".vorta" or its first bytes are a ZIP entry named "mimetype".
bool isStoryFilePath(const QString &fullPath);

} // namespace vorta
