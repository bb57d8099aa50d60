#include "finale.h"

#include "engine/data_files.h"
#include "engine/fragments.h"
#include "engine/numbers.h"
#include "engine/story_buffer.h"
#include "engine/story_state.h"

namespace vorta {

UseExtremes useExtremes(const StoryState &state)
{
    UseExtremes extremes;
    qint32 least = element(state.genreUses, 1);
    qint32 most = least;
    for (qint32 i = 2; i <= state.genreCount; ++i) {
        const qint32 uses = element(state.genreUses, i);
        if (most < uses) {
            most = uses;
            extremes.mostUsedGenre = i;
        }
        if (least > uses) {
            least = uses;
            extremes.leastUsedGenre = i;
        }
    }
    return extremes;
}

void endStoryWindow(StoryState &state)
{
    state.window.timer1Enabled = false;
    state.window.timer2Enabled = true;
    for (ChoiceLabel &label : state.window.choiceLabels)
        label.visible = false;
    state.window.label11Visible = false;
}

void tellFinale(StoryState &state, const QDir &dataDir)
{
    endStoryWindow(state);
    const UseExtremes extremes = useExtremes(state);
    TextReader reader =
        TextReader::open(dataDir, fragmentPath(state, state.currentGenre, kFinaleStep));
    while (!reader.atEndAfterBlankLines()) {
        // A genre index that is not a number matches no pair.
        const std::optional<qint32> least = reader.readIndex();
        const std::optional<qint32> most = reader.readIndex();
        const bool matches = least == extremes.leastUsedGenre && most == extremes.mostUsedGenre;
        const qint32 lineCount = reader.readCount();
        for (qint32 j = 1; j <= lineCount; ++j) {
            const QString line = reader.readLine();
            if (matches)
                appendStoryLine(state, line);
        }
    }
}

void Timer2_Timer(StoryState &state)
{
    MainWindowModel &w = state.window;
    bool changed = false;
    if (w.command1BackColour == w.label28BackColour) {
        w.command1BackColour = w.label29BackColour;
        changed = true;
    }
    if (w.command1BackColour == w.label29BackColour && !changed)
        w.command1BackColour = w.label28BackColour;
}

} // namespace vorta
