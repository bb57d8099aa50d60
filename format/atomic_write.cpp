#include "atomic_write.h"

#include "format/story_error.h"

#include <QSaveFile>

namespace vorta {

void writeFileAtomically(const QString &fullPath, const QString &shownName, const QByteArray &bytes)
{
    QSaveFile file(fullPath);
    // The bytes only reach the disk when the buffer is flushed, and commit() would put a file
    // whose flush failed in place of the old one: flush first, so a failed write keeps it.
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush() ||
        !file.commit())
        throw StoryError(ErrorKind::FileNotWritten, shownName, 0, file.errorString());
}

} // namespace vorta
