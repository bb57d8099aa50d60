// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QString>

#include <functional>

namespace vorta {
class StoryError;
}

namespace vorta::author {

enum class Severity
{
    Error,
    Warning,
    Note
};

// One finding about the story data, as a compiler would print it.
struct Diagnostic
{
    QString path; // relative to the data folder
    int line = 0; // 0 where the file as a whole is meant (a missing file)
    Severity severity = Severity::Error;
    QString text;

    bool operator==(const Diagnostic &) const = default;
};

// Takes each finding as soon as it is made, so a slow read still shows what came before it.
using DiagnosticSink = std::function<void(const Diagnostic &)>;

// "PATH:LINE: error: TEXT" (or warning, note).
QString formatDiagnostic(const Diagnostic &diagnostic);

QString severityName(Severity severity);

// Numbers inside paths compare by value, so Genres/x/2.vtq comes before Genres/x/10.vtq.
bool pathLess(const QString &a, const QString &b);

// By path, then by line; findings at the same place keep the order in which they were made.
void sortDiagnostics(QList<Diagnostic> &diagnostics);

qsizetype countOf(const QList<Diagnostic> &diagnostics, Severity severity);

// A read error as a diagnostic says it: its kind, then what the reader found.
QString errorText(const StoryError &error);

// The finding at a blank line inside a catalogue (see blankLinesInside).
QString blankCatalogueLineText();

// "N ошибок, M предупреждений", each noun in the form its count takes.
QString summaryLine(const QList<Diagnostic> &diagnostics);

} // namespace vorta::author
