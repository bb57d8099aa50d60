// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <string>

namespace vorta {

// A file read by pieces, wherever its bytes come from: a file on disk (the desktop's, which
// reads only what is asked), or bytes held in memory (a page's).
class ByteSource
{
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t size() const = 0;
    // `length` bytes from `offset`, fewer only where the source ends; a StoryError when the bytes
    // cannot be read.
    virtual std::string read(std::uint64_t offset, std::size_t length) const = 0;
};

class MemoryBytes : public ByteSource
{
public:
    explicit MemoryBytes(std::string bytes) : m_bytes(std::move(bytes)) {}

    std::uint64_t size() const override { return m_bytes.size(); }
    std::string read(std::uint64_t offset, std::size_t length) const override
    {
        return offset >= m_bytes.size() ? std::string()
                                        : m_bytes.substr(std::size_t(offset), length);
    }

private:
    std::string m_bytes;
};

} // namespace vorta
