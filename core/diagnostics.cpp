// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/diagnostics.h"

#include "core/plural.h"
#include "core/story_error.h"

#include <algorithm>

namespace vorta {

std::u16string severityName(Severity severity)
{
    switch (severity) {
    case Severity::Error:
        return u"error";
    case Severity::Warning:
        return u"warning";
    case Severity::Note:
        return u"note";
    }
    return {};
}

std::u16string formatDiagnostic(const Diagnostic &diagnostic)
{
    return diagnostic.path + u":" + decimal(diagnostic.line) + u": " +
           severityName(diagnostic.severity) + u": " + diagnostic.text;
}

namespace {

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

bool pathLess(std::u16string_view a, std::u16string_view b)
{
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            std::size_t endA = i;
            while (endA < a.size() && isDigit(a[endA]))
                ++endA;
            std::size_t endB = j;
            while (endB < b.size() && isDigit(b[endB]))
                ++endB;
            // Without leading zeros a longer run is a larger number; equal lengths compare
            // digit by digit.
            const std::u16string_view runA = a.substr(i, endA - i);
            const std::u16string_view runB = b.substr(j, endB - j);
            if (runA.size() != runB.size())
                return runA.size() < runB.size();
            if (const int order = runA.compare(runB); order != 0)
                return order < 0;
            i = endA;
            j = endB;
            continue;
        }
        if (a[i] != b[j])
            return a[i] < b[j];
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

void sortDiagnostics(std::vector<Diagnostic> &diagnostics)
{
    std::stable_sort(diagnostics.begin(), diagnostics.end(),
                     [](const Diagnostic &a, const Diagnostic &b) {
                         if (a.path != b.path)
                             return pathLess(a.path, b.path);
                         return a.line < b.line;
                     });
}

std::size_t countOf(const std::vector<Diagnostic> &diagnostics, Severity severity)
{
    return std::size_t(
        std::count_if(diagnostics.begin(), diagnostics.end(),
                      [severity](const Diagnostic &d) { return d.severity == severity; }));
}

std::u16string errorText(const StoryError &error)
{
    return error.detail().empty() ? error.kindText() : error.kindText() + u": " + error.detail();
}

std::u16string summaryLine(const std::vector<Diagnostic> &diagnostics)
{
    return countText(std::int64_t(countOf(diagnostics, Severity::Error)), u"ошибка", u"ошибки",
                     u"ошибок") +
           u", " +
           countText(std::int64_t(countOf(diagnostics, Severity::Warning)), u"предупреждение",
                     u"предупреждения", u"предупреждений");
}

std::u16string blankCatalogueLineText()
{
    return u"пустая строка в каталоге: программа прочтёт её как жанр без имени, и все пары "
           u"после неё сдвинутся; каждая строка — «имя,папка»";
}

} // namespace vorta
