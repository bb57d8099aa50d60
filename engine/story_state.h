#pragma once

#include <QDir>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>

namespace vorta {

class RandomSource;

constexpr qint32 kMaxGenres = 10;
constexpr int kChoiceLabels = 9;             // Label2 .. Label10
constexpr int kViewportRows = 15;            // Label12 .. Label26
constexpr quint32 kLabel28Colour = 0xFFC0C0; // the new-story button's normal colour
constexpr quint32 kLabel29Colour = 0xFF8080; // its blink colour

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

// Runs one event on a copy of the state and keeps the result only if the event succeeds, so a
// failing event leaves the story and the window exactly as they were.
void runAtomically(StoryState &state, const std::function<void(StoryState &)> &event);

// Runs at the main window's load, before it is shown. Any error here is fatal to the start.
void firstStart(StoryState &state, RandomSource &random, const QDir &dataDir);

// The new-story button. On failure the state is left exactly as it was and the error thrown.
void newStory(StoryState &state, RandomSource &random, const QDir &dataDir);

// The two halves of the offered genres refresh, which a story step runs at different points.
void offeredGenresNameFill(StoryState &state);
void offeredGenresVisibilityPass(StoryState &state);
void offeredGenresRefresh(StoryState &state);

// Draws a genre into currentGenre from one value of the generator.
void drawGenre(StoryState &state, RandomSource &random);

// The countdown caption for a number of milliseconds: the floor of the seconds, signed form.
QString countdownCaption(qint32 milliseconds);

} // namespace vorta
