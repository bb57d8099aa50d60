// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "author/check/diagnostics.h"
#include "author/cli/story_input.h"

#include "format/story_file.h"
#include "format/story_metadata.h"

#include <QDir>
#include <QList>
#include <QString>

#include <optional>

namespace vorta::author {

// A story as readers get it, what pack and web write: its metadata and the tree's files, with
// the findings about it. A story with an error, or without metadata that reads, is not
// published.
struct StoryPublication
{
    std::optional<StoryMetadata> metadata;
    QList<StoryFileEntry> files; // only when nothing refuses the story
    QList<Diagnostic> diagnostics;

    bool refused() const { return !metadata || countOf(diagnostics, Severity::Error) > 0; }
};

// A manuscript folder with its story.json, built in memory and checked as a build checks it.
StoryPublication publishManuscript(const QDir &manuscriptDir, const QString &shown);

// A story file as it was read, checked as check checks it; its findings name its entries.
StoryPublication publishStoryFile(const StoryInput &story);

} // namespace vorta::author
