// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "format/atomic_write.h"

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QStringList>

#include <optional>

namespace vorta::author {

enum class WriteOutcome
{
    Unchanged, // the file held these bytes already and was not touched
    Written,
};

struct FileWriteError
{
    QString path;
    QString reason;
};

// The files one run of a subcommand writes, replaced all together or not at all (see
// StagedFiles). A file that holds its bytes already is left untouched, so build tools and
// editors see no change. Every failure is a FileWriteError, and leaves every file as it was.
class FileWrites
{
public:
    // Stages the bytes for the file (making its folder when missing) unless it holds them
    // already.
    WriteOutcome add(const QString &fullPath, const QByteArray &bytes);
    // Puts every staged file in place, in the order added.
    void commit();

private:
    StagedFiles m_files;
};

// Reads a file that a subcommand is about to replace or compare with: std::nullopt when it does
// not exist. Throws StoryError when it exists but cannot be read (a folder, a pipe, too large).
std::optional<QByteArray> readExisting(const QString &fullPath, const QString &shownName);

// Removes the temporary files that a build killed before its renames left in the tree: beside
// the settings, the catalogue and every genre's files. Returns how many there were.
qsizetype removeLeftoverTemporaries(const QDir &tree);

} // namespace vorta::author
