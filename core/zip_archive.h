// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/byte_source.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vorta {

// One entry of a ZIP archive's central directory.
struct ZipEntry
{
    std::u16string name; // as stored, "/" between its parts; a folder's ends in "/"
    std::uint32_t crc32 = 0;
    std::uint64_t compressedSize = 0;
    std::uint64_t size = 0;
    std::uint16_t method = 0;
    std::uint64_t localHeaderOffset = 0;
    bool folder = false;

    // The name without a folder's final "/".
    std::u16string path() const { return folder ? name.substr(0, name.size() - 1) : name; }
};

// A ZIP archive from a stranger, checked before anything of it is kept. Reading the directory
// checks every entry's name (one plain name per part of its path), its kind (a plain file or
// folder, never a link, a device or a pipe), its compression (stored or deflated, never
// encrypted), duplicates (exact or differing only in case, a file where a folder is), and the
// caps on entries and on what they unpack to. Every fault is a StoryError of kind BadStoryFile
// naming the archive and saying what is wrong. Only the directory is read until an entry is.
class ZipArchive
{
public:
    // How much an archive may hold: entries, and what they unpack to together.
    struct Caps
    {
        std::uint64_t entries;
        std::uint64_t unpacked;
    };

    ZipArchive(const ByteSource &source, std::u16string shownName, Caps caps);

    const std::vector<ZipEntry> &entries() const { return m_entries; }
    // The entry of that name, or none.
    const ZipEntry *find(std::u16string_view name) const;

    // The entry's bytes, inflated and checked against its size and checksum, never more than
    // the cap whatever the entry says of itself; entries read must not share their bytes.
    std::string read(const ZipEntry &entry, std::uint64_t cap);

    [[noreturn]] void fail(const std::u16string &why) const;

private:
    void readDirectory();
    void checkNames();
    std::uint64_t dataOffset(const ZipEntry &entry);

    const ByteSource &m_source;
    std::u16string m_shownName;
    Caps m_caps;
    std::vector<ZipEntry> m_entries;
    std::uint64_t m_directoryOffset = 0;
    // The bytes of the entries read so far, each from its local header to its data's end.
    std::vector<std::pair<std::uint64_t, std::uint64_t>> m_spans;
};

} // namespace vorta
