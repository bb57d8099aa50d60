// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/story_error.h"

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>

namespace vorta {

// Where the files of a story tree come from: a folder on disk (the desktop's), files held in
// memory (a story file read whole, a manuscript built without writing it). Paths are relative
// to the tree, with "/" between their parts.
class TreeSource
{
public:
    virtual ~TreeSource() = default;

    // The file's bytes, whole and within its cap; a StoryError naming the file otherwise.
    virtual std::string readBytes(const std::u16string &relativePath) const = 0;
    // The file decoded from Windows-1251.
    virtual std::u16string readText(const std::u16string &relativePath) const;
    virtual bool hasFolder(const std::u16string &relativePath) const = 0;
    // Replaces the file with the bytes, atomically; a StoryError naming it when it cannot.
    virtual void writeBytes(const std::u16string &relativePath, const std::string &bytes) = 0;
};

// The story tree that the story's rules read, by paths relative to it.
class DataTree
{
public:
    explicit DataTree(std::shared_ptr<TreeSource> source) : m_source(std::move(source)) {}

    std::string readBytes(const std::u16string &relativePath) const
    {
        return m_source->readBytes(relativePath);
    }
    std::u16string readText(const std::u16string &relativePath) const
    {
        return m_source->readText(relativePath);
    }
    bool hasFolder(const std::u16string &relativePath) const
    {
        return m_source->hasFolder(relativePath);
    }
    void writeBytes(const std::u16string &relativePath, const std::string &bytes) const
    {
        m_source->writeBytes(relativePath, bytes);
    }

private:
    std::shared_ptr<TreeSource> m_source;
};

// Files held in memory, each decoded once. A file that could not be read is held as its error,
// which every later read raises again, as the folder it came from would.
class MemoryTree : public TreeSource
{
public:
    void add(const std::u16string &relativePath, std::string bytes);
    void addFailure(const std::u16string &relativePath, const StoryError &error);

    std::string readBytes(const std::u16string &relativePath) const override;
    std::u16string readText(const std::u16string &relativePath) const override;
    bool hasFolder(const std::u16string &relativePath) const override;
    void writeBytes(const std::u16string &relativePath, const std::string &bytes) override;

private:
    struct File
    {
        std::string bytes;
        std::u16string text;
        std::optional<StoryError> failure;
    };

    const File &file(const std::u16string &relativePath) const;
    void addFolders(const std::u16string &relativePath);

    std::map<std::u16string, File> m_files;
    std::set<std::u16string> m_folders;
};

} // namespace vorta
