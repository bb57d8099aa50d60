// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/finale_file.h"

#include "core/text.h"
#include "core/windows1251.h"

namespace vorta {

RecordPair FinaleReader::readPair()
{
    ++m_record;
    m_pairRead = false;
    m_lines = {};
    m_recordLine = m_reader.line();
    RecordPair pair;
    pair.leastUsedGenre = m_reader.readIndex();
    m_recordLine = m_reader.valueLine();
    pair.mostUsedGenre = m_reader.readIndex();
    m_pairRead = true;
    return pair;
}

std::string finaleFileBytes(const std::vector<FinaleRecordText> &records,
                            const WrittenLineHandler &written)
{
    std::vector<std::u16string> lines;
    for (std::size_t r = 0; r < records.size(); ++r) {
        const FinaleRecordText &record = records[r];
        lines.push_back(decimal(record.leastUsedGenre));
        lines.push_back(decimal(record.mostUsedGenre));
        lines.push_back(decimal(std::int64_t(record.lines.size())));
        for (int header = 0; written && header < 3; ++header)
            written({int(r) + 1, 0});
        for (std::size_t j = 0; j < record.lines.size(); ++j) {
            lines.push_back(record.lines[j]);
            if (written)
                written({int(r) + 1, int(j) + 1});
        }
    }
    return windows1251Lines(lines);
}

} // namespace vorta
