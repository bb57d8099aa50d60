// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDir>
#include <QString>

#include <optional>

#include "format/tree_paths.h"

namespace vorta {

// The largest files the program reads: the settings file holds two small numbers, and no story
// file comes near the other limit, while a device or a runaway file would fill the memory.
constexpr qint64 kSettingsFileCap = 4 * 1024;
constexpr qint64 kDataFileCap = 16 * 1024 * 1024;

// The cap that applies to one file of the data folder.
qint64 capFor(const QString &relativePath);

// The one road by which a data file is read: a regular file only (never a pipe, a device or a
// folder, which could block or never end), read whole but never past the cap. Every failure is a
// StoryError naming the file as shownName and saying what happened.
QByteArray readCappedFile(const QString &fullPath, const QString &shownName, qint64 cap);

// Opens a file for reading as readCappedFile does (a regular file within the cap, asked again once
// open), and returns its descriptor for the caller to close.
int openCappedFile(const QString &fullPath, const QString &shownName, qint64 cap);

// The first bytes of a plain file, at most `most` of them, never through a link nor from a pipe or
// a device put in its place; none when there is no such file or it does not read.
std::optional<QByteArray> readFileStart(const QString &fullPath, qint64 most);

// The same for a file of the data folder, with the cap that applies to it.
QByteArray readDataFile(const QDir &dataDir, const QString &relativePath);

} // namespace vorta
