// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/story_file.h"
#include "format/story_metadata.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace vorta {

// The story file's bytes: the mimetype entry first and stored, the metadata, then the tree's
// files in the order given; the same story always packs to the same bytes. A failure is a
// StoryError of kind FileNotWritten naming shownName.
QByteArray storyFileBytes(const QString &shownName, const StoryMetadata &metadata,
                          const std::vector<StoryFileEntry> &files);

// Writes the story file atomically (a failure leaves any old file as it was).
void writeStoryFile(const QString &fullPath, const QString &shownName,
                    const StoryMetadata &metadata, const std::vector<StoryFileEntry> &files);

} // namespace vorta
