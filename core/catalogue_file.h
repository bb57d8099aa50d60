// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/text_reader.h"

#include <string>
#include <vector>

namespace vorta {

// One pair of the genre catalogue: the name the reader sees, the folder of the genre's files.
struct CatalogueEntry
{
    std::u16string name;
    std::u16string dir;
    int line = 0;    // where the name begins
    int dirLine = 0; // where the folder's name begins
};

// Reads the catalogue pair by pair, as the program does: the end of the file is tested only
// before a pair, and a pair that would be the eleventh is an error at its line. A folder's name
// that could lead out of the genres' folder is an error at its line, before anything is opened
// by it.
class CatalogueReader
{
public:
    explicit CatalogueReader(TextReader reader) : m_reader(std::move(reader)) {}

    bool atEnd() const { return m_reader.atEnd(); }
    CatalogueEntry next();

private:
    TextReader m_reader;
    std::int32_t m_pairs = 0;
};

// The lines (from 1) that hold nothing but spaces and tabs and have a pair after them. The
// program reads each as a genre without a name, and every pair after it shifts by one value;
// blank lines after the last pair are not among them.
std::vector<int> blankLinesInside(const std::vector<std::u16string> &lines);

// The lines without the blank lines after the last pair.
std::size_t linesBeforeTrailingBlanks(const std::vector<std::u16string> &lines);

// A pair as a catalogue line writes it: a name that holds a comma goes in quotes.
std::u16string catalogueLine(const std::u16string &name, const std::u16string &dir);

} // namespace vorta
