// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "fragment_file.h"

#include "format/windows1251.h"

namespace vorta {

FragmentReader::FragmentReader(TextReader reader) : m_reader(std::move(reader))
{
    m_variantCount = m_reader.readCount();
    m_variantCountLine = m_reader.valueLine();
}

void FragmentReader::requireVariants() const
{
    if (m_variantCount < 1)
        m_reader.fail(
            ErrorKind::BadNumber, m_variantCountLine,
            QStringLiteral("число вариантов %1, а нужен хотя бы один").arg(m_variantCount));
}

void FragmentReader::readVariant(const StoryLineHandler &handler)
{
    ++m_variant;
    m_lines.read(m_reader, handler);
}

QByteArray fragmentFileBytes(const QList<QStringList> &variants, const WrittenLineHandler &written)
{
    QStringList lines{QString::number(variants.size())};
    if (written)
        written({0, 0});
    for (qsizetype v = 0; v < variants.size(); ++v) {
        lines.append(QString::number(variants.at(v).size()));
        if (written)
            written({int(v) + 1, 0});
        for (qsizetype j = 0; j < variants.at(v).size(); ++j) {
            lines.append(variants.at(v).at(j));
            if (written)
                written({int(v) + 1, int(j) + 1});
        }
    }
    return windows1251Lines(lines);
}

} // namespace vorta
