// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/counted_lines.h"

namespace vorta {

void CountedLines::read(TextReader &reader, const StoryLineHandler &handler)
{
    m_count.reset();
    m_linesRead = 0;
    m_countLine = reader.line();
    const std::int32_t count = reader.readCount();
    m_count = count;
    m_countLine = reader.valueLine();
    // A negative count reads no line.
    for (; m_linesRead < count; ++m_linesRead) {
        if (handler) {
            const int line = reader.line();
            handler(reader.readLine(), line);
        } else {
            reader.skipLine();
        }
    }
}

} // namespace vorta
