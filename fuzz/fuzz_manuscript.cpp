// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "fuzz_support.h"

#include "author/manuscript/manuscript.h"

#include "core/story_step.h"

using namespace vorta;
using namespace vorta::author;

namespace {

const QString kPath = QStringLiteral("story/genre.txt");

// What a manuscript tells: every step's variants and every record, line by line.
QList<QStringList> told(const GenreManuscript &manuscript)
{
    QList<QStringList> parts;
    for (int step = 1; step < kFinaleStep; ++step) {
        for (const ManuscriptVariant &variant : manuscript.steps[std::size_t(step)].variants) {
            QStringList lines{QStringLiteral("## %1").arg(step)};
            for (const SourceLine &line : variant.lines)
                lines.append(line.text);
            parts.append(lines);
        }
    }
    for (const ManuscriptRecord &record : manuscript.records) {
        QStringList lines{finaleHeading(record.leastUsedGenre, record.mostUsedGenre)};
        for (const SourceLine &line : record.lines)
            lines.append(line.text);
        parts.append(lines);
    }
    return parts;
}

void appendLines(const QList<SourceLine> &lines, QString &text)
{
    for (qsizetype i = 0; i < lines.size(); ++i)
        text +=
            manuscriptLine(lines.at(i).text, i == 0 || i == lines.size() - 1) + QLatin1Char('\n');
}

} // namespace

// A genre manuscript as any bytes: diagnostics at lines of the file, and a manuscript that reads
// without error tells the same lines when written back the way unpack writes it.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzz::bytesOf(data, size);
    std::vector<Diagnostic> diagnostics;
    const GenreManuscript manuscript = parseGenreManuscript(bytes, kPath, diagnostics);
    const int lines = int(bytes.count('\n') + bytes.count('\r')) + 1;
    for (const Diagnostic &diagnostic : diagnostics) {
        fuzz::require(toQString(diagnostic.path) == kPath, "a diagnostic names the manuscript");
        fuzz::require(diagnostic.line >= 1 && diagnostic.line <= lines,
                      "a diagnostic names a line of the file");
        fuzz::require(!diagnostic.text.empty(), "a diagnostic says something");
    }
    if (countOf(diagnostics, Severity::Error) > 0)
        return 0;

    QString text;
    for (int step = 1; step < kFinaleStep; ++step) {
        text += QStringLiteral("## %1\n").arg(step);
        const QList<ManuscriptVariant> &variants = manuscript.steps[std::size_t(step)].variants;
        for (qsizetype v = 0; v < variants.size(); ++v) {
            if (v > 0)
                text += QStringLiteral("---\n");
            appendLines(variants.at(v).lines, text);
        }
    }
    for (const ManuscriptRecord &record : manuscript.records) {
        text += finaleHeading(record.leastUsedGenre, record.mostUsedGenre) + QLatin1Char('\n');
        appendLines(record.lines, text);
    }
    std::vector<Diagnostic> again;
    const GenreManuscript reread = parseGenreManuscript(text.toUtf8(), kPath, again);
    fuzz::require(countOf(again, Severity::Error) == 0, "the written manuscript reads");
    fuzz::require(told(reread) == told(manuscript), "the written manuscript tells the same");
    return 0;
}
