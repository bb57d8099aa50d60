// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/diagnostics.h"

#include "core/catalogue_file.h"
#include "core/story_facts.h"
#include "format/qt_text.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

namespace vorta::author {

inline const QString kManuscriptCatalogue = QStringLiteral("genres.txt");

// One told line of a manuscript and the manuscript line it stands on.
struct SourceLine
{
    QString text;
    int line = 0;
};

struct ManuscriptVariant
{
    int line = 0; // its step heading, or the "---" that starts it
    QList<SourceLine> lines;
};

struct ManuscriptStep
{
    int line = 0; // 0 when the step is missing
    QList<ManuscriptVariant> variants;
};

struct ManuscriptRecord
{
    int line = 0; // its heading
    qint32 leastUsedGenre = 0;
    qint32 mostUsedGenre = 0;
    QList<SourceLine> lines;
};

// One genre's manuscript as read; steps[s] for s in 1..64.
struct GenreManuscript
{
    std::array<ManuscriptStep, kFinaleStep> steps;
    QList<ManuscriptRecord> records;
};

// Reads a genre manuscript (UTF-8, LF or CR LF). Every finding is added to diagnostics under
// shownPath, at the manuscript's own lines; a fault in one place does not hide the others.
GenreManuscript parseGenreManuscript(const QByteArray &bytes, const QString &shownPath,
                                     std::vector<Diagnostic> &diagnostics);

enum class Comments
{
    Told,    // every line is told (the catalogue)
    Skipped, // lines starting with "//" are not told, so any character may stand in them
};

// The lines of a UTF-8 manuscript file, each told line checked to have a Windows-1251 form;
// every line that fails is an error under shownPath, and is kept as far as it reads.
QStringList manuscriptLines(const QByteArray &bytes, const QString &shownPath,
                            std::vector<Diagnostic> &diagnostics, Comments comments);

// Whether a story line would read as a marker and so is written with "\" in front: a heading,
// a comment, an escaped line or a separator.
bool needsEscape(const QString &storyLine);

// A line that only lays out the manuscript when it stands at the edge of a variant.
bool isBlank(QStringView line);

// A told line as the manuscript writes it: with "\" in front where it would read as a marker, or
// as layout at the edge (the first or last line) of its variant or record.
QString manuscriptLine(const QString &storyLine, bool atEdge);

// The told lines of a manuscript's catalogue, each with its line. Blank lines after the last
// genre are layout. One before it would read as a genre without a name and shift every pair
// after it, so it is an error at its own line under shownPath, and is left out.
QList<SourceLine> catalogueLines(const QStringList &lines, const QString &shownPath,
                                 std::vector<Diagnostic> &diagnostics);

// The catalogue's pairs read as the program reads them (so a build fails where the program
// would), each directory checked to name one folder; findings are errors under shownPath, at
// the lines the told lines stand on.
QList<CatalogueEntry> readCatalogue(const QList<SourceLine> &lines, const QString &shownPath,
                                    std::vector<Diagnostic> &diagnostics);

// The heading of a finale record.
QString finaleHeading(qint64 leastUsedGenre, qint64 mostUsedGenre);
// How a finale heading is written, for messages: «## 65: L, M».
QString finaleHeadingPattern();

} // namespace vorta::author
