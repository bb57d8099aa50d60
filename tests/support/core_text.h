// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/diagnostics.h"
#include "core/story_state.h"
#include "format/qt_text.h"

#include <QStringList>
#include <QTest>

#include <string>
#include <vector>

// The core's text in a failed comparison prints as the text it holds.
namespace QTest {

template <> inline char *toString(const std::u16string &text)
{
    return toString(vorta::toQString(text));
}

template <> inline char *toString(const std::vector<std::u16string> &texts)
{
    return toString(vorta::toQStringList(texts));
}

// Findings print as the authors' tool prints them, one a line.
template <> inline char *toString(const std::vector<vorta::Diagnostic> &diagnostics)
{
    QStringList lines;
    for (const vorta::Diagnostic &diagnostic : diagnostics)
        lines.append(vorta::toQString(vorta::formatDiagnostic(diagnostic)));
    return toString(lines.join(QLatin1Char('\n')));
}

} // namespace QTest

// The lines a story has told so far, 1 .. nextLine - 1.
inline QStringList toldLines(const vorta::StoryState &state)
{
    QStringList lines;
    for (std::int32_t entry = 1; entry < state.nextLine; ++entry)
        lines.append(vorta::toQString(vorta::storyLine(state, entry)));
    return lines;
}
