// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/fragment_file.h"

#include "core/text.h"
#include "core/windows1251.h"

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
            format(u"число вариантов %1, а нужен хотя бы один", {decimal(m_variantCount)}));
}

void FragmentReader::readVariant(const StoryLineHandler &handler)
{
    ++m_variant;
    m_lines.read(m_reader, handler);
}

std::string fragmentFileBytes(const std::vector<std::vector<std::u16string>> &variants,
                              const WrittenLineHandler &written)
{
    std::vector<std::u16string> lines{decimal(std::int64_t(variants.size()))};
    if (written)
        written({0, 0});
    for (std::size_t v = 0; v < variants.size(); ++v) {
        lines.push_back(decimal(std::int64_t(variants[v].size())));
        if (written)
            written({int(v) + 1, 0});
        for (std::size_t j = 0; j < variants[v].size(); ++j) {
            lines.push_back(variants[v][j]);
            if (written)
                written({int(v) + 1, int(j) + 1});
        }
    }
    return windows1251Lines(lines);
}

} // namespace vorta
