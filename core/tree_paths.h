// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Where each file of a story tree lies, relative to the tree's folder, and the one rule that
// keeps every name a story gives inside it.
namespace vorta {

inline const std::u16string kSettingsFile = u"vorta.cfg";
inline const std::u16string kCatalogueFile = u"Genres/genres.vtq";
inline const std::u16string kGenresFolder = u"Genres";
// The story in progress, which the reader's program keeps in the story's own folder beside its
// data files (with the stories set aside under names that begin the same); never part of a story.
inline const std::u16string kSavedStoryFile = u"story.journal";

// What is wrong with a name that a story gives to one file or folder of its own (a genre's
// folder, a part of a path in a story file), or nothing for a plain name: one that is not empty,
// not "." or "..", holds no "/", "\" or ":", no control or format character, and neither starts
// nor ends with a space. Such a name stays inside the folder it is put in, on any file system.
std::u16string nameFault(std::u16string_view name);

// The same for a relative path of such names joined by "/".
std::u16string pathFault(std::u16string_view path);

// "Genres/<genre folder>", the folder of one genre's files.
std::u16string genreFolderPath(std::u16string_view genreDir);

// "Genres/<genre folder>/<plain digits of the step>.vtq"; step 65 is the finale file.
std::u16string fragmentFilePath(std::u16string_view genreDir, std::int32_t step);

// The largest files the program reads: the settings file holds two small numbers, and no story
// file comes near the other limit, while a device or a runaway file would fill the memory.
constexpr std::int64_t kSettingsFileCap = 4 * 1024;
constexpr std::int64_t kDataFileCap = 16 * 1024 * 1024;

// The cap that applies to one file of the tree.
std::int64_t capFor(std::u16string_view relativePath);

} // namespace vorta
