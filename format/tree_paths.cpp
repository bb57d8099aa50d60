#include "tree_paths.h"

#include "format/numbers.h"

namespace vorta {

QString genreFolderPath(const QString &genreDir)
{
    return kGenresFolder + QLatin1Char('/') + genreDir;
}

QString fragmentFilePath(const QString &genreDir, qint32 step)
{
    // The signed text of the step without its first character: plain digits for 1 and up.
    return genreFolderPath(genreDir) + QLatin1Char('/') + numberText(step).mid(1) +
           QStringLiteral(".vtq");
}

} // namespace vorta
