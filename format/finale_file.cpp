// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "finale_file.h"

#include "format/windows1251.h"

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

QByteArray finaleFileBytes(const QList<FinaleRecordText> &records,
                           const WrittenLineHandler &written)
{
    QStringList lines;
    for (qsizetype r = 0; r < records.size(); ++r) {
        const FinaleRecordText &record = records.at(r);
        lines << QString::number(record.leastUsedGenre) << QString::number(record.mostUsedGenre)
              << QString::number(record.lines.size());
        for (int header = 0; written && header < 3; ++header)
            written({int(r) + 1, 0});
        for (qsizetype j = 0; j < record.lines.size(); ++j) {
            lines.append(record.lines.at(j));
            if (written)
                written({int(r) + 1, int(j) + 1});
        }
    }
    return windows1251Lines(lines);
}

} // namespace vorta
