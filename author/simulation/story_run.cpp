// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "story_run.h"

#include "author/check/story_index.h"
#include "author/report/plural.h"
#include "author/simulation/steered_story.h"

#include "core/moves.h"
#include "core/numbers.h"
#include "core/random_source.h"
#include "core/story_facts.h"
#include "core/story_state.h"
#include "core/story_step.h"
#include "core/tree_paths.h"

#include <QThread>

#include <algorithm>

#include <memory>
#include <vector>

namespace vorta::author {

namespace {

// Counts one more telling of item number (from 1) of a list of counts.
void countTold(QList<int> &counts, qint32 number)
{
    if (number < 1)
        return;
    if (counts.size() < number)
        counts.resize(number);
    ++counts[number - 1];
}

// A reader with favourite genres: clicks an offered genre with the story's own chance,
// choosing by taste, and otherwise waits for the program's move.
class SimulatedReader
{
public:
    explicit SimulatedReader(quint64 seed) : m_random([seed] { return ~seed; }) {}

    void startStory(qint32 genreCount)
    {
        // The finishing click counts no use, so any genre's finale file can close any story.
        m_finaleGenre = drawIndex(m_random.next(), genreCount);
        m_taste = QList<double>(genreCount + 1, 0.3);
        if (genreCount >= 2 && m_random.next() < 0.5) {
            // Every other story aims at an ending: one genre loved, one shunned.
            const qint32 loved = drawIndex(m_random.next(), genreCount);
            const qint32 shunned = drawIndex(m_random.next(), genreCount - 1);
            m_taste[loved] = 1.0;
            m_taste[shunned >= loved ? shunned + 1 : shunned] = 0.0;
            m_clickChance = 0.5 + m_random.next() / 2;
        } else {
            // Cubes spread the tastes, so some stories keep to one genre and some avoid one.
            for (double &taste : m_taste) {
                const double u = m_random.next();
                taste = u * u * u;
            }
            m_clickChance = m_random.next();
        }
    }

    // The caption to click, or nothing to let the program move.
    std::optional<std::u16string> choose(const StoryState &state)
    {
        std::vector<std::u16string> offered;
        QList<double> tastes;
        double total = 0;
        for (const OfferedPlace &place : state.window.offered) {
            if (!place.visible)
                continue;
            const qint32 genre = genreOf(state, place.caption);
            offered.push_back(place.caption);
            tastes.append(genre >= 0 && genre < m_taste.size() ? m_taste.at(genre) : 0.0);
            total += tastes.back();
        }
        if (state.stepNumber == kFinaleStep - 1) {
            const auto finale =
                std::find(offered.begin(), offered.end(), element(state.genreNames, m_finaleGenre));
            return finale != offered.end() ? std::optional(*finale) : std::nullopt;
        }
        if (offered.empty() || total <= 0 || m_random.next() >= m_clickChance)
            return std::nullopt;
        double pick = m_random.next() * total;
        for (qsizetype i = 0; i < tastes.size(); ++i) {
            pick -= tastes.at(i);
            if (pick < 0)
                return offered[std::size_t(i)];
        }
        // Rounding left a sliver: the last genre with any taste takes it.
        for (qsizetype i = tastes.size() - 1; i >= 0; --i) {
            if (tastes.at(i) > 0)
                return offered[std::size_t(i)];
        }
        return std::nullopt;
    }

private:
    static qint32 genreOf(const StoryState &state, const std::u16string &caption)
    {
        for (qint32 i = 1; i <= state.genreCount && i <= kMaxGenres; ++i) {
            if (state.genreNames[std::size_t(i)] == caption)
                return i;
        }
        return -1;
    }

    SeededRandom m_random;
    QList<double> m_taste; // by genre index
    double m_clickChance = 0;
    qint32 m_finaleGenre = 1;
};

// The stories of one share of a run: each told from its own seeds and a fresh start, so the
// counts do not depend on which share told it or in what order.
class CoverageShare
{
public:
    CoverageShare(const DataTree &tree, const StoryData &data) : m_tree(tree)
    {
        for (const FragmentFile &file : data.fragments)
            m_counts.variants.insert(toQString(file.path),
                                     QList<int>(qsizetype(file.variants.size()), 0));
        for (const FinaleFile &file : data.finales)
            m_counts.records.insert(toQString(file.path),
                                    QList<int>(qsizetype(file.records.size()), 0));
    }

    // Tells stories first .. end - 1; the first error stops the share and is kept with the
    // number of the story it stopped.
    void tellStories(int first, int end, quint64 seed)
    {
        try {
            for (m_story = first; m_story < end; ++m_story)
                tellStory(seed + quint64(m_story));
        } catch (...) {
            m_error = currentError();
        }
    }

    const StoryCounts &counts() const { return m_counts; }
    int story() const { return m_story; }
    const std::optional<StoryError> &error() const { return m_error; }

private:
    void tellStory(quint64 storySeed)
    {
        SeededRandom random([storySeed] { return storySeed; });
        SimulatedReader reader(storySeed);
        StoryState state;
        firstStart(state, random, m_tree);
        reader.startStory(state.genreCount);
        while (state.stepNumber < kFinaleStep)
            move(state, random, reader);
        ++m_counts.stories;
    }

    void move(StoryState &state, RandomSource &random, SimulatedReader &reader)
    {
        // A failure ends the whole run, so the moves need no undo.
        const std::optional<std::u16string> caption = reader.choose(state);
        const StepReport told = caption ? readerStep(state, *caption, random, m_tree)
                                        : programMove(state, random, m_tree);
        const QString path =
            toQString(fragmentFilePath(element(state.genreDirs, told.genre), told.step));
        if (told.step < kFinaleStep) {
            countTold(m_counts.variants[path], told.variant);
            if (told.step == kLowBranchStep)
                ++m_counts.lowBranch;
            else if (told.step == kHighBranchStep)
                ++m_counts.highBranch;
        } else if (told.finale) {
            const FinalePair pair(told.finale->pair.leastUsedGenre,
                                  told.finale->pair.mostUsedGenre);
            for (const qint32 record : told.finale->records)
                countTold(m_counts.records[path], record);
            ++m_counts.finales[path];
            ++m_counts.endings[pair];
            if (told.finale->records.empty())
                ++m_counts.endingsWithoutRecord[path][pair];
        }
    }

    DataTree m_tree;
    StoryCounts m_counts;
    int m_story = 0;
    std::optional<StoryError> m_error;
};

CoverageReport coverageReport(const StoryCounts &counts, const StoryData &data)
{
    CoverageReport report;
    report.stories = counts.stories;
    report.counts = counts;
    const QString inStories =
        toQString(countText(counts.stories, u"рассказе", u"рассказах", u"рассказах"));
    for (const FragmentFile &file : data.fragments) {
        const QList<int> told = counts.variants.value(toQString(file.path));
        for (std::size_t i = 0; i < file.variants.size(); ++i) {
            ++report.variantsTotal;
            if (told.value(qsizetype(i)) > 0)
                ++report.variantsTold;
            else
                report.notes.push_back(
                    {file.path, file.variants[i].countLine, Severity::Note,
                     toU16(QStringLiteral("вариант %1 из %2 ни разу не рассказан в %3")
                               .arg(i + 1)
                               .arg(file.variantCount)
                               .arg(inStories))});
        }
    }
    for (const FinaleFile &file : data.finales) {
        const QString path = toQString(file.path);
        const QList<int> told = counts.records.value(path);
        for (std::size_t i = 0; i < file.records.size(); ++i) {
            const FinaleRecord &record = file.records[i];
            ++report.recordsTotal;
            if (told.value(qsizetype(i)) > 0)
                ++report.recordsTold;
            else
                report.notes.push_back(
                    {file.path, record.countLine, Severity::Note,
                     toU16(QStringLiteral("запись %1 ни разу не рассказана в %2")
                               .arg(toQString(pairText(record.pair)), inStories))});
        }
        const QMap<FinalePair, int> without = counts.endingsWithoutRecord.value(path);
        for (auto it = without.begin(); it != without.end(); ++it)
            report.notes.push_back(
                {file.path, 1, Severity::Note,
                 toU16(QStringLiteral("пара (%1, %2) закончила здесь %3, а записи для неё нет: "
                                      "финала не было")
                           .arg(it.key().first)
                           .arg(it.key().second)
                           .arg(toQString(
                               countText(it.value(), u"рассказ", u"рассказа", u"рассказов"))))});
    }
    sortDiagnostics(report.notes);
    return report;
}

} // namespace

ToldStory tellStory(const DataTree &tree, quint64 seed)
{
    SteeredStory story = tellSteeredStory(tree, seed);
    return {story.lines(), std::move(story.error)};
}

CoverageReport runCoverage(const DataTree &tree, const StoryData &data, int stories, quint64 seed)
{
    // The stories are independent, so they are shared out among the processors; the counts add
    // up to the same report however many shares there are.
    const int shares = qBound(1, QThread::idealThreadCount(), qMax(1, stories / 100));
    std::vector<CoverageShare> runs(std::size_t(shares), CoverageShare(tree, data));
    std::vector<std::unique_ptr<QThread>> threads;
    for (int i = 0; i < shares; ++i) {
        const int first = int(qint64(stories) * i / shares);
        const int end = int(qint64(stories) * (i + 1) / shares);
        CoverageShare &run = runs[std::size_t(i)];
        threads.emplace_back(
            QThread::create([&run, first, end, seed] { run.tellStories(first, end, seed); }));
        threads.back()->start();
    }
    StoryCounts counts;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        threads[i]->wait();
        // The error of the earliest story stops the run, as if the stories were told in order.
        if (runs[i].error())
            throw *runs[i].error();
        addCounts(counts, runs[i].counts());
    }
    return coverageReport(counts, data);
}

void printCoverage(const CoverageReport &report, const StoryData &data, QTextStream &out)
{
    for (const Diagnostic &note : report.notes)
        out << toQString(formatDiagnostic(note)) << '\n';
    const StoryCounts &counts = report.counts;
    out << QStringLiteral("рассказано хотя бы раз: %1 из %2, %3 из %4 финала")
               .arg(report.variantsTold)
               .arg(toQString(
                   countText(report.variantsTotal, u"варианта", u"вариантов", u"вариантов")))
               .arg(report.recordsTold)
               .arg(toQString(countText(report.recordsTotal, u"записи", u"записей", u"записей")))
        << '\n';
    out << QStringLiteral("шаг %1: к шагу %2 — %3 (%4), к шагу %5 — %6 (%7)")
               .arg(kIqStep)
               .arg(kLowBranchStep)
               .arg(toQString(countText(counts.lowBranch, u"рассказ", u"рассказа", u"рассказов")),
                    shareText(counts.lowBranch, counts.stories))
               .arg(kHighBranchStep)
               .arg(toQString(countText(counts.highBranch, u"рассказ", u"рассказа", u"рассказов")),
                    shareText(counts.highBranch, counts.stories))
        << '\n';
    const int withoutFinale = counts.endingsWithoutAnyRecord();
    out << QStringLiteral("без финала: %1 из %2 (%3)")
               .arg(toQString(countText(withoutFinale, u"рассказ", u"рассказа", u"рассказов")))
               .arg(counts.stories)
               .arg(shareText(withoutFinale, counts.stories))
        << '\n';
    const StoryIndex index(data);
    for (qint32 g = 1; g <= index.genreCount(); ++g) {
        int variants = 0;
        int never = 0;
        for (qint32 step = 1; step < kFinaleStep; ++step) {
            const std::u16string path = index.path(g, step);
            if (index.fragmentAt(path) == nullptr)
                continue;
            for (const int told : counts.variants.value(toQString(path))) {
                ++variants;
                if (told == 0)
                    ++never;
            }
        }
        out << QStringLiteral("%1 (%2): вариантов, не рассказанных ни разу: %3 из %4")
                   .arg(toQString(index.genre(g).name), toQString(index.genre(g).dir),
                        QString::number(never), QString::number(variants))
            << '\n';
    }
}

} // namespace vorta::author
