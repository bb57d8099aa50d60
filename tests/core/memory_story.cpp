// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "memory_story.h"

#include "core/catalogue_file.h"
#include "core/finale_file.h"
#include "core/fragment_file.h"
#include "core/story_facts.h"
#include "core/text.h"
#include "core/tree_paths.h"
#include "core/windows1251.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace memory_story {

using vorta::decimal;

std::string cp1251(const Lines &lines)
{
    return vorta::windows1251Lines(lines);
}

std::string fragment(const std::vector<Lines> &variants)
{
    return vorta::fragmentFileBytes(variants);
}

std::shared_ptr<vorta::MemoryTree> storyTree(const Lines &catalogue, const std::string &settings)
{
    auto tree = std::make_shared<vorta::MemoryTree>();
    tree->add(vorta::kSettingsFile, settings);
    tree->add(vorta::kCatalogueFile, cp1251(catalogue));
    const auto count = std::int32_t(catalogue.size());
    for (const std::u16string &line : catalogue) {
        const std::u16string dir = line.substr(line.find(u',') + 1);
        for (std::int32_t step = 1; step < vorta::kFinaleStep; ++step) {
            const std::u16string text =
                dir + (step == vorta::kIqStep ? u"(IQ)" : u" " + decimal(step));
            tree->add(vorta::fragmentFilePath(dir, step), fragment({{text}}));
        }
        std::vector<vorta::FinaleRecordText> records;
        for (std::int32_t least = 1; least <= std::max(1, count); ++least) {
            for (std::int32_t most = 1; most <= std::max(1, count); ++most)
                records.push_back(
                    {least, most, {dir + u" finale " + decimal(least) + u" " + decimal(most)}});
        }
        tree->add(vorta::fragmentFilePath(dir, vorta::kFinaleStep),
                  vorta::finaleFileBytes(records));
    }
    return tree;
}

std::string fileBytes(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw std::runtime_error("cannot read " + path);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

double ScriptedRandom::next()
{
    if (m_values.empty())
        return 0;
    const double value = m_values.front();
    m_values.pop_front();
    return value;
}

} // namespace memory_story
