// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/random_source.h"
#include "core/story_tree.h"

#include <deque>
#include <memory>
#include <string>
#include <vector>

// Story trees held in memory and written in a few readable lines, for the core's tests.
namespace memory_story {

using Lines = std::vector<std::u16string>;

// The lines in Windows-1251, each ended by CR LF.
std::string cp1251(const Lines &lines);

// A fragment file of these variants, each a list of lines.
std::string fragment(const std::vector<Lines> &variants);

// A tree of the genres given as "name,folder" lines, with the settings given, and every step of
// every genre told as one line "<folder> <step>" (step 37 as "<folder>(IQ)"); every finale file
// holds one record for each pair of genres, told as "<folder> finale <least> <most>".
std::shared_ptr<vorta::MemoryTree> storyTree(const Lines &catalogue,
                                             const std::string &settings = " 1 \r\n 5 \r\n");

// The bytes of a file on the disk, read whole.
std::string fileBytes(const std::string &path);

// Values drawn in the order given, then 0.
class ScriptedRandom : public vorta::RandomSource
{
public:
    explicit ScriptedRandom(std::deque<double> values) : m_values(std::move(values)) {}
    void reseed() override {}
    double next() override;

private:
    std::deque<double> m_values;
};

} // namespace memory_story
