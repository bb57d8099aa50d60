#include "story_run.h"

#include "author/check/story_index.h"
#include "author/report/plural.h"
#include "author/simulation/recording_random.h"
#include "author/simulation/steered_story.h"

#include "engine/finale.h"
#include "engine/fragments.h"
#include "engine/moves.h"
#include "engine/numbers.h"
#include "engine/random_source.h"
#include "engine/story_state.h"
#include "engine/story_step.h"

#include <stdexcept>

namespace vorta::author {

namespace {

QStringList linesFrom(const StoryState &state, qint32 firstLine)
{
    return state.storyLines.mid(firstLine, qMax(0, state.nextLine - firstLine));
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
        : m_dir(dataDir), m_data(data), m_index(data),
          // Each story (each reseed) takes the next seed.
          m_random([next = seed]() mutable { return next++; }), m_reader(seed)
    {
        for (const FragmentFile &file : data.fragments)
            m_counts.variants.insert(file.path, QList<int>(file.variants.size(), 0));
        for (const FinaleFile &file : data.finales)
            m_counts.records.insert(file.path, QList<int>(file.records.size(), 0));
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
            ++m_counts.stories;
        }
    }

    CoverageReport report() const
    {
        CoverageReport report;
        report.stories = m_counts.stories;
        report.counts = m_counts;
        const QString inStories =
            countText(m_counts.stories, QStringLiteral("рассказе"), QStringLiteral("рассказах"),
                      QStringLiteral("рассказах"));
        for (const FragmentFile &file : m_data.fragments) {
            const QList<int> &told = m_counts.variants[file.path];
            for (qsizetype i = 0; i < file.variants.size(); ++i) {
                ++report.variantsTotal;
                if (told.at(i) > 0)
                    ++report.variantsTold;
                else
                    report.notes.append(
                        {file.path, file.variants.at(i).countLine, Severity::Note,
                         QStringLiteral("вариант %1 из %2 ни разу не рассказан в %3")
                             .arg(i + 1)
                             .arg(file.variantCount)
                             .arg(inStories)});
            }
        }
        for (const FinaleFile &file : m_data.finales) {
            const QList<int> &told = m_counts.records[file.path];
            for (qsizetype i = 0; i < file.records.size(); ++i) {
                const FinaleRecord &record = file.records.at(i);
                ++report.recordsTotal;
                if (told.at(i) > 0)
                    ++report.recordsTold;
                else
                    report.notes.append({file.path, record.countLine, Severity::Note,
                                         QStringLiteral("запись %1 ни разу не рассказана в %2")
                                             .arg(recordPairText(record), inStories)});
            }
            const QMap<FinalePair, int> without = m_counts.endingsWithoutRecord.value(file.path);
            for (auto it = without.begin(); it != without.end(); ++it)
                report.notes.append(
                    {file.path, 1, Severity::Note,
                     QStringLiteral("пара (%1, %2) закончила здесь %3, а записи для неё нет: "
                                    "финала не было")
                         .arg(it.key().first)
                         .arg(it.key().second)
                         .arg(countText(it.value(), QStringLiteral("рассказ"),
                                        QStringLiteral("рассказа"), QStringLiteral("рассказов")))});
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
        const FragmentFile *file = m_index.fragmentAt(path);
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
        if (!sameText(expected, told, file->utf8))
            lostTrack(path);
        ++m_counts.variants[path][k - 1];
        if (m_state.stepNumber == kLowBranchStep)
            ++m_counts.lowBranch;
        else if (m_state.stepNumber == kHighBranchStep)
            ++m_counts.highBranch;
    }

    void recordFinale(const QStringList &told)
    {
        const QString path = fragmentPath(m_state, m_state.currentGenre, kFinaleStep);
        const FinaleFile *file = m_index.finaleAt(path);
        if (file == nullptr)
            lostTrack(path);
        const UseExtremes extremes = useExtremes(m_state);
        const FinalePair pair(extremes.leastUsedGenre, extremes.mostUsedGenre);
        QStringList expected;
        bool matched = false;
        for (qsizetype i = 0; i < file->records.size(); ++i) {
            const FinaleRecord &record = file->records.at(i);
            if (record.leastUsedGenre == pair.first && record.mostUsedGenre == pair.second) {
                expected += record.lines;
                ++m_counts.records[path][i];
                matched = true;
            }
        }
        if (!sameText(expected, told, file->utf8))
            lostTrack(path);
        ++m_counts.finales[path];
        ++m_counts.endings[pair];
        if (!matched)
            ++m_counts.endingsWithoutRecord[path][pair];
    }

    // A file the check read as UTF-8 the program tells in Windows-1251, so there only the
    // number of lines can be compared.
    static bool sameText(const QStringList &checked, const QStringList &told, bool utf8)
    {
        return utf8 ? checked.size() == told.size() : checked == told;
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
    StoryIndex m_index;
    RecordingRandom m_random;
    SimulatedReader m_reader;
    StoryState m_state;
    StoryCounts m_counts;
};

} // namespace

ToldStory tellStory(const QDir &dataDir, quint64 seed)
{
    SteeredStory story = tellSteeredStory(dataDir, seed);
    return {story.lines(), std::move(story.error)};
}

QString recordPairText(const FinaleRecord &record)
{
    auto index = [](const std::optional<qint64> &genre) {
        return genre ? QString::number(*genre) : QStringLiteral("?");
    };
    return QStringLiteral("(%1, %2)")
        .arg(index(record.leastUsedGenre), index(record.mostUsedGenre));
}

CoverageReport runCoverage(const QDir &dataDir, const StoryData &data, int stories, quint64 seed)
{
    CoverageRun run(dataDir, data, seed);
    run.tellStories(stories);
    return run.report();
}

void printCoverage(const CoverageReport &report, const StoryData &data, QTextStream &out)
{
    for (const Diagnostic &note : report.notes)
        out << formatDiagnostic(note) << '\n';
    const StoryCounts &counts = report.counts;
    out << QStringLiteral("рассказано хотя бы раз: %1 из %2, %3 из %4 финала")
               .arg(report.variantsTold)
               .arg(countText(report.variantsTotal, QStringLiteral("варианта"),
                              QStringLiteral("вариантов"), QStringLiteral("вариантов")))
               .arg(report.recordsTold)
               .arg(countText(report.recordsTotal, QStringLiteral("записи"),
                              QStringLiteral("записей"), QStringLiteral("записей")))
        << '\n';
    out << QStringLiteral("шаг 37: к шагу 38 — %1 (%2), к шагу 39 — %3 (%4)")
               .arg(countText(counts.lowBranch, QStringLiteral("рассказ"),
                              QStringLiteral("рассказа"), QStringLiteral("рассказов")),
                    shareText(counts.lowBranch, counts.stories),
                    countText(counts.highBranch, QStringLiteral("рассказ"),
                              QStringLiteral("рассказа"), QStringLiteral("рассказов")),
                    shareText(counts.highBranch, counts.stories))
        << '\n';
    const int withoutFinale = counts.endingsWithoutAnyRecord();
    out << QStringLiteral("без финала: %1 из %2 (%3)")
               .arg(countText(withoutFinale, QStringLiteral("рассказ"), QStringLiteral("рассказа"),
                              QStringLiteral("рассказов")))
               .arg(counts.stories)
               .arg(shareText(withoutFinale, counts.stories))
        << '\n';
    const StoryIndex index(data);
    for (qint32 g = 1; g <= index.genreCount(); ++g) {
        int variants = 0;
        int never = 0;
        for (qint32 step = 1; step < kFinaleStep; ++step) {
            const QString path = index.path(g, step);
            if (index.fragmentAt(path) == nullptr)
                continue;
            for (const int told : counts.variants.value(path)) {
                ++variants;
                if (told == 0)
                    ++never;
            }
        }
        out << QStringLiteral("%1 (%2): вариантов, не рассказанных ни разу: %3 из %4")
                   .arg(index.genre(g).name, index.genre(g).dir, QString::number(never),
                        QString::number(variants))
            << '\n';
    }
}

} // namespace vorta::author
