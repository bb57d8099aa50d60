// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "zip_builder.h"

#include <zlib.h>

namespace zip_builder {

namespace {

void put16(std::string &out, std::uint32_t value)
{
    out.push_back(char(value & 0xFF));
    out.push_back(char((value >> 8) & 0xFF));
}

void put32(std::string &out, std::uint32_t value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

// Deflate's stored blocks: a stream that any inflater reads, without a compressor.
std::string storedBlocks(const std::string &bytes)
{
    std::string out;
    std::size_t at = 0;
    do {
        const std::size_t length = std::min<std::size_t>(bytes.size() - at, 0xFFFF);
        const bool last = at + length == bytes.size();
        out.push_back(char(last ? 1 : 0));
        put16(out, std::uint32_t(length));
        put16(out, std::uint32_t(~length & 0xFFFF));
        out.append(bytes, at, length);
        at += length;
    } while (at < bytes.size());
    return out;
}

} // namespace

std::string archive(const std::vector<Entry> &entries)
{
    std::string out;
    std::string directory;
    for (const Entry &entry : entries) {
        const std::string data = entry.deflated ? storedBlocks(entry.bytes) : entry.bytes;
        const auto crc =
            entry.crcSaid >= 0
                ? std::uint32_t(entry.crcSaid)
                : std::uint32_t(crc32(0, reinterpret_cast<const Bytef *>(entry.bytes.data()),
                                      uInt(entry.bytes.size())));
        const auto size =
            std::uint32_t(entry.sizeSaid >= 0 ? entry.sizeSaid : std::int64_t(entry.bytes.size()));
        const std::uint32_t method = entry.deflated ? 8 : 0;
        const auto offset = std::uint32_t(out.size());
        put32(out, 0x04034b50);
        put16(out, 20);
        put16(out, entry.flags);
        put16(out, method);
        put32(out, 0); // time and date
        put32(out, crc);
        put32(out, std::uint32_t(data.size()));
        put32(out, size);
        put16(out, std::uint32_t(entry.name.size()));
        put16(out, 0);
        out += entry.name;
        out += data;

        put32(directory, 0x02014b50);
        put16(directory, 3u << 8 | 20); // made on Unix
        put16(directory, 20);
        put16(directory, entry.flags);
        put16(directory, method);
        put32(directory, 0);
        put32(directory, crc);
        put32(directory, std::uint32_t(data.size()));
        put32(directory, size);
        put16(directory, std::uint32_t(entry.name.size()));
        put16(directory, 0);
        put16(directory, 0);
        put16(directory, 0);
        put16(directory, 0);
        put32(directory, entry.mode << 16);
        put32(directory, offset);
        directory += entry.name;
    }
    const auto directoryOffset = std::uint32_t(out.size());
    out += directory;
    put32(out, 0x06054b50);
    put16(out, 0);
    put16(out, 0);
    put16(out, std::uint32_t(entries.size()));
    put16(out, std::uint32_t(entries.size()));
    put32(out, std::uint32_t(directory.size()));
    put32(out, directoryOffset);
    put16(out, 0);
    return out;
}

std::vector<Entry> storyEntries(const std::vector<Entry> &treeFiles)
{
    std::vector<Entry> entries{{"mimetype", "application/x-vorta-story", false},
                               {"story.json",
                                R"({"identifier": "lamp", "version": "1.2", "title": "Фонарь",)"
                                R"( "author": "Автор", "about": ""})"}};
    entries.insert(entries.end(), treeFiles.begin(), treeFiles.end());
    return entries;
}

} // namespace zip_builder
