// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/text_reader.h"

#include <functional>
#include <optional>

namespace vorta {

// Takes one story line of a variant or a finale record, with the file line it stands on.
using StoryLineHandler = std::function<void(const std::u16string &text, int line)>;

// A line count and the lines it counts, the shape of a fragment's variant and of a finale
// record's text. Each line is handed on before the next is read, so lines told before a fault
// have been told; where the read stood is kept for the report of that fault.
class CountedLines
{
public:
    // Reads the count and its lines; without a handler the lines are read and dropped.
    void read(TextReader &reader, const StoryLineHandler &handler);

    // The count once read, and its line.
    std::optional<std::int32_t> count() const { return m_count; }
    int countLine() const { return m_countLine; }
    // Lines read so far.
    std::int32_t linesRead() const { return m_linesRead; }

private:
    std::optional<std::int32_t> m_count;
    int m_countLine = 0;
    std::int32_t m_linesRead = 0;
};

} // namespace vorta
