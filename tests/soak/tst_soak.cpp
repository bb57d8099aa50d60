// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/data_files.h"
#include "core/finale.h"
#include "core/fragments.h"
#include "core/moves.h"
#include "core/numbers.h"
#include "core/random_source.h"
#include "core/story_buffer.h"
#include "core/story_state.h"
#include "core/story_step.h"
#include "format/folder_tree.h"
#include "format/qt_text.h"
#include "tests/support/core_text.h"
#include "tests/support/story_tree.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSet>
#include <QStringDecoder>
#include <QTest>

#include <numeric>
#include <random>

using namespace vorta;

// How often each kind of event comes, relative to the others.
struct EventMix
{
    int readerMoves;
    int ticks;
    int scrolls;
    int settingsChanges;
    int newStories; // in the middle of a story; a finished story is always started anew
};

namespace {

// Where a told line stands in its data file, for a report an author can act on.
int lineNumberIn(const QDir &dir, const QString &relativePath, const QString &line)
{
    QFile file(dir.filePath(relativePath));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    QStringDecoder decoder("windows-1251");
    const QString text = decoder.decode(file.readAll());
    const qsizetype index = text.split(QStringLiteral("\r\n")).indexOf(line);
    return index < 0 ? 0 : int(index) + 1;
}

// Ordinary steps told when the counter stands at s: one of 38 and 39 is skipped, and the
// move to 65 tells the finale instead of a step.
qint32 stepsToldAt(qint32 s)
{
    if (s <= 37)
        return s;
    if (s <= 39)
        return 38;
    return qMin(s, 64) - 1;
}

// Drives one story after another the way the main window would, checking after every event.
class Soak
{
public:
    Soak(const QDir &dataDir, quint32 seed, EventMix mix)
        : m_dir(dataDir), m_tree(folderTree(dataDir)), m_pick(seed), m_mix(mix), m_seed(seed),
          m_random([this] { return m_seed++; })
    {}

    void start()
    {
        firstStart(m_state, m_random, m_tree);
        m_catalogue = m_state;
        checkInvariants();
    }

    void runUntil(int stories)
    {
        while (finishedStories < stories) {
            nextEvent();
            if (QTest::currentTestFailed())
                return;
            checkInvariants();
            if (QTest::currentTestFailed())
                return;
            ++events;
        }
    }

    int finishedStories = 0;
    int begunStories = 1;
    int events = 0;
    QSet<QString> silentFinales;      // "<genre directory>: L M" pairs with no record
    QSet<QString> linesWithoutMarker; // step-37 lines told without the IQ value

private:
    int uniform(int low, int high) { return std::uniform_int_distribution(low, high)(m_pick); }

    void nextEvent()
    {
        m_linesBeforeEvent = m_state.nextLine;
        try {
            if (m_state.stepNumber == kFinaleStep) {
                afterFinale();
                return;
            }
            const int total = m_mix.readerMoves + m_mix.ticks + m_mix.scrolls +
                              m_mix.settingsChanges + m_mix.newStories;
            int roll = uniform(0, total - 1);
            if ((roll -= m_mix.readerMoves) < 0)
                readerMoveOnRandomLabel();
            else if ((roll -= m_mix.ticks) < 0)
                tick();
            else if ((roll -= m_mix.scrolls) < 0)
                scroll();
            else if ((roll -= m_mix.settingsChanges) < 0)
                saveSettings(m_tree, uniform(0, 10), uniform(0, 10));
            else
                startNewStory();
        } catch (const StoryError &error) {
            QFAIL(qPrintable(
                QStringLiteral("after %1 events: %2").arg(events).arg(messageOf(error))));
        }
    }

    // A finished story is scrolled and blinks for a few events, then the reader starts anew.
    void afterFinale()
    {
        switch (uniform(0, 3)) {
        case 0:
            scroll();
            break;
        case 1:
            tick();
            break;
        default:
            startNewStory();
        }
    }

    void readerMoveOnRandomLabel()
    {
        std::vector<std::u16string> captions;
        for (const OfferedPlace &place : m_state.window.offered)
            if (place.visible)
                captions.push_back(place.caption);
        QVERIFY(!captions.empty());
        readerMove(m_state, captions.at(std::size_t(uniform(0, int(captions.size()) - 1))),
                   m_random, m_tree);
        afterMove();
    }

    // The timers tick only while they run, as in the window.
    void tick()
    {
        if (m_state.window.countdownRunning) {
            const qint32 stepBefore = m_state.stepNumber;
            const std::optional<StoryError> failure = countdownTick(m_state, m_random, m_tree);
            QVERIFY2(!failure, failure ? failure->what() : "");
            if (m_state.stepNumber != stepBefore)
                afterMove();
        }
        if (m_state.window.blinking)
            blinkTick(m_state);
    }

    void scroll() { followScrollBar(m_state, uniform(0, m_state.nextLine + 2)); }

    void startNewStory()
    {
        newStory(m_state, m_random, m_tree);
        m_stepsTold = 0;
        ++begunStories;
    }

    void afterMove()
    {
        const QString genreDir = toQString(m_state.genreDirs[std::size_t(m_state.currentGenre)]);
        if (m_state.stepNumber == kIqStep) {
            // Every line of step 37 should carry the marker that the IQ value replaces.
            const QString value = toQString(numberText(m_state.iqValue));
            for (qint32 i = m_linesBeforeEvent; i < m_state.nextLine; ++i) {
                const QString line = toQString(storyLine(m_state, i));
                if (line.contains(value))
                    continue;
                const QString file =
                    toQString(fragmentPath(m_state, m_state.currentGenre, kIqStep));
                linesWithoutMarker.insert(
                    QStringLiteral("%1 line %2").arg(file).arg(lineNumberIn(m_dir, file, line)));
            }
        }
        if (m_state.stepNumber < kFinaleStep) {
            ++m_stepsTold;
            return;
        }
        ++finishedStories;
        if (m_state.nextLine == m_linesBeforeEvent) {
            const UseExtremes pair = useExtremes(m_state);
            silentFinales.insert(QStringLiteral("%1: %2 %3")
                                     .arg(genreDir)
                                     .arg(pair.leastUsedGenre)
                                     .arg(pair.mostUsedGenre));
        }
    }

    void checkInvariants()
    {
        const StoryState &s = m_state;
        const StoryWindow &w = s.window;
        QCOMPARE(s.storyLines.size(), std::size_t(s.nextLine));
        // The scroll bar's position within its range 1 .. nextLine, and the rows in view show
        // only lines told.
        QVERIFY(s.topLine >= 1 && s.topLine <= s.nextLine);
        for (qint32 entry = s.topLine; entry < s.topLine + kViewportRows; ++entry)
            QCOMPARE(storyLine(s, entry),
                     entry < s.nextLine ? s.storyLines[std::size_t(entry)] : std::u16string());

        QVERIFY(s.stepNumber >= 0 && s.stepNumber <= kFinaleStep);
        QCOMPARE(std::accumulate(s.genreUses.begin(), s.genreUses.end(), 0), m_stepsTold);
        QCOMPARE(stepsToldAt(s.stepNumber), m_stepsTold);
        QVERIFY(s.currentGenre >= 1 && s.currentGenre <= s.genreCount);

        const bool finished = s.stepNumber == kFinaleStep;
        QCOMPARE(w.countdownRunning, !finished);
        QCOMPARE(w.blinking, finished);
        QCOMPARE(w.countdownShown, !finished);
        if (finished) {
            for (const OfferedPlace &place : w.offered)
                QVERIFY(!place.visible);
            return;
        }
        // Before the finale the button keeps its own colour.
        QVERIFY(!w.blinkLit);
        QVERIFY(s.countdownMs >= 1 && s.countdownMs <= 50000);
        // The other genres in catalogue order, on exactly as many labels as there are.
        int slot = 0;
        for (qint32 g = 1; g <= s.genreCount; ++g) {
            if (g == s.currentGenre)
                continue;
            QCOMPARE(w.offered[std::size_t(slot)].caption, m_catalogue.genreNames[std::size_t(g)]);
            QVERIFY(w.offered[std::size_t(slot)].visible);
            ++slot;
        }
        for (; slot < kOfferedSlots; ++slot)
            QVERIFY(!w.offered[std::size_t(slot)].visible);
    }

    QDir m_dir;
    DataTree m_tree;
    std::mt19937 m_pick;
    EventMix m_mix;
    quint64 m_seed;
    SeededRandom m_random;
    StoryState m_state;
    StoryState m_catalogue;
    int m_stepsTold = 0;
    qint32 m_linesBeforeEvent = 1;
};

} // namespace

Q_DECLARE_METATYPE(EventMix)

class TestSoak : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void wholeStoriesKeepTheirInvariants_data();
    void wholeStoriesKeepTheirInvariants();

private:
    // Settings are saved thousands of times: keep the copy in memory where the system can.
    StoryTree m_data{QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                         ? QStringLiteral("/dev/shm/vorta-soak-XXXXXX")
                         : QDir::tempPath() + QStringLiteral("/vorta-soak-XXXXXX")};
};

void TestSoak::initTestCase()
{
    // An author can soak another story tree by naming it in VORTA_SAMPLE_DATA.
    const QString sample =
        qEnvironmentVariable("VORTA_SAMPLE_DATA", QStringLiteral(VORTA_SAMPLE_DATA));
    QVERIFY2(QDir(sample).exists(QStringLiteral("Genres/genres.vtq")), qPrintable(sample));
    m_data.copyFrom(QDir(sample));
}

void TestSoak::wholeStoriesKeepTheirInvariants_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<EventMix>("mix");
    QTest::addColumn<int>("stories");
    // Weights per thousand events.
    QTest::newRow("mostly the reader's moves") << 1u << EventMix{600, 150, 230, 15, 5} << 1500;
    QTest::newRow("mostly the program's moves") << 2u << EventMix{30, 850, 100, 20, 0} << 150;
    QTest::newRow("new stories at random points") << 3u << EventMix{500, 250, 220, 20, 10} << 450;
}

// Nothing fails and the buffer, viewport, steps, uses and timers agree after every event.
void TestSoak::wholeStoriesKeepTheirInvariants()
{
    QFETCH(quint32, seed);
    QFETCH(EventMix, mix);
    QFETCH(int, stories);

    const QDir dir = m_data.dir();
    saveSettings(m_data.data(), 0, 5);
    QElapsedTimer clock;
    clock.start();
    Soak soak(dir, seed, mix);
    soak.start();
    soak.runUntil(stories);
    if (QTest::currentTestFailed())
        return;
    qInfo("%d stories told to the end, %d begun, %d events, %lld ms", soak.finishedStories,
          soak.begunStories, soak.events, clock.elapsed());
    if (!soak.linesWithoutMarker.isEmpty())
        qInfo("step-37 lines without the IQ marker: %s",
              qPrintable(QStringList(soak.linesWithoutMarker.values()).join(QStringLiteral("; "))));
    if (!soak.silentFinales.isEmpty())
        qInfo("finales without a record: %s",
              qPrintable(QStringList(soak.silentFinales.values()).join(QStringLiteral("; "))));
}

QTEST_GUILESS_MAIN(TestSoak)
#include "tst_soak.moc"
