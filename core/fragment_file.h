// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/counted_lines.h"

#include <string>
#include <vector>

namespace vorta {

// Reads a fragment file: its variant count, then variant by variant. The program skips to the
// variant it drew and reads no further, so a fault after it is none of its business; the
// checker reads every variant with the same calls.
class FragmentReader
{
public:
    // Reads the variant count.
    explicit FragmentReader(TextReader reader);

    std::int32_t variantCount() const { return m_variantCount; }
    int variantCountLine() const { return m_variantCountLine; }
    // A variant can only be drawn among one or more: a bad number at the count otherwise.
    void requireVariants() const;

    void skipVariant() { readVariant({}); }
    void readVariant(const StoryLineHandler &handler);

    // Where the read stands: the variant being read or read last (from 1; 0 before the first),
    // and its line count and lines so far.
    std::int32_t variant() const { return m_variant; }
    const CountedLines &lines() const { return m_lines; }

    // After the last variant: whether anything but blank lines is left, which no read takes.
    bool restIsBlank() { return m_reader.atEndAfterBlankLines(); }
    int line() const { return m_reader.line(); }

private:
    TextReader m_reader;
    std::int32_t m_variantCount = 0;
    int m_variantCountLine = 0;
    std::int32_t m_variant = 0;
    CountedLines m_lines;
};

// Where a written line of a fragment or finale file stands: part 0 is the fragment's variant
// count; part p (from 1) is variant or record p, whose line 0 holds its count (a record's pair
// and count) and whose line j (from 1) its j-th story line.
struct WrittenLine
{
    int part = 0;
    int line = 0;
};
using WrittenLineHandler = std::function<void(const WrittenLine &)>;

// A fragment file in canonical form: Windows-1251, CR LF, counts in plain digits. The handler
// learns where each written line stands, in file order.
std::string fragmentFileBytes(const std::vector<std::vector<std::u16string>> &variants,
                              const WrittenLineHandler &written = {});

} // namespace vorta
