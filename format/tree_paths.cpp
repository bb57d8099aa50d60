// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

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
    const QString digits = step >= 0 ? QString::number(step) : numberText(step).mid(1);
    // Built in one piece: every move of a story asks for one.
    const QLatin1String extension(".vtq");
    QString path;
    path.reserve(kGenresFolder.size() + genreDir.size() + digits.size() + extension.size() + 2);
    path.append(kGenresFolder)
        .append(QLatin1Char('/'))
        .append(genreDir)
        .append(QLatin1Char('/'))
        .append(digits)
        .append(extension);
    return path;
}

} // namespace vorta
