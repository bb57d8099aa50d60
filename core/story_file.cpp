// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/story_file.h"

#include "core/catalogue_file.h"
#include "core/text.h"
#include "core/tree_paths.h"
#include "core/zip_archive.h"

namespace vorta {

namespace {

constexpr ZipArchive::Caps kCaps{kMostEntries, kUnpackedCap};

// The MIME type entry: the first in the directory and in the file, stored, exactly the type.
void checkMimeType(ZipArchive &archive)
{
    const std::vector<ZipEntry> &entries = archive.entries();
    if (entries.empty() || entries.front().name != kMimeTypeEntry ||
        entries.front().localHeaderOffset != 0)
        archive.fail(format(u"первой записью должен быть \"%1\"", {kMimeTypeEntry}));
    const ZipEntry &entry = entries.front();
    if (entry.method != 0)
        archive.fail(format(u"запись \"%1\" сжата", {kMimeTypeEntry}));
    if (archive.read(entry, kStoryFileMimeType.size()) != toUtf8(kStoryFileMimeType))
        archive.fail(format(u"запись \"%1\" не %2", {kMimeTypeEntry, kStoryFileMimeType}));
}

StoryFileDirectory directoryOf(ZipArchive &archive)
{
    checkMimeType(archive);
    StoryFileDirectory directory;
    const ZipEntry *metadata = archive.find(kStoryMetadataFile);
    if (!metadata)
        archive.fail(format(u"нет записи \"%1\"", {kStoryMetadataFile}));
    directory.metadataJson = archive.read(*metadata, kStoryMetadataCap);
    for (const ZipEntry &entry : archive.entries())
        directory.entries.push_back({entry.name, entry.crc32, entry.size});
    return directory;
}

// The catalogue must read as the program reads it, or the story could not even start.
void checkCatalogue(const StoryFileContents &story, const std::u16string &shownName)
{
    try {
        CatalogueReader reader(TextReader::open(story.tree(), kCatalogueFile));
        while (!reader.atEnd())
            reader.next();
    } catch (const StoryError &error) {
        std::u16string why = error.kindText();
        if (!error.detail().empty())
            why += u": " + error.detail();
        throw StoryError(ErrorKind::BadStoryFile, shownName + u":" + kCatalogueFile, error.line(),
                         why);
    }
}

void checkSize(const ByteSource &source, const std::u16string &shownName)
{
    if (source.size() > kStoryFileCap)
        throw StoryError(ErrorKind::FileTooLarge, shownName, 0,
                         format(u"%1 байт, предел %2", {decimal(std::int64_t(source.size())),
                                                        decimal(std::int64_t(kStoryFileCap))}));
}

} // namespace

bool isTreeFile(std::u16string_view path)
{
    const std::size_t slash = path.rfind(u'/');
    const std::u16string_view fileName =
        slash == std::u16string_view::npos ? path : path.substr(slash + 1);
    if (startsWith(fileName, kSavedStoryFile))
        return false;
    return path == kSettingsFile || startsWith(path, kGenresFolder + u"/");
}

DataTree StoryFileContents::tree() const
{
    auto memory = std::make_shared<MemoryTree>();
    for (const StoryFileEntry &file : files)
        memory->add(file.path, file.bytes);
    return DataTree(memory);
}

StoryFileDirectory readStoryFileDirectory(const ByteSource &source, const std::u16string &shownName)
{
    checkSize(source, shownName);
    ZipArchive archive(source, shownName, kCaps);
    return directoryOf(archive);
}

StoryFileContents readStoryFile(const ByteSource &source, const std::u16string &shownName)
{
    checkSize(source, shownName);
    ZipArchive archive(source, shownName, kCaps);
    StoryFileContents story;
    story.directory = directoryOf(archive);
    std::uint64_t unpacked = 0;
    for (const ZipEntry &entry : archive.entries()) {
        if (entry.folder || !isTreeFile(entry.name))
            continue;
        story.files.push_back({entry.name, archive.read(entry, std::uint64_t(capFor(entry.name)))});
        unpacked += story.files.back().bytes.size();
        if (unpacked > kUnpackedCap)
            archive.fail(format(u"архив распаковывается больше чем в %1 байт",
                                {decimal(std::int64_t(kUnpackedCap))}));
    }
    checkCatalogue(story, shownName);
    return story;
}

} // namespace vorta
