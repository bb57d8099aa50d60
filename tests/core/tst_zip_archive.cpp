// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/story_file.h"
#include "core/text.h"
#include "core/tree_paths.h"
#include "memory_story.h"
#include "zip_builder.h"

#include <gtest/gtest.h>

using namespace vorta;
using zip_builder::Entry;

namespace {

std::vector<Entry> treeFiles()
{
    return {{"vorta.cfg", " 1 \r\n 5 \r\n"},
            {"Genres/genres.vtq", memory_story::cp1251({u"Ужасы,horror"})},
            {"Genres/horror/1.vtq", memory_story::cp1251({u"1", u"1", u"Шаги"})}};
}

// The sound story file with the entry at the index replaced, or added after the others for a
// negative index.
std::string withEntry(int index, const Entry &entry)
{
    std::vector<Entry> entries = zip_builder::storyEntries(treeFiles());
    if (index < 0)
        entries.push_back(entry);
    else
        entries[std::size_t(index)] = entry;
    return zip_builder::archive(entries);
}

// Counts what is read of it, to show what a look reads.
class CountingBytes : public MemoryBytes
{
public:
    using MemoryBytes::MemoryBytes;
    std::string read(std::uint64_t offset, std::size_t length) const override
    {
        std::string bytes = MemoryBytes::read(offset, length);
        m_read += bytes.size();
        return bytes;
    }
    mutable std::uint64_t m_read = 0;
};

} // namespace

TEST(ZipArchive, HostileArchivesAreRefused)
{
    const std::string good = zip_builder::archive(zip_builder::storyEntries(treeFiles()));
    const std::string big(std::size_t(kDataFileCap) + 1, 'x');
    Entry lying{"Genres/horror/2.vtq", "twelve bytes"};
    lying.sizeSaid = 5;
    Entry damaged{"Genres/horror/2.vtq", "some text"};
    damaged.crcSaid = 12345;
    Entry encrypted{"Genres/horror/1.vtq", "x"};
    encrypted.flags = 1;
    std::vector<Entry> crowd = zip_builder::storyEntries(treeFiles());
    for (std::size_t i = crowd.size(); i <= kMostEntries; ++i)
        crowd.push_back({"Genres/horror/" + std::to_string(i + 100) + ".vtq", ""});
    // An entry of the directory that points at another entry's bytes.
    std::string shared = withEntry(-1, {"Genres/horror/2.vtq", "x"});
    const std::size_t second = shared.rfind("Genres/horror/2.vtq") - 46 + 42;
    const std::size_t first = shared.rfind("Genres/horror/1.vtq") - 46 + 42;
    shared.replace(second, 4, shared.substr(first, 4));
    const struct
    {
        const char *name;
        std::string archive;
        const char16_t *what; // a part of the message
    } rows[] = {
        {"not an archive", "Ужасы,horror\r\n", u"ZIP"},
        {"truncated", good.substr(0, good.size() * 2 / 3), u"ZIP"},
        {"no mimetype", zip_builder::archive(treeFiles()), u"mimetype"},
        {"mimetype compressed", withEntry(0, {"mimetype", "application/x-vorta-story"}),
         u"mimetype"},
        {"another type", withEntry(0, {"mimetype", "application/zip", false}), u"mimetype"},
        {"parent folder", withEntry(-1, {"Genres/../../evil", "x"}), u"evil"},
        {"absolute path", withEntry(-1, {"/tmp/evil", "x"}), u"evil"},
        {"backslash", withEntry(-1, {"Genres\\..\\evil", "x"}), u"evil"},
        {"drive letter", withEntry(-1, {"C:/evil", "x"}), u"evil"},
        {"empty part", withEntry(-1, {"Genres//evil", "x"}), u"evil"},
        {"format character",
         withEntry(-1, {"Genres/\xE2\x80\xAE"
                        "evil/1.vtq",
                        "x"}),
         u"evil"},
        {"not UTF-8", withEntry(-1, {"Genres/\xFF.vtq", "x"}), u"UTF-8"},
        {"symbolic link", withEntry(4, {"Genres/horror/1.vtq", "x", true, zip_builder::kUnixLink}),
         u"ссылка"},
        {"named pipe", withEntry(4, {"Genres/horror/1.vtq", "x", true, zip_builder::kUnixPipe}),
         u"1.vtq"},
        {"folder in a file's name",
         withEntry(4, {"Genres/horror/1.vtq", "", true, zip_builder::kUnixFolder}), u"1.vtq"},
        {"file over a folder", withEntry(-1, {"Genres/horror", "x"}), u"папка"},
        {"same name twice", withEntry(-1, {"vorta.cfg", "x"}), u"повторяет"},
        {"same name in other case", withEntry(-1, {"Genres/HORROR/1.vtq", "x"}), u"повторяет"},
        {"encrypted", withEntry(4, encrypted), u"зашифрована"},
        {"file over the cap", withEntry(-1, {"Genres/horror/2.vtq", big, false}), u"2.vtq"},
        {"settings over their cap", withEntry(2, {"vorta.cfg", std::string(4097, ' ')}),
         u"vorta.cfg"},
        {"size that lies", withEntry(-1, lying), u"2.vtq\" распаковывается больше"},
        {"checksum that fails", withEntry(-1, damaged), u"контрольная сумма"},
        {"entry pointing at another's bytes", shared, u"заголовок"},
        {"too many entries", zip_builder::archive(crowd), u"записей"},
        {"no metadata", withEntry(1, {"about.json", "{}"}), u"story.json"},
        {"no catalogue", withEntry(3, {"Genres/list.vtq", "x"}), u"genres.vtq"},
    };
    for (const auto &row : rows) {
        try {
            readStoryFile(MemoryBytes(row.archive), u"shown.vorta");
            ADD_FAILURE() << "read: " << row.name;
        } catch (const StoryError &error) {
            EXPECT_EQ(error.kind(), ErrorKind::BadStoryFile) << row.name;
            EXPECT_TRUE(startsWith(error.file(), u"shown.vorta")) << row.name;
            EXPECT_TRUE(contains(error.message(), row.what))
                << row.name << ": " << toUtf8(error.message());
        }
    }
}

// A sound file gives its tree and metadata; the cheap look reads its directory and metadata only.
TEST(ZipArchive, SoundStoryFileReads)
{
    std::vector<Entry> entries = zip_builder::storyEntries(treeFiles());
    entries.push_back({"notes.txt", "not kept"});
    entries.push_back({"Genres/horror/story.journal", "never kept"});
    entries.push_back({"Genres/horror/65.vtq", std::string(100000, 'x')});
    const CountingBytes file(zip_builder::archive(entries));
    const StoryFileDirectory look = readStoryFileDirectory(file, u"shown.vorta");
    EXPECT_LT(file.m_read, 2000u);
    EXPECT_NE(look.metadataJson.find("\"lamp\""), std::string::npos);
    ASSERT_EQ(look.entries.size(), entries.size());
    EXPECT_EQ(look.entries[4].name, u"Genres/horror/1.vtq");
    EXPECT_EQ(look.entries[7].size, 100000u);

    const StoryFileContents story = readStoryFile(file, u"shown.vorta");
    std::vector<std::u16string> kept;
    for (const StoryFileEntry &kept_file : story.files)
        kept.push_back(kept_file.path);
    EXPECT_EQ(kept, (std::vector<std::u16string>{u"vorta.cfg", u"Genres/genres.vtq",
                                                 u"Genres/horror/1.vtq", u"Genres/horror/65.vtq"}));
    EXPECT_EQ(story.tree().readText(u"Genres/horror/1.vtq"), u"1\r\n1\r\nШаги\r\n");
}
