// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>

// Tables of the Unicode Character Database, written by scripts/unicode_tables.py.
namespace vorta::unicode_tables {

struct CodeRange
{
    char32_t first;
    char32_t last;
};

// Code points first..last fold to themselves plus delta: every one of them (stride 1) or every
// other one from the first (stride 2, the upper case of an alternating pair).
struct FoldRun
{
    char32_t first;
    char32_t last;
    std::int32_t delta;
    std::int32_t stride;
};

extern const CodeRange kFormatCharacters[];
extern const std::size_t kFormatCharacterCount;
extern const FoldRun kCaseFolding[];
extern const std::size_t kCaseFoldingCount;

} // namespace vorta::unicode_tables
