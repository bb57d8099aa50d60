// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "diagnostics.h"

#include "author/report/plural.h"

#include "format/story_error.h"

#include <algorithm>

namespace vorta::author {

QString severityName(Severity severity)
{
    switch (severity) {
    case Severity::Error:
        return QStringLiteral("error");
    case Severity::Warning:
        return QStringLiteral("warning");
    case Severity::Note:
        return QStringLiteral("note");
    }
    return {};
}

QString formatDiagnostic(const Diagnostic &diagnostic)
{
    return QStringLiteral("%1:%2: %3: %4")
        .arg(diagnostic.path)
        .arg(diagnostic.line)
        .arg(severityName(diagnostic.severity), diagnostic.text);
}

bool pathLess(const QString &a, const QString &b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (a.at(i).isDigit() && b.at(j).isDigit()) {
            qsizetype endA = i;
            while (endA < a.size() && a.at(endA).isDigit())
                ++endA;
            qsizetype endB = j;
            while (endB < b.size() && b.at(endB).isDigit())
                ++endB;
            // Without leading zeros a longer run is a larger number; equal lengths compare
            // digit by digit.
            const QStringView runA = QStringView(a).sliced(i, endA - i);
            const QStringView runB = QStringView(b).sliced(j, endB - j);
            if (runA.size() != runB.size())
                return runA.size() < runB.size();
            if (const int order = runA.compare(runB); order != 0)
                return order < 0;
            i = endA;
            j = endB;
            continue;
        }
        if (a.at(i) != b.at(j))
            return a.at(i) < b.at(j);
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

void sortDiagnostics(QList<Diagnostic> &diagnostics)
{
    std::stable_sort(diagnostics.begin(), diagnostics.end(),
                     [](const Diagnostic &a, const Diagnostic &b) {
                         if (a.path != b.path)
                             return pathLess(a.path, b.path);
                         return a.line < b.line;
                     });
}

qsizetype countOf(const QList<Diagnostic> &diagnostics, Severity severity)
{
    return std::count_if(diagnostics.begin(), diagnostics.end(),
                         [severity](const Diagnostic &d) { return d.severity == severity; });
}

QString errorText(const StoryError &error)
{
    return error.detail().isEmpty() ? error.kindText()
                                    : error.kindText() + QStringLiteral(": ") + error.detail();
}

QString summaryLine(const QList<Diagnostic> &diagnostics)
{
    return countText(countOf(diagnostics, Severity::Error), QStringLiteral("ошибка"),
                     QStringLiteral("ошибки"), QStringLiteral("ошибок")) +
           QStringLiteral(", ") +
           countText(countOf(diagnostics, Severity::Warning), QStringLiteral("предупреждение"),
                     QStringLiteral("предупреждения"), QStringLiteral("предупреждений"));
}

QString blankCatalogueLineText()
{
    return QStringLiteral("пустая строка в каталоге: программа прочтёт её как жанр без имени, и "
                          "все пары после неё сдвинутся; каждая строка — «имя,папка»");
}

} // namespace vorta::author
