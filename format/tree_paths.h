// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// Where each file of a story tree lies, relative to the tree's folder.
namespace vorta {

inline const QString kSettingsFile = QStringLiteral("vorta.cfg");
inline const QString kCatalogueFile = QStringLiteral("Genres/genres.vtq");
inline const QString kGenresFolder = QStringLiteral("Genres");
// The story in progress, which the reader's program keeps in the story's own folder beside its
// data files (with the stories set aside under names that begin the same); never part of a story.
inline const QString kSavedStoryFile = QStringLiteral("story.journal");

// "Genres/<genre folder>", the folder of one genre's files.
QString genreFolderPath(const QString &genreDir);

// "Genres/<genre folder>/<plain digits of the step>.vtq"; step 65 is the finale file.
QString fragmentFilePath(const QString &genreDir, qint32 step);

} // namespace vorta
