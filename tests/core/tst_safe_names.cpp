// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/byte_source.h"
#include "core/catalogue_file.h"
#include "core/story_file.h"
#include "core/text.h"
#include "core/tree_paths.h"
#include "core/windows1251.h"
#include "memory_story.h"
#include "zip_builder.h"

#include <gtest/gtest.h>

using namespace vorta;

namespace {

// Genre folders a catalogue may not name: each would lead out of the story's folder, or hide
// what it is.
const std::u16string kRefused[] = {u"",          u".",        u"..",         u"../x",
                                   u"x/../..",   u"/etc",     u"a\\b",       u"C:",
                                   u"tab\there", u"nul\x7Fx", u"rtl\u202Ex", u"zero\u200Bwidth",
                                   u"\uFEFFbom", u" lead",    u"trail "};

const std::u16string kAccepted[] = {u"horror", u"Ужасы", u"a b", u"x.y", u"...", u"-"};

std::string catalogueNaming(const std::u16string &folder)
{
    return memory_story::cp1251({u"Альфа,alpha", u"Бета,\"" + folder + u"\""});
}

} // namespace

TEST(SafeNames, OnePlainNameOnly)
{
    for (const std::u16string &name : kRefused)
        EXPECT_FALSE(nameFault(name).empty()) << toUtf8(name);
    for (const std::u16string &name : kAccepted)
        EXPECT_TRUE(nameFault(name).empty()) << toUtf8(name);
    EXPECT_TRUE(pathFault(u"Genres/horror/1.vtq").empty());
    EXPECT_FALSE(pathFault(u"Genres//1.vtq").empty());
}

// The catalogue refuses such a folder at its own line, before anything is opened by it; a story
// file holding such a catalogue is refused before anything of it is kept.
TEST(SafeNames, RefusedWhereverACatalogueIsRead)
{
    for (const std::u16string &name : kRefused) {
        const std::string bytes = catalogueNaming(name);
        // A name of control characters may cut the line: only names that stay on it count.
        if (name.find_first_of(u"\r\n\"") != std::u16string::npos)
            continue;
        CatalogueReader reader(TextReader(decodeWindows1251(bytes), kCatalogueFile));
        reader.next();
        try {
            reader.next();
            ADD_FAILURE() << "accepted: " << toUtf8(name);
        } catch (const StoryError &error) {
            EXPECT_EQ(error.kind(), ErrorKind::BadName) << toUtf8(name);
            EXPECT_EQ(error.line(), 2) << toUtf8(name);
        }
        const MemoryBytes file(zip_builder::archive(zip_builder::storyEntries(
            {{"Genres/genres.vtq", bytes}, {"vorta.cfg", " 1 \r\n 5 \r\n"}})));
        try {
            readStoryFile(file, u"evil.vorta");
            ADD_FAILURE() << "story file accepted: " << toUtf8(name);
        } catch (const StoryError &error) {
            EXPECT_EQ(error.kind(), ErrorKind::BadStoryFile) << toUtf8(name);
            EXPECT_EQ(error.file(), u"evil.vorta:Genres/genres.vtq") << toUtf8(name);
            EXPECT_EQ(error.line(), 2) << toUtf8(name);
        }
    }
}
