#pragma once

// The top of the engine: with the moves, a window gets the start and the genre choice too.
#include "engine/genre_choice.h"
#include "engine/story_start.h"
#include "format/story_error.h"

#include <QDir>
#include <QString>

#include <optional>

namespace vorta {

struct StoryState;
class RandomSource;

// The reader's click on a choice label with this caption: the first genre of that name
// becomes current (none: the genre stays), then the step is told and the countdown restarts.
void readerMove(StoryState &state, const QString &caption, RandomSource &random,
                const QDir &dataDir);

// The program's move when the countdown has run out.
void programMove(StoryState &state, RandomSource &random, const QDir &dataDir);

// One tick of the countdown. Returns a settings-file failure to report (once, until the file
// reads again; the last good settings stay in force). Throws if the program's move fails: the
// countdown stays restarted and the move leaves no trace.
std::optional<StoryError> Timer1_Timer(StoryState &state, RandomSource &random,
                                       const QDir &dataDir);

} // namespace vorta
