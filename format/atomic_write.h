#pragma once

#include <QByteArray>
#include <QString>

namespace vorta {

// The one road by which a file is written: the bytes go to a temporary file beside it, which
// replaces the file in one rename only once every byte is on the disk, so a failed write (a full
// disk, a folder that cannot be written) leaves the old file as it was. Every failure is a
// StoryError of kind FileNotWritten naming the file as shownName.
void writeFileAtomically(const QString &fullPath, const QString &shownName,
                         const QByteArray &bytes);

} // namespace vorta
