// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "story_export.h"

#include "core/story_state.h"
#include "format/atomic_write.h"

namespace vorta::ui {

QString storyText(const StoryState &state)
{
    QString text;
    const qsizetype told = qMin(qsizetype(state.nextLine), state.storyLines.size());
    for (qsizetype i = 1; i < told; ++i) {
        text += state.storyLines.at(i);
        text += QLatin1Char('\n');
    }
    return text;
}

QString storyFileName(const QDateTime &when)
{
    return QStringLiteral("рассказ-%1.txt").arg(when.toString(QStringLiteral("yyyy-MM-dd-HHmm")));
}

void writeStoryFile(const QString &path, const StoryState &state)
{
    writeFileAtomically(path, path, storyText(state).toUtf8());
}

} // namespace vorta::ui
