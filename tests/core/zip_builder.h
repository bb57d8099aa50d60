// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <string>
#include <vector>

// ZIP archives as a stranger's tool could write them, built byte by byte, so that a test can
// put any fault in any field.
namespace zip_builder {

constexpr std::uint32_t kUnixFile = 0100644;
constexpr std::uint32_t kUnixFolder = 0040755;
constexpr std::uint32_t kUnixLink = 0120777;
constexpr std::uint32_t kUnixPipe = 0010644;

struct Entry
{
    std::string name;
    std::string bytes;
    bool deflated = true;           // as deflate's stored blocks, which inflate reads like any
    std::uint32_t mode = kUnixFile; // the Unix kind and permissions
    std::uint16_t flags = 0;        // bit 0: encrypted
    // Fields as written when they are to lie; otherwise the true ones.
    std::int64_t sizeSaid = -1;
    std::int64_t crcSaid = -1;
};

// The archive: local headers and data in order, then the directory and its end.
std::string archive(const std::vector<Entry> &entries);

// A sound story file with the tree's files given after its type and metadata.
std::vector<Entry> storyEntries(const std::vector<Entry> &treeFiles);

} // namespace zip_builder
