// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "fuzz_support.h"

#include "core/tree_paths.h"
#include "format/story_file.h"
#include "format/story_file_writer.h"

using namespace vorta;

namespace {

const QString kShownName = QStringLiteral("fuzz.vorta");

// Every kept path is a plain relative path inside the tree.
bool staysInTheTree(const QString &path)
{
    if (path.isEmpty() || path.startsWith(QLatin1Char('/')) || path.contains(QLatin1Char('\\')))
        return false;
    for (const QStringView part : QStringView(path).split(QLatin1Char('/'))) {
        if (part.isEmpty() || part == u"." || part == u"..")
            return false;
    }
    return path == toQString(kSettingsFile) ||
           path.startsWith(toQString(kGenresFolder) + QLatin1Char('/'));
}

} // namespace

// A story file as any bytes: a StoryError naming the file, or a story whose files stay in the
// tree, whose identifier is a plain folder name, and which writes and reads back the same.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = fuzz::dataDir().filePath(kShownName);
    fuzz::writeDataFile(kShownName, fuzz::bytesOf(data, size));

    StoryFile story;
    try {
        story = readStoryFile(path, kShownName);
    } catch (const StoryError &error) {
        fuzz::require(toQString(error.file()).startsWith(kShownName),
                      "the error names the story file");
        fuzz::require(!messageOf(error).contains(QChar(0)), "the message holds no NUL");
        return 0;
    }
    fuzz::require(isValidStoryIdentifier(story.metadata.identifier), "a plain identifier");
    const std::vector<StoryFileEntry> &files = story.contents.files;
    for (const StoryFileEntry &file : files)
        fuzz::require(staysInTheTree(toQString(file.path)), "every file inside the tree");
    fuzz::require(readStoryFileDirectory(path, kShownName).metadata == story.metadata,
                  "the cheap look finds the same metadata");

    const QString again = fuzz::dataDir().filePath(QStringLiteral("again.vorta"));
    writeStoryFile(again, QStringLiteral("again.vorta"), story.metadata, files);
    const StoryFile reread = readStoryFile(again, QStringLiteral("again.vorta"));
    const std::vector<StoryFileEntry> &rereadFiles = reread.contents.files;
    fuzz::require(reread.metadata == story.metadata && rereadFiles.size() == files.size(),
                  "written and read back the same");
    for (std::size_t i = 0; i < files.size(); ++i)
        fuzz::require(rereadFiles.at(i).path == files.at(i).path &&
                          rereadFiles.at(i).bytes == files.at(i).bytes,
                      "every file read back the same");
    return 0;
}
