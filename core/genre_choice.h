// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

namespace vorta {

struct StoryState;
class RandomSource;

// The two halves of the offered genres refresh, which a story step runs at different points.
void offeredGenresNameFill(StoryState &state);
void offeredGenresVisibilityPass(StoryState &state);
void offeredGenresRefresh(StoryState &state);

// Draws a genre into currentGenre from one value of the generator.
void drawGenre(StoryState &state, RandomSource &random);

// The program's genre decision inside its step: a percentage draw and, when it passes
// switchPercent, a genre draw over all genres.
void programGenreChoice(StoryState &state, RandomSource &random);

} // namespace vorta
