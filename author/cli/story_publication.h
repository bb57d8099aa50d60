// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "author/cli/story_input.h"
#include "core/diagnostics.h"
#include "core/story_file.h"
#include "format/story_metadata.h"

#include <QDir>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace vorta::author {

// A story as readers get it, what pack and web write: its metadata and the tree's files, with
// the findings about it. A story with an error, without metadata that reads, or larger than a
// reader opens, is not published.
struct StoryPublication
{
    std::optional<StoryMetadata> metadata;
    std::vector<StoryFileEntry> files; // only when nothing refuses the story
    std::vector<Diagnostic> diagnostics;
    // The manuscript's files the story is made from, by their names in its folder.
    QStringList sources;

    bool refused() const { return !metadata || countOf(diagnostics, Severity::Error) > 0; }
};

// A manuscript folder with its story.json, built in memory and checked as a build checks it.
StoryPublication publishManuscript(const QDir &manuscriptDir, const QString &shown);

// A story file as it was read, checked as check checks it; its findings name its entries.
StoryPublication publishStoryFile(const StoryInput &story);

} // namespace vorta::author
