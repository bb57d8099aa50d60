#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace vorta::author {

enum class WriteOutcome
{
    Unchanged, // the file held these bytes already and was not touched
    Written,
};

// Replaces the file atomically with the bytes (making its folder when missing), unless it holds
// them already, so build tools and editors see no change. Throws FileWriteError on failure.
WriteOutcome writeIfChanged(const QString &fullPath, const QByteArray &bytes);

// Reads a file that a subcommand is about to replace or compare with: std::nullopt when it does
// not exist. Throws StoryError when it exists but cannot be read (a folder, a pipe, too large).
std::optional<QByteArray> readExisting(const QString &fullPath, const QString &shownName);

struct FileWriteError
{
    QString path;
    QString reason;
};

} // namespace vorta::author
