// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/diagnostics.h"
#include "core/story_tree.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <vector>

namespace vorta::author {

// One file of a manuscript folder.
struct ManuscriptFile
{
    QString name; // relative to the manuscript folder
    QByteArray bytes;
};

struct TreeUnpack
{
    std::vector<Diagnostic> diagnostics; // the tree's, at its own lines
    QList<ManuscriptFile> files;         // empty when a diagnostic is an error
};

// The manuscript of a story tree: genres.txt, one <dir>.txt per genre and, when the tree's
// settings file differs from the written form of 2 and 5, vorta.cfg. Building it gives the
// tree back byte for byte when the tree is in canonical form.
TreeUnpack unpackTree(const DataTree &tree);

} // namespace vorta::author
