#include "file_writes.h"

#include "author/check/diagnostics.h"

#include "format/atomic_write.h"
#include "format/file_reader.h"
#include "format/story_error.h"

#include <QDir>
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

WriteOutcome writeIfChanged(const QString &fullPath, const QByteArray &bytes)
{
    std::optional<QByteArray> existing;
    try {
        existing = readExisting(fullPath, fullPath);
    } catch (const StoryError &e) {
        throw FileWriteError{fullPath, errorText(e)};
    }
    if (existing == bytes)
        return WriteOutcome::Unchanged;
    const QString folder = QFileInfo(fullPath).absolutePath();
    if (!QDir().mkpath(folder))
        throw FileWriteError{fullPath, QStringLiteral("не создать папку %1").arg(folder)};
    try {
        writeFileAtomically(fullPath, fullPath, bytes);
    } catch (const StoryError &e) {
        throw FileWriteError{fullPath, e.detail()};
    }
    return WriteOutcome::Written;
}

} // namespace vorta::author
