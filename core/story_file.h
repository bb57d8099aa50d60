// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/byte_source.h"
#include "core/story_tree.h"

#include <cstdint>
#include <string>
#include <vector>

// A story in one file: a ZIP archive whose first entry, "mimetype", stored uncompressed, holds
// exactly the story's MIME type (as EPUB and OpenDocument do), then "story.json", the story's
// metadata, then the story tree as the program reads it ("vorta.cfg" and "Genres/...").
namespace vorta {

inline const std::u16string kStoryFileMimeType = u"application/x-vorta-story";
inline const std::u16string kStoryFileSuffix = u"vorta";
inline const std::u16string kMimeTypeEntry = u"mimetype";
inline const std::u16string kStoryMetadataFile = u"story.json";

// What a story file may hold, the same wherever it is read or written: the file, what its
// entries unpack to together, how many there are (a sample story has a few hundred), and its
// metadata (a few lines about a story are far below it).
constexpr std::uint64_t kStoryFileCap = 64 * 1024 * 1024;
constexpr std::uint64_t kUnpackedCap = 64 * 1024 * 1024;
constexpr std::uint64_t kMostEntries = 4096;
constexpr std::uint64_t kStoryMetadataCap = 64 * 1024;

// Whether a file of the tree goes into a story file and comes out of one: the settings and the
// genres, never a story in progress.
bool isTreeFile(std::u16string_view path);

// An entry of the story file as its directory gives it: what says whether two files hold the
// same story, without reading either.
struct StoryFileEntryDigest
{
    std::u16string name;
    std::uint32_t crc32 = 0;
    std::uint64_t size = 0;

    bool operator==(const StoryFileEntryDigest &) const = default;
};

// The cheap look at a story file: its type checked, its metadata (UTF-8 JSON, not yet parsed)
// and its directory; nothing else is read.
struct StoryFileDirectory
{
    std::string metadataJson;
    std::vector<StoryFileEntryDigest> entries;
};

struct StoryFileEntry
{
    std::u16string path; // relative to the tree: "vorta.cfg", "Genres/genres.vtq", ...
    std::string bytes;
};

// A story file read whole and checked: every entry's name, kind, size and the totals within
// their caps, the MIME type, and the catalogue as the program reads it. Only the tree's files
// are kept.
struct StoryFileContents
{
    StoryFileDirectory directory;
    std::vector<StoryFileEntry> files;

    // The tree's files, as the story's rules and the authors' tools read them.
    DataTree tree() const;
};

// Every fault is a StoryError of kind BadStoryFile naming shownName and saying what is wrong;
// a source that cannot be read keeps its own kind.
StoryFileDirectory readStoryFileDirectory(const ByteSource &source,
                                          const std::u16string &shownName);
StoryFileContents readStoryFile(const ByteSource &source, const std::u16string &shownName);

} // namespace vorta
