// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "file_writes.h"

#include "core/diagnostics.h"

#include "core/tree_paths.h"
#include "format/file_reader.h"
#include "format/qt_text.h"

#include <QFileInfo>

namespace vorta::author {

std::optional<QByteArray> readExisting(const QString &fullPath, const QString &shownName)
{
    try {
        return readCappedFile(fullPath, shownName, kDataFileCap);
    } catch (const StoryError &e) {
        if (e.kind() == ErrorKind::FileNotFound)
            return std::nullopt;
        throw;
    }
}

WriteOutcome FileWrites::add(const QString &fullPath, const QByteArray &bytes)
{
    std::optional<QByteArray> existing;
    try {
        existing = readExisting(fullPath, fullPath);
        if (existing == bytes)
            return WriteOutcome::Unchanged;
        m_files.makeFolder(QFileInfo(fullPath).absolutePath(), fullPath);
        m_files.stage(fullPath, fullPath, bytes);
    } catch (const StoryError &e) {
        throw FileWriteError{
            fullPath, toQString(e.kind() == ErrorKind::FileNotWritten ? e.detail() : errorText(e))};
    }
    return WriteOutcome::Written;
}

void FileWrites::commit()
{
    try {
        m_files.commit();
    } catch (const StoryError &e) {
        throw FileWriteError{toQString(e.file()), toQString(e.detail())};
    }
}

qsizetype removeLeftoverTemporaries(const QDir &tree)
{
    qsizetype removed = vorta::removeLeftoverTemporaries(tree).size();
    const QDir genres(tree.filePath(toQString(kGenresFolder)));
    removed += vorta::removeLeftoverTemporaries(genres).size();
    const QStringList folders =
        genres.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::NoSymLinks);
    for (const QString &folder : folders)
        removed += vorta::removeLeftoverTemporaries(QDir(genres.filePath(folder))).size();
    return removed;
}

} // namespace vorta::author
