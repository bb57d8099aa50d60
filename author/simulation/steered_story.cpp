// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "steered_story.h"

#include "core/moves.h"
#include "core/numbers.h"
#include "core/random_source.h"
#include "core/story_facts.h"
#include "core/story_state.h"
#include "core/story_step.h"
#include "format/qt_text.h"

namespace vorta::author {

namespace {

class SteeredRun
{
public:
    SteeredRun(const DataTree &tree, quint64 seed, const QList<qint32> &picks)
        : m_tree(tree), m_random([seed] { return seed; }), m_picks(picks)
    {}

    SteeredStory tell()
    {
        try {
            firstStart(m_state, m_random, m_tree);
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
        StepReport report;
        report.firstLine = m_state.nextLine;
        try {
            if (const std::optional<qint32> pick = pickFor(moveIndex)) {
                // The click of a reader who may name any genre, the current one too.
                m_state.currentGenre = *pick;
                report = runStoryStep(m_state, MoveKind::Reader, m_random, m_tree);
            } else {
                report = programMove(m_state, m_random, m_tree);
            }
        } catch (const StoryError &) {
            // What the failed move had told before it stopped.
            report.step = m_state.stepNumber;
            report.genre = m_state.currentGenre;
            if (report.step == kIqStep)
                report.iqValue = m_state.iqValue;
            report.lineCount = m_state.nextLine - report.firstLine;
            record(report);
            throw;
        }
        record(report);
    }

    std::optional<qint32> pickFor(int moveIndex) const
    {
        if (m_picks.size() == 1)
            return m_picks.first();
        if (moveIndex < m_picks.size())
            return m_picks.at(moveIndex);
        return std::nullopt;
    }

    void record(const StepReport &report)
    {
        ToldStep step;
        step.step = report.step;
        step.genreName = toQString(element(m_state.genreNames, report.genre));
        step.genreDir = toQString(element(m_state.genreDirs, report.genre));
        step.variant = report.variant;
        step.variantCount = report.variantCount;
        step.iqValue = report.iqValue.value_or(0);
        if (report.finale) {
            step.leastUsedGenre = report.finale->pair.leastUsedGenre;
            step.mostUsedGenre = report.finale->pair.mostUsedGenre;
        }
        for (qint32 line = 0; line < report.lineCount; ++line)
            step.lines.append(toQString(storyLine(m_state, qint64(report.firstLine) + line)));
        m_story.steps.append(step);
    }

    DataTree m_tree;
    SeededRandom m_random;
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

SteeredStory tellSteeredStory(const DataTree &tree, quint64 seed, const QList<qint32> &picks)
{
    return SteeredRun(tree, seed, picks).tell();
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
