// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/story_tree.h"

#include "core/windows1251.h"

namespace vorta {

std::u16string TreeSource::readText(const std::u16string &relativePath) const
{
    return decodeWindows1251(readBytes(relativePath));
}

void MemoryTree::add(const std::u16string &relativePath, std::string bytes)
{
    std::u16string text = decodeWindows1251(bytes);
    m_files.insert_or_assign(relativePath, File{std::move(bytes), std::move(text), std::nullopt});
    addFolders(relativePath);
}

void MemoryTree::addFailure(const std::u16string &relativePath, const StoryError &error)
{
    m_files.insert_or_assign(relativePath, File{{}, {}, error});
    addFolders(relativePath);
}

void MemoryTree::addFolders(const std::u16string &relativePath)
{
    for (std::size_t slash = relativePath.rfind(u'/'); slash != std::u16string::npos && slash > 0;
         slash = relativePath.rfind(u'/', slash - 1))
        m_folders.insert(relativePath.substr(0, slash));
}

const MemoryTree::File &MemoryTree::file(const std::u16string &relativePath) const
{
    const auto found = m_files.find(relativePath);
    if (found == m_files.end())
        throw StoryError(ErrorKind::FileNotFound, relativePath);
    if (found->second.failure)
        throw *found->second.failure;
    return found->second;
}

std::string MemoryTree::readBytes(const std::u16string &relativePath) const
{
    return file(relativePath).bytes;
}

std::u16string MemoryTree::readText(const std::u16string &relativePath) const
{
    return file(relativePath).text;
}

bool MemoryTree::hasFolder(const std::u16string &relativePath) const
{
    return m_folders.count(relativePath) > 0;
}

void MemoryTree::writeBytes(const std::u16string &relativePath, const std::string &bytes)
{
    add(relativePath, bytes);
}

} // namespace vorta
