// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/counted_lines.h"
#include "core/fragment_file.h"

#include <optional>
#include <string>
#include <vector>

namespace vorta {

// The pair a finale record is told for: the least and the most used genre. An index that is
// not a whole number is none, and matches no story.
struct RecordPair
{
    std::optional<std::int32_t> leastUsedGenre;
    std::optional<std::int32_t> mostUsedGenre;

    bool matches(std::int32_t leastUsed, std::int32_t mostUsed) const
    {
        return leastUsedGenre == leastUsed && mostUsedGenre == mostUsed;
    }
};

// Reads a finale file record by record, to its end: the program tells the records whose pair
// is the story's and skips the others, the checker reads them all.
class FinaleReader
{
public:
    explicit FinaleReader(TextReader reader) : m_reader(std::move(reader)) {}

    // The end of the file, tested only before a record; blank lines before it are layout.
    bool atEnd() { return m_reader.atEndAfterBlankLines(); }
    // The next record's pair.
    RecordPair readPair();
    // Its text, handed on line by line; without a handler the lines are read and dropped.
    void readLines(const StoryLineHandler &handler) { m_lines.read(m_reader, handler); }

    // Where the read stands: the record being read or read last (from 1), the line of its
    // pair, and its line count and lines so far.
    std::int32_t record() const { return m_record; }
    bool pairRead() const { return m_pairRead; }
    int recordLine() const { return m_recordLine; }
    const CountedLines &lines() const { return m_lines; }

private:
    TextReader m_reader;
    std::int32_t m_record = 0;
    bool m_pairRead = false;
    int m_recordLine = 0;
    CountedLines m_lines;
};

struct FinaleRecordText
{
    std::int32_t leastUsedGenre = 0;
    std::int32_t mostUsedGenre = 0;
    std::vector<std::u16string> lines;
};

// A finale file in canonical form; the handler learns where each written line stands (a
// record's pair and count are all line 0 of its part).
std::string finaleFileBytes(const std::vector<FinaleRecordText> &records,
                            const WrittenLineHandler &written = {});

} // namespace vorta
