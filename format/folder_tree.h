// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/story_tree.h"

#include <QDir>

namespace vorta {

// The story tree in a folder on disk: every read through the one capped reader of data files,
// every write atomic.
DataTree folderTree(const QDir &folder);

} // namespace vorta
