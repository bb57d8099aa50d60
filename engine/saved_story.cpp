// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "saved_story.h"

#include "engine/finale.h"
#include "engine/genre_choice.h"
#include "engine/story_buffer.h"
#include "format/story_error.h"
#include "format/story_facts.h"

#include <algorithm>

namespace vorta {

namespace {

[[noreturn]] void unreadable(const QString &why)
{
    throw StoryError(ErrorKind::SavedStoryUnreadable, kSavedStoryFile, 0, why);
}

void checkRange(const QString &what, qint64 value, qint64 low, qint64 high)
{
    if (value < low || value > high)
        unreadable(
            QStringLiteral("%1 %2 вне пределов %3..%4").arg(what).arg(value).arg(low).arg(high));
}

} // namespace

QStringList offeredGenres(const StoryState &state)
{
    QStringList captions;
    for (const ChoiceLabel &label : state.window.choiceLabels) {
        if (label.visible)
            captions << label.caption;
    }
    return captions;
}

void checkSavedStory(const SavedStory &saved)
{
    const qint32 genreCount = qint32(saved.genreNames.size());
    checkRange(QStringLiteral("шаг"), saved.stepNumber, 0, kFinaleStep);
    checkRange(QStringLiteral("жанр"), saved.currentGenre, 1, qMax(1, genreCount));
    // 0 before the first draw.
    if (saved.iqValue != 0)
        checkRange(QStringLiteral("IQ"), saved.iqValue, kLowestIq, kHighestIq);
    // A step counts one use at most, and genres past the catalogue are never used.
    qint64 uses = 0;
    for (qint32 g = 1; g <= kMaxGenres; ++g) {
        const qint32 most = g <= genreCount ? saved.stepNumber : 0;
        checkRange(QStringLiteral("число шагов в жанре %1:").arg(g),
                   saved.genreUses[std::size_t(g - 1)], 0, most);
        uses += saved.genreUses[std::size_t(g - 1)];
    }
    checkRange(QStringLiteral("всего шагов в жанрах:"), uses, 0, saved.stepNumber);
    checkRange(QStringLiteral("строк"), saved.lines.size(), 0, kMaxSavedLines);
    if (saved.nextLine != saved.lines.size() + 1)
        unreadable(QStringLiteral("строк %1, а следующая строка %2")
                       .arg(saved.lines.size())
                       .arg(saved.nextLine));
    if (saved.finished != (saved.stepNumber == kFinaleStep))
        unreadable(QStringLiteral("финал и шаг %1 не сходятся").arg(saved.stepNumber));
}

QByteArray freshJournal(const StoryState &state)
{
    QStringList names;
    QStringList dirs;
    for (qint32 g = 1; g <= state.genreCount; ++g) {
        names << state.genreNames[std::size_t(g)];
        dirs << state.genreDirs[std::size_t(g)];
    }
    return journalHead(names, dirs) + eventRecord(state, 1);
}

QByteArray eventRecord(const StoryState &state, qint32 firstLine)
{
    JournalEvent event{.firstLine = firstLine,
                       .lines = state.storyLines.mid(firstLine, state.nextLine - firstLine),
                       .nextLine = state.nextLine,
                       .stepNumber = state.stepNumber,
                       .currentGenre = state.currentGenre,
                       .iqValue = state.iqValue,
                       .finished = state.stepNumber == kFinaleStep,
                       .offeredGenres = offeredGenres(state)};
    std::copy(state.genreUses.cbegin() + 1, state.genreUses.cend(), event.genreUses.begin());
    return journalEvent(event);
}

bool fitsCatalogue(const SavedStory &saved, const StoryState &state)
{
    if (saved.genreNames.size() != state.genreCount || saved.genreDirs.size() != state.genreCount)
        return false;
    for (qint32 g = 1; g <= state.genreCount; ++g) {
        if (saved.genreNames.at(g - 1) != state.genreNames[std::size_t(g)] ||
            saved.genreDirs.at(g - 1) != state.genreDirs[std::size_t(g)])
            return false;
    }
    return true;
}

void resumeSavedStory(StoryState &state, const SavedStory &saved)
{
    state.storyLines = QStringList{QString()};
    state.storyLines.reserve(saved.lines.size() + 1);
    state.storyLines += saved.lines;
    state.nextLine = saved.nextLine;
    state.stepNumber = saved.stepNumber;
    state.currentGenre = saved.currentGenre;
    state.iqValue = saved.iqValue;
    state.genreUses.fill(0);
    std::copy(saved.genreUses.cbegin(), saved.genreUses.cend(), state.genreUses.begin() + 1);

    offeredGenresRefresh(state);
    if (saved.finished)
        endStoryWindow(state);
    // Where a story told line by line leaves the view: the last line in the last row but one.
    setScrollMax(state, state.nextLine);
    setScrollValue(state, qMax(1, state.nextLine - (kViewportRows - 1)));
    refreshViewport(state);

    if (offeredGenres(state) != saved.offeredGenres)
        unreadable(QStringLiteral("предложенные жанры не те, что у рассказа"));
}

} // namespace vorta
