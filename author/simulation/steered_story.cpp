#include "steered_story.h"

#include "author/simulation/recording_random.h"

#include "engine/data_files.h"
#include "engine/finale.h"
#include "engine/fragments.h"
#include "engine/moves.h"
#include "engine/numbers.h"
#include "engine/story_state.h"
#include "engine/story_step.h"

namespace vorta::author {

namespace {

// The variant count as the file states it; the move that just read the file has proved it
// readable, unless the file changed since.
qint32 variantCountOf(const QDir &dataDir, const QString &path)
{
    try {
        return TextReader::open(dataDir, path).readCount();
    } catch (const StoryError &) {
        return 0;
    }
}

class SteeredRun
{
public:
    SteeredRun(const QDir &dataDir, quint64 seed, const QList<qint32> &picks)
        : m_dir(dataDir), m_random([seed] { return seed; }), m_picks(picks)
    {}

    SteeredStory tell()
    {
        try {
            firstStart(m_state, m_random, m_dir);
            for (int moveIndex = 0; m_state.stepNumber < kFinaleStep; ++moveIndex)
                move(moveIndex);
        } catch (const StoryError &e) {
            m_story.error = e;
        }
        return std::move(m_story);
    }

private:
    void move(int moveIndex)
    {
        const qint32 firstLine = m_state.nextLine;
        m_random.startMove();
        const std::optional<qint32> pick = pickFor(moveIndex);
        try {
            if (pick) {
                // The click of a reader who may name any genre, the current one too.
                m_state.currentGenre = *pick;
                runStoryStep(m_state, MoveKind::Reader, m_random, m_dir);
            } else {
                programMove(m_state, m_random, m_dir);
            }
        } catch (const StoryError &) {
            record(firstLine, false);
            throw;
        }
        record(firstLine, true);
    }

    std::optional<qint32> pickFor(int moveIndex) const
    {
        if (m_picks.size() == 1)
            return m_picks.first();
        if (moveIndex < m_picks.size())
            return m_picks.at(moveIndex);
        return std::nullopt;
    }

    void record(qint32 firstLine, bool done)
    {
        ToldStep step;
        step.step = m_state.stepNumber;
        step.genreName = element(m_state.genreNames, m_state.currentGenre);
        step.genreDir = element(m_state.genreDirs, m_state.currentGenre);
        step.lines = m_state.storyLines.mid(firstLine, qMax(0, m_state.nextLine - firstLine));
        if (step.step == kFinaleStep) {
            const UseExtremes extremes = useExtremes(m_state);
            step.leastUsedGenre = extremes.leastUsedGenre;
            step.mostUsedGenre = extremes.mostUsedGenre;
        } else if (done && m_random.drawsInMove() > 0) {
            step.variantCount = variantCountOf(
                m_dir, fragmentPath(m_state, m_state.currentGenre, m_state.stepNumber));
            if (step.variantCount > 0)
                step.variant = drawVariant(m_random.lastDraw(), step.variantCount);
        }
        if (step.step == kIqStep)
            step.iqValue = m_state.iqValue;
        m_story.steps.append(step);
    }

    QDir m_dir;
    RecordingRandom m_random;
    QList<qint32> m_picks;
    StoryState m_state;
    SteeredStory m_story;
};

} // namespace

QStringList SteeredStory::lines() const
{
    QStringList all;
    for (const ToldStep &step : steps)
        all += step.lines;
    return all;
}

SteeredStory tellSteeredStory(const QDir &dataDir, quint64 seed, const QList<qint32> &picks)
{
    return SteeredRun(dataDir, seed, picks).tell();
}

QString stepLabel(const ToldStep &step)
{
    const QString separator = QStringLiteral(" · ");
    if (step.step == kFinaleStep)
        return QStringLiteral("[финал · наименее %1 · наиболее %2]")
            .arg(step.leastUsedGenre)
            .arg(step.mostUsedGenre);
    QString label =
        QStringLiteral("[шаг %1 · %2 (%3)").arg(step.step).arg(step.genreName, step.genreDir);
    if (step.variant > 0)
        label +=
            separator + QStringLiteral("вариант %1 из %2").arg(step.variant).arg(step.variantCount);
    if (step.step == kIqStep)
        label += separator + QStringLiteral("IQ %1").arg(step.iqValue);
    return label + QLatin1Char(']');
}

} // namespace vorta::author
