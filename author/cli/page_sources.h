// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <optional>

namespace vorta::author {

// Where web reads the page's own files: the page (index.html, its script, style sheet, service
// worker and manifest) and the story module compiled to WebAssembly. An installed program finds
// both in share/vorta/web beside it; one run from the build tree finds the page's sources and
// the module the web preset built.
struct PageSources
{
    QString pageDir;
    QString moduleDir;
    bool installed = false; // a missing file is a broken installation, not a build to make
};

PageSources pageSources();

// For tests: the folders read instead of the program's own; none puts those back.
void setPageSources(std::optional<PageSources> sources);

} // namespace vorta::author
