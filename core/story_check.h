// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/diagnostics.h"
#include "core/finale_file.h"
#include "core/story_tree.h"

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vorta {

struct Genre
{
    std::u16string name; // decoded as the catalogue is encoded
    std::u16string dir;  // as the program reads it: it names the genre's folder
    int line = 0;        // the catalogue line of its pair
};

struct Variant
{
    int countLine = 0; // the line of its line count
    std::vector<std::u16string> lines;
};

// A fragment file as far as it could be read; a file with an error keeps the variants before it.
// Its text is the author's: UTF-8 for a file saved so, though the program reads Windows-1251.
struct FragmentFile
{
    std::u16string path;
    std::int32_t variantCount = 0; // as the file states it
    std::vector<Variant> variants;
    bool utf8 = false; // read as UTF-8
};

struct FinaleRecord
{
    int line = 0;      // the line of its least-used genre
    int countLine = 0; // the line of its line count
    RecordPair pair;
    std::vector<std::u16string> lines;
};

struct FinaleFile
{
    std::u16string path;
    std::vector<FinaleRecord> records; // the complete records
    bool utf8 = false;                 // read as UTF-8
};

// Everything of the story data that could be read, each file once.
struct StoryData
{
    std::vector<Genre> genres; // the complete pairs of the catalogue
    std::vector<FragmentFile> fragments;
    std::vector<FinaleFile> finales;
};

struct CheckResult
{
    StoryData data;
    // In the order found: the catalogue, each genre's folder in catalogue order (steps in
    // order, the finale last), the settings file; by line within a file.
    std::vector<Diagnostic> diagnostics;
    // Every file the check read, as it read it (or failed to): a simulation tells its stories
    // from these, and reads nothing again.
    DataTree files{std::make_shared<MemoryTree>()};

    bool hasErrors() const { return countOf(diagnostics, Severity::Error) > 0; }
};

// Reads the whole tree as the program would, but every variant and every record, and reports
// what would stop the program (errors) and what would show wrongly or never (warnings). Each
// file's findings go to the sink as soon as the file has been read. What it calls an error is
// what keeps a story from being published or from replacing a reader's copy.
CheckResult checkTree(const DataTree &tree, const DiagnosticSink &sink = {});

// Characters of a decoded line, a pair of UTF-16 halves counting as one.
std::size_t characterCount(std::u16string_view text);

// The (least used, most used) pairs that some story over this many genres ends with, in any
// genre's finale file. A story counts 63 steps, each in any genre (the reader may click any
// offered genre, and the finishing click counts none); ties go to the lower index, so least
// and most coincide only when every genre has the same count, and then both are genre 1.
std::vector<std::pair<int, int>> reachableFinalePairs(int genreCount);

// "(2, 1)" for a record's pair, "?" for an index that is not a number.
std::u16string pairText(const RecordPair &pair);

} // namespace vorta
