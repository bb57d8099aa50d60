// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/moves.h"
#include "core/numbers.h"
#include "core/story_state.h"
#include "core/story_step.h"
#include "tests/support/core_text.h"
#include "tests/support/scripted_random.h"
#include "tests/support/story_tree.h"

#include <QTest>

using namespace vorta;

namespace {

const QString kPrefix = QStringLiteral("До активничания программы осталось:");

QString countdownText(const StoryState &state)
{
    return toQString(state.window.countdownText);
}

// Genres A, B, C, D (directories a..d), every step one line "<dir> <step>", step 37
// "<dir> iq(IQ)!", and "<dir> end L M" for every pair L, M.
struct Story
{
    explicit Story(int waitingPeriod = 1, int switchProbability = 0, double startDraw = 0.3)
    {
        QList<StoryTree::Genre> catalogue;
        for (const char *name : {"A", "B", "C", "D"})
            catalogue.append({QString::fromLatin1(name), QString::fromLatin1(name).toLower()});
        tree.writeStory(catalogue, {.waitingPeriod = waitingPeriod,
                                    .switchProbability = switchProbability,
                                    .iqLine = QStringLiteral("{dir} iq(IQ)!"),
                                    .finaleLine = QStringLiteral("{dir} end {least} {most}"),
                                    .selfPairedEndings = true});
        random.push({startDraw});
        firstStart(state, random, tree.data());
    }

    std::optional<StoryError> tick() { return countdownTick(state, random, tree.data()); }
    QString lastLine() const { return toQString(state.storyLines.back()); }

    StoryTree tree;
    ScriptedRandom random;
    StoryState state;
};

} // namespace

class TestMoves : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void countdown_data();
    void countdown();
    void readerMoveRestartsTheCountdown();
    void settingsTakeEffectAtTheNextTick();
    void unreadableSettingsAreReportedOnceAndKeepTheLastValues();
    void failedProgramMoveKeepsTheRestartedCountdown();
    void readerMoveLooksUpTheCaption_data();
    void readerMoveLooksUpTheCaption();
    void programMoveKeepsOrDrawsTheGenre_data();
    void programMoveKeepsOrDrawsTheGenre();
    void wholeStoryOfReaderMoves();
    void readerMoveAtStep65TellsTheFinaleInTheClickedGenre();
};

void TestMoves::countdown_data()
{
    QTest::addColumn<int>("waitingPeriod");
    QTest::addColumn<QList<int>>("shown");
    QTest::addColumn<QList<bool>>("moves");
    QTest::newRow("5000 ms") << 1 << QList<int>{4, 3, 2, 1, 0, 4, 3}
                             << QList<bool>{false, false, false, false, true, false, false};
    QTest::newRow("1000 ms") << 0 << QList<int>{0, 0, 0} << QList<bool>{true, true, true};
    QTest::newRow("negative") << -1 << QList<int>{-6, -6} << QList<bool>{true, true};
}

void TestMoves::countdown()
{
    QFETCH(int, waitingPeriod);
    QFETCH(QList<int>, shown);
    QFETCH(QList<bool>, moves);
    Story story(waitingPeriod);
    for (int i = 0; i < shown.size(); ++i) {
        const qint32 step = story.state.stepNumber;
        // A tick that moves says what it told; one that does not leaves the report alone.
        StepReport told;
        told.step = -1;
        QVERIFY(!countdownTick(story.state, story.random, story.tree.data(), &told));
        QCOMPARE(countdownText(story.state), kPrefix + toQString(numberText(shown[i])));
        QCOMPARE(story.state.stepNumber, step + (moves[i] ? 1 : 0));
        QCOMPARE(told.step, moves[i] ? story.state.stepNumber : -1);
    }
}

void TestMoves::readerMoveRestartsTheCountdown()
{
    Story story(1);
    story.tick();
    story.tick();
    const QString caption = countdownText(story.state);
    readerMove(story.state, u"C", story.random, story.tree.data());
    QCOMPARE(story.state.countdownMs, 5000);
    QCOMPARE(countdownText(story.state), caption);
    QList<int> shown;
    for (int i = 0; i < 5; ++i) {
        story.tick();
        shown << countdownText(story.state).mid(kPrefix.size()).toInt();
    }
    QCOMPARE(shown, (QList<int>{4, 3, 2, 1, 0}));
    QCOMPARE(story.state.stepNumber, 2);
}

void TestMoves::settingsTakeEffectAtTheNextTick()
{
    Story story(2, 0);
    story.tick();
    QCOMPARE(story.state.countdownMs, 9000);
    story.tree.writeSettings(1, 10);
    story.tick();
    // The countdown under way runs on; the new period comes with the next restart.
    QCOMPARE(story.state.countdownMs, 8000);
    QCOMPARE(story.state.autoPeriodMs, 5000);
    QCOMPARE(story.state.switchPercent, 100);
}

void TestMoves::unreadableSettingsAreReportedOnceAndKeepTheLastValues()
{
    Story story(2, 3);
    story.tree.remove(QStringLiteral("vorta.cfg"));
    const std::optional<StoryError> first = story.tick();
    QVERIFY(first);
    QCOMPARE(first->kind(), ErrorKind::FileNotFound);
    QCOMPARE(story.state.countdownMs, 9000);
    QVERIFY(!story.tick());
    QCOMPARE(story.state.autoPeriodMs, 10000);
    QCOMPARE(story.state.switchPercent, 30);
    story.tree.writeSettings(1, 0);
    QVERIFY(!story.tick());
    story.tree.writeText(QStringLiteral("vorta.cfg"), QStringLiteral("x"));
    QVERIFY(story.tick());
    QVERIFY(!story.tick());
}

void TestMoves::failedProgramMoveKeepsTheRestartedCountdown()
{
    Story story(0);
    story.tree.remove(StoryTree::fragmentFile(QStringLiteral("b"), 1));
    StoryState expected = story.state;
    expected.window.countdownText = toU16(kPrefix + QStringLiteral(" 0"));
    try {
        story.tick();
        QFAIL("no error");
    } catch (const StoryError &error) {
        QCOMPARE(error.kind(), ErrorKind::FileNotFound);
        QCOMPARE(error.file(), u"Genres/b/1.vtq");
    }
    QVERIFY(story.state == expected);
}

void TestMoves::readerMoveLooksUpTheCaption_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("genre");
    QTest::newRow("C") << QStringLiteral("C") << 3;
    QTest::newRow("no match keeps the genre") << QStringLiteral("Z") << 2;
    QTest::newRow("case matters") << QStringLiteral("c") << 2;
    QTest::newRow("whole string") << QStringLiteral("C ") << 2;
    QTest::newRow("first of two equal names") << QStringLiteral("Twin") << 1;
}

void TestMoves::readerMoveLooksUpTheCaption()
{
    QFETCH(QString, caption);
    QFETCH(int, genre);
    Story story;
    QCOMPARE(story.state.currentGenre, 2);
    story.state.genreNames[1] = story.state.genreNames[4] = u"Twin";
    story.state.genreNames[2] = u"B";
    readerMove(story.state, toU16(caption), story.random, story.tree.data());
    QCOMPARE(story.state.currentGenre, genre);
    QCOMPARE(story.state.genreUses[genre], 1);
    QCOMPARE(story.lastLine(), toQString(story.state.genreDirs[genre]) + QStringLiteral(" 1"));
}

void TestMoves::programMoveKeepsOrDrawsTheGenre_data()
{
    QTest::addColumn<int>("switchProbability");
    QTest::addColumn<QList<double>>("draws");
    QTest::addColumn<int>("genre");
    QTest::newRow("0 % keeps") << 0 << QList<double>{0.0} << 2;
    QTest::newRow("100 % draws") << 10 << QList<double>{0.99, 0.8} << 4;
    QTest::newRow("100 % may draw the same") << 10 << QList<double>{0.5, 0.3} << 2;
    QTest::newRow("30 %: 29 passes") << 3 << QList<double>{0.29, 0.0} << 1;
    QTest::newRow("30 %: 30 keeps") << 3 << QList<double>{0.30} << 2;
}

void TestMoves::programMoveKeepsOrDrawsTheGenre()
{
    QFETCH(int, switchProbability);
    QFETCH(QList<double>, draws);
    Story story(0, switchProbability);
    story.random.push(draws);
    story.random.push({0.0}); // the variant
    const int drawsBefore = story.random.draws();
    story.tick();
    QTEST(story.state.currentGenre, "genre");
    QCOMPARE(story.random.draws() - drawsBefore, draws.size() + 1);
    QCOMPARE(story.random.left(), 0);
    // The offered places are refilled after the genre decision.
    QVERIFY(!std::any_of(story.state.window.offered.begin(), story.state.window.offered.begin() + 3,
                         [&](const OfferedPlace &place) {
                             return place.caption ==
                                    story.state.genreNames[story.state.currentGenre];
                         }));
}

void TestMoves::wholeStoryOfReaderMoves()
{
    Story story(1);
    int move = 0;
    while (story.state.window.countdownRunning) {
        // Click the first offered place; it always holds a genre other than the current one.
        const std::u16string caption = story.state.window.offered[0].caption;
        readerMove(story.state, caption, story.random, story.tree.data());
        ++move;
    }
    QCOMPARE(move, 64);
    QCOMPARE(story.state.stepNumber, 65);
    QCOMPARE(story.state.nextLine, 65);
    QVERIFY(story.state.window.blinking);
    int uses = 0;
    for (int g = 1; g <= 4; ++g)
        uses += story.state.genreUses[g];
    QCOMPARE(uses, 63);
}

void TestMoves::readerMoveAtStep65TellsTheFinaleInTheClickedGenre()
{
    Story story(1);
    story.state.stepNumber = 64;
    story.state.genreUses = {0, 5, 20, 3, 30, 0, 0, 0, 0, 0, 0};
    story.state.countdownMs = 2000;
    readerMove(story.state, u"C", story.random, story.tree.data());
    QCOMPARE(story.state.currentGenre, 3);
    QCOMPARE(story.lastLine(), QStringLiteral("c end 3 4"));
    QCOMPARE(story.state.genreUses[3], 3);
    QCOMPARE(story.state.countdownMs, 2000);
}

QTEST_GUILESS_MAIN(TestMoves)
#include "tst_moves.moc"
