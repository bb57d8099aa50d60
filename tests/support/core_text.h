// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

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

} // namespace QTest

// The lines a story has told so far, 1 .. nextLine - 1.
inline QStringList toldLines(const vorta::StoryState &state)
{
    QStringList lines;
    for (std::int32_t entry = 1; entry < state.nextLine; ++entry)
        lines.append(vorta::toQString(vorta::storyLine(state, entry)));
    return lines;
}
