#include "story_run.h"

#include "finale.h"
#include "fragments.h"
#include "moves.h"
#include "numbers.h"
#include "random_source.h"
#include "story_state.h"
#include "story_step.h"

#include <QHash>

#include <stdexcept>

namespace vorta::author {

namespace {

QStringList linesFrom(const StoryState &state, qint32 firstLine)
{
    return state.storyLines.mid(firstLine, qMax(0, state.nextLine - firstLine));
}

// The story's generator, which remembers its last draw: the variant draw is the last draw of
// every move that tells a fragment, so the drawn variant follows from it.
class RecordingRandom : public RandomSource
{
public:
    explicit RecordingRandom(quint64 firstSeed)
        : m_nextSeed(firstSeed), m_inner([this] { return m_nextSeed++; })
    {}

    void reseed() override { m_inner.reseed(); }
    double next() override
    {
        m_last = m_inner.next();
        ++m_draws;
        return m_last;
    }

    void startMove() { m_draws = 0; }
    int drawsInMove() const { return m_draws; }
    double lastDraw() const { return m_last; }

private:
    quint64 m_nextSeed; // each story gets the next seed
    SeededRandom m_inner;
    double m_last = 0;
    int m_draws = 0;
};

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
    std::optional<QString> choose(const StoryState &state)
    {
        QStringList offered;
        QList<double> tastes;
        double total = 0;
        for (const ChoiceLabel &label : state.window.choiceLabels) {
            if (!label.visible)
                continue;
            const qint32 genre = genreOf(state, label.caption);
            offered.append(label.caption);
            tastes.append(genre >= 0 && genre < m_taste.size() ? m_taste.at(genre) : 0.0);
            total += tastes.back();
        }
        if (state.stepNumber == kFinaleStep - 1) {
            const qsizetype finale = offered.indexOf(element(state.genreNames, m_finaleGenre));
            return finale >= 0 ? std::optional(offered.at(finale)) : std::nullopt;
        }
        if (offered.isEmpty() || total <= 0 || m_random.next() >= m_clickChance)
            return std::nullopt;
        double pick = m_random.next() * total;
        for (qsizetype i = 0; i < offered.size(); ++i) {
            pick -= tastes.at(i);
            if (pick < 0)
                return offered.at(i);
        }
        // Rounding left a sliver: the last genre with any taste takes it.
        for (qsizetype i = offered.size() - 1; i >= 0; --i) {
            if (tastes.at(i) > 0)
                return offered.at(i);
        }
        return std::nullopt;
    }

private:
    static qint32 genreOf(const StoryState &state, const QString &caption)
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

class CoverageRun
{
public:
    CoverageRun(const QDir &dataDir, const StoryData &data, quint64 seed)
        : m_dir(dataDir), m_data(data), m_random(seed), m_reader(seed)
    {
        for (const FragmentFile &file : data.fragments)
            m_variantsTold.insert(file.path, QList<bool>(file.variants.size(), false));
        for (const FinaleFile &file : data.finales)
            m_recordsTold.insert(file.path, QList<bool>(file.records.size(), false));
        for (const FragmentFile &file : data.fragments)
            m_fragments.insert(file.path, &file);
        for (const FinaleFile &file : data.finales)
            m_finales.insert(file.path, &file);
    }

    void tellStories(int stories)
    {
        for (int story = 0; story < stories; ++story) {
            if (story == 0)
                firstStart(m_state, m_random, m_dir);
            else
                newStory(m_state, m_random, m_dir);
            m_reader.startStory(m_state.genreCount);
            while (m_state.stepNumber < kFinaleStep)
                move();
        }
    }

    CoverageReport report(int stories) const
    {
        CoverageReport report;
        report.stories = stories;
        const QString text =
            QStringLiteral("never told in %1 %2")
                .arg(stories)
                .arg(stories == 1 ? QStringLiteral("story") : QStringLiteral("stories"));
        for (const FragmentFile &file : m_data.fragments) {
            const QList<bool> &told = m_variantsTold[file.path];
            for (qsizetype i = 0; i < file.variants.size(); ++i) {
                ++report.variantsTotal;
                if (told.at(i))
                    ++report.variantsTold;
                else
                    report.notes.append(
                        {file.path, file.variants.at(i).countLine, Severity::Note, text});
            }
        }
        for (const FinaleFile &file : m_data.finales) {
            const QList<bool> &told = m_recordsTold[file.path];
            for (qsizetype i = 0; i < file.records.size(); ++i) {
                ++report.recordsTotal;
                if (told.at(i))
                    ++report.recordsTold;
                else
                    report.notes.append(
                        {file.path, file.records.at(i).countLine, Severity::Note, text});
            }
        }
        sortDiagnostics(report.notes);
        return report;
    }

private:
    void move()
    {
        const qint32 firstNewLine = m_state.nextLine;
        m_random.startMove();
        if (const std::optional<QString> caption = m_reader.choose(m_state))
            readerMove(m_state, *caption, m_random, m_dir);
        else
            programMove(m_state, m_random, m_dir);
        const QStringList told = linesFrom(m_state, firstNewLine);
        if (m_state.stepNumber < kFinaleStep)
            recordFragment(told);
        else if (m_state.stepNumber == kFinaleStep)
            recordFinale(told);
    }

    void recordFragment(const QStringList &told)
    {
        const QString path = fragmentPath(m_state, m_state.currentGenre, m_state.stepNumber);
        const FragmentFile *file = m_fragments.value(path);
        if (file == nullptr || m_random.drawsInMove() == 0)
            lostTrack(path);
        const qint32 k = drawVariant(m_random.lastDraw(), file->variantCount);
        if (k < 1 || k > file->variants.size())
            lostTrack(path);
        QStringList expected = file->variants.at(k - 1).lines;
        if (m_state.stepNumber == kIqStep) {
            for (QString &line : expected)
                line = insertIqValue(line, m_state.iqValue);
        }
        if (expected != told)
            lostTrack(path);
        m_variantsTold[path][k - 1] = true;
    }

    void recordFinale(const QStringList &told)
    {
        const QString path = fragmentPath(m_state, m_state.currentGenre, kFinaleStep);
        const FinaleFile *file = m_finales.value(path);
        if (file == nullptr)
            lostTrack(path);
        const UseExtremes extremes = useExtremes(m_state);
        QStringList expected;
        for (qsizetype i = 0; i < file->records.size(); ++i) {
            const FinaleRecord &record = file->records.at(i);
            if (record.leastUsedGenre == extremes.leastUsedGenre &&
                record.mostUsedGenre == extremes.mostUsedGenre) {
                expected += record.lines;
                m_recordsTold[path][i] = true;
            }
        }
        if (expected != told)
            lostTrack(path);
    }

    // The lines told are not those of the file as checked (it changed during the run?).
    [[noreturn]] static void lostTrack(const QString &path)
    {
        throw std::runtime_error(
            QStringLiteral("рассказанное не совпадает с файлом %1 (файл менялся во время "
                           "проверки?)")
                .arg(path)
                .toStdString());
    }

    QDir m_dir;
    const StoryData &m_data;
    RecordingRandom m_random;
    SimulatedReader m_reader;
    StoryState m_state;
    QHash<QString, const FragmentFile *> m_fragments;
    QHash<QString, const FinaleFile *> m_finales;
    QHash<QString, QList<bool>> m_variantsTold;
    QHash<QString, QList<bool>> m_recordsTold;
};

} // namespace

ToldStory tellStory(const QDir &dataDir, quint64 seed)
{
    ToldStory told;
    SeededRandom random([seed] { return seed; });
    StoryState state;
    try {
        firstStart(state, random, dataDir);
        while (state.stepNumber < kFinaleStep)
            programMove(state, random, dataDir);
    } catch (const StoryError &e) {
        told.error = e;
    }
    told.lines = linesFrom(state, 1);
    return told;
}

CoverageReport runCoverage(const QDir &dataDir, const StoryData &data, int stories, quint64 seed)
{
    CoverageRun run(dataDir, data, seed);
    run.tellStories(stories);
    return run.report(stories);
}

} // namespace vorta::author
