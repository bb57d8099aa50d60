#pragma once

#include "author/check/diagnostics.h"

#include <QByteArray>
#include <QDir>
#include <QHash>
#include <QList>
#include <QString>

namespace vorta::author {

// Where a line of a built file came from.
struct SourcePlace
{
    QString path; // as shown in diagnostics
    int line = 0;
};

// One file of the story tree as a build makes it.
struct BuiltFile
{
    QString path; // relative to the tree
    QByteArray bytes;
    QList<SourcePlace> sources; // one per line of the file
};

struct TreeBuild
{
    QList<Diagnostic> diagnostics; // the manuscript's, at its own lines
    QList<BuiltFile> files;        // empty when a diagnostic is an error
};

// The story tree in canonical form from the manuscript folder: Windows-1251, CR LF after every
// line, counts in plain digits. The manuscript's paths are shown under shownManuscript. The
// settings file comes from the manuscript when it has one; otherwise the tree's own is kept,
// and a tree without one gets the written form of 2 and 5.
TreeBuild buildTree(const QDir &manuscriptDir, const QString &shownManuscript, const QDir &treeDir);

// The findings of the whole-tree check moved, where the build made the file, to the manuscript
// lines the file's lines came from; the others name their file under shownTree.
QList<Diagnostic> atManuscriptLines(const QList<Diagnostic> &treeDiagnostics,
                                    const QList<BuiltFile> &files, const QString &shownTree);

// The bytes of a fragment file or a finale file, and where each of its lines came from.
struct FileText
{
    QByteArray bytes;
    QList<SourcePlace> sources;

    void addLine(const QString &text, const SourcePlace &source);
};

} // namespace vorta::author
