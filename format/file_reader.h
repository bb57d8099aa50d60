// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDir>
#include <QString>

#include <optional>

#include "core/byte_source.h"
#include "core/tree_paths.h"

namespace vorta {

// The one road by which a data file is read: a regular file only (never a pipe, a device or a
// folder, which could block or never end), read whole but never past the cap. Every failure is a
// StoryError naming the file as shownName and saying what happened.
QByteArray readCappedFile(const QString &fullPath, const QString &shownName, qint64 cap);

// The first bytes of a plain file, at most `most` of them, never through a link nor from a pipe or
// a device put in its place; none when there is no such file or it does not read.
std::optional<QByteArray> readFileStart(const QString &fullPath, qint64 most);

// The same for a file of the data folder, with the cap that applies to it.
QByteArray readDataFile(const QDir &dataDir, const QString &relativePath);

// A regular file read by pieces, for a reader that needs only some of it (a story file's
// directory); opened and checked as a data file is, the file no larger than the cap. Every
// failure is a StoryError naming shownName.
class FileBytes : public ByteSource
{
public:
    FileBytes(const QString &fullPath, const QString &shownName, qint64 cap);
    ~FileBytes() override;
    FileBytes(const FileBytes &) = delete;
    FileBytes &operator=(const FileBytes &) = delete;

    std::uint64_t size() const override { return m_size; }
    std::string read(std::uint64_t offset, std::size_t length) const override;

private:
    QString m_shownName;
    int m_fd = -1;
    std::uint64_t m_size = 0;
};

} // namespace vorta
