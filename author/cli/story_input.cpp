// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "story_input.h"

#include "author/cli/command.h"
#include "author/manuscript/manuscript.h"

#include <QFileInfo>

namespace vorta::author {

StoryInput::StoryInput(const QDir &folder, const QString &shownPath)
    : m_tree(folder), m_folder(folder), m_shownPath(QDir::cleanPath(shownPath))
{
    if (QFileInfo(folder.filePath(kManuscriptCatalogue)).isFile()) {
        m_build = buildTree(folder, m_shownPath);
        m_tree = m_build->tree;
    }
}

QString StoryInput::title() const
{
    return QFileInfo(m_folder.absolutePath()).fileName();
}

QList<Diagnostic> StoryInput::sourceDiagnostics() const
{
    return m_build ? m_build->diagnostics : QList<Diagnostic>();
}

QList<Diagnostic> StoryInput::withSourceFindings(const QList<Diagnostic> &treeDiagnostics) const
{
    return m_build ? withTreeFindings(*m_build, treeDiagnostics, m_shownPath) : treeDiagnostics;
}

QList<Diagnostic> StoryInput::placed(const QList<Diagnostic> &treeDiagnostics) const
{
    return m_build ? atManuscriptLines(treeDiagnostics, *m_build, m_shownPath) : treeDiagnostics;
}

SourcePlace StoryInput::placeOf(const QString &path, int line) const
{
    if (m_build) {
        if (const std::optional<SourcePlace> source = m_build->sourceOf(path, line))
            return *source;
    }
    return {path, line};
}

StoryError StoryInput::placed(const StoryError &error) const
{
    if (!m_build || error.file().isEmpty())
        return error;
    const SourcePlace place = placeOf(error.file(), error.line());
    return StoryError(error.kind(), place.path, place.line, error.detail());
}

int reportSourceErrors(const StoryInput &story, QTextStream &err)
{
    QList<Diagnostic> errors;
    for (const Diagnostic &diagnostic : story.sourceDiagnostics()) {
        if (diagnostic.severity == Severity::Error)
            errors.append(diagnostic);
    }
    reportDiagnostics(errors, err);
    return ExitErrors;
}

} // namespace vorta::author
