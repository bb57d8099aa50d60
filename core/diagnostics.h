// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <functional>
#include <string>
#include <vector>

namespace vorta {

class StoryError;

enum class Severity
{
    Error,
    Warning,
    Note
};

// One finding about the story data, as a compiler would print it.
struct Diagnostic
{
    std::u16string path; // relative to the story's folder
    int line = 0;        // 0 where the file as a whole is meant (a missing file)
    Severity severity = Severity::Error;
    std::u16string text;

    bool operator==(const Diagnostic &) const = default;
};

// Takes each finding as soon as it is made, so a slow read still shows what came before it.
using DiagnosticSink = std::function<void(const Diagnostic &)>;

// "PATH:LINE: error: TEXT" (or warning, note).
std::u16string formatDiagnostic(const Diagnostic &diagnostic);

std::u16string severityName(Severity severity);

// Numbers inside paths compare by value, so Genres/x/2.vtq comes before Genres/x/10.vtq.
bool pathLess(std::u16string_view a, std::u16string_view b);

// By path, then by line; findings at the same place keep the order in which they were made.
void sortDiagnostics(std::vector<Diagnostic> &diagnostics);

std::size_t countOf(const std::vector<Diagnostic> &diagnostics, Severity severity);

// A read error as a diagnostic says it: its kind, then what the reader found.
std::u16string errorText(const StoryError &error);

// The finding at a blank line inside a catalogue (see blankLinesInside).
std::u16string blankCatalogueLineText();

// "N ошибок, M предупреждений", each noun in the form its count takes.
std::u16string summaryLine(const std::vector<Diagnostic> &diagnostics);

} // namespace vorta
