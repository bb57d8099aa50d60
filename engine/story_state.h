// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "format/story_facts.h"

#include <QString>
#include <QStringList>

#include <array>
#include <functional>

// The plain types of the story and its constants, at the bottom of the engine: every other part
// reads and writes these, and this file calls none of them.
namespace vorta {

constexpr int kChoiceLabels = kMaxGenres - 1; // Label2 .. Label10
constexpr quint32 kLabel28Colour = 0xFFC0C0;  // the new-story button's normal colour
constexpr quint32 kLabel29Colour = 0xFF8080;  // its blink colour

inline const QString kChoicePlaceholder = QStringLiteral("Выдоконтрапупить");
inline const QString kCountdownPrefix = QStringLiteral("До активничания программы осталось:");

struct ChoiceLabel
{
    QString caption = kChoicePlaceholder;
    bool visible = false;

    bool operator==(const ChoiceLabel &) const = default;
};

// Every property of the main window that the engine reads or writes, as plain values.
struct MainWindowModel
{
    std::array<ChoiceLabel, kChoiceLabels> choiceLabels; // Label2 .. Label10
    QString label11Caption;                              // the countdown
    bool label11Visible = true;
    std::array<QString, kViewportRows> rows; // Label12 .. Label26
    qint32 scrollMin = 0;                    // VScroll1
    qint32 scrollMax = 32767;
    qint32 scrollValue = 0;
    quint32 command1BackColour = kLabel28Colour;
    quint32 label28BackColour = kLabel28Colour;
    quint32 label29BackColour = kLabel29Colour;
    bool timer1Enabled = true;
    bool timer2Enabled = false;

    bool operator==(const MainWindowModel &) const = default;
};

// The whole story being told, with the window it is shown in.
struct StoryState
{
    // Entry 0 is never used; entries 1 .. nextLine - 1 hold the lines told so far. The list
    // grows as lines are told, so entries from nextLine up are simply absent (read as empty).
    QStringList storyLines{QString()};
    qint32 nextLine = 0;
    qint32 topLine = 0;
    qint32 countdownMs = 0;
    qint32 autoPeriodMs = 0;
    qint32 switchPercent = 0;
    std::array<QString, kMaxGenres + 1> genreNames;
    std::array<QString, kMaxGenres + 1> genreDirs;
    qint32 genreCount = 0;
    qint32 currentGenre = 0;
    std::array<qint32, kMaxGenres + 1> genreUses{};
    qint32 stepNumber = 0;
    qint32 iqValue = 0;

    MainWindowModel window;

    // A tick that could not read the settings has said so; it is not said again until the
    // file reads again.
    bool settingsFailureReported = false;

    bool operator==(const StoryState &) const = default;
};

// Runs one event in place and, if it fails, undoes it and lets the error go on, so a failing
// event leaves the story and the window exactly as they were. The event may only append story
// lines, as every event but a new story does: the lines are undone by cutting them back to their
// old number, so the undo costs the same at any length of the story.
void runAtomically(StoryState &state, const std::function<void(StoryState &)> &event);

// The countdown caption for a number of milliseconds: the floor of the seconds, signed form.
QString countdownCaption(qint32 milliseconds);

} // namespace vorta
