// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/genre_choice.h"
#include "core/story_buffer.h"
#include "core/story_start.h"
#include "core/story_state.h"
#include "format/qt_text.h"
#include "tests/support/core_text.h"
#include "tests/support/scripted_random.h"
#include "tests/support/story_tree.h"

#include <QTest>

#include <new>
#include <stdexcept>

using namespace vorta;

namespace {

QList<StoryTree::Genre> genres(int count)
{
    QList<StoryTree::Genre> list;
    for (int i = 1; i <= count; ++i)
        list.append({QStringLiteral("Жанр %1").arg(i), QStringLiteral("g%1").arg(i)});
    return list;
}

QString genreName(int i)
{
    return QStringLiteral("Жанр %1").arg(i);
}

} // namespace

class TestStoryState : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void firstStartSetsUpTheStory_data();
    void firstStartSetsUpTheStory();
    void offeredGenres_data();
    void offeredGenres();
    void newStoryKeepsOrDrawsTheGenre_data();
    void newStoryKeepsOrDrawsTheGenre();
    void newStoryDrawsWhenTheKeptGenreLeftTheCatalogue();
    void newStoryResetsTheStoryButKeepsIq();
    void failedNewStoryLeavesEverything();
    void failedEventIsUndoneInPlace_data();
    void failedEventIsUndoneInPlace();
};

void TestStoryState::firstStartSetsUpTheStory_data()
{
    QTest::addColumn<int>("waitingPeriod");
    QTest::addColumn<int>("genreCount");
    QTest::addColumn<double>("draw");
    QTest::addColumn<int>("currentGenre");
    QTest::addColumn<QString>("caption");
    QTest::newRow("5 s, three genres")
        << 1 << 3 << 0.5 << 2 << QStringLiteral("До активничания программы осталось: 5");
    QTest::newRow("0 means one second")
        << 0 << 3 << 0.99 << 3 << QStringLiteral("До активничания программы осталось: 1");
    QTest::newRow("empty catalogue gives genre 1")
        << 2 << 0 << 0.7 << 1 << QStringLiteral("До активничания программы осталось: 10");
    QTest::newRow("negative period")
        << -1 << 1 << 0.0 << 1 << QStringLiteral("До активничания программы осталось:-5");
}

void TestStoryState::firstStartSetsUpTheStory()
{
    QFETCH(int, waitingPeriod);
    QFETCH(int, genreCount);
    QFETCH(double, draw);
    StoryTree tree;
    tree.writeSettings(waitingPeriod, 3);
    tree.writeCatalogue(genres(genreCount));
    StoryState state;
    ScriptedRandom random({draw});
    firstStart(state, random, tree.data());
    QTEST(state.currentGenre, "currentGenre");
    QTEST(toQString(state.window.countdownText), "caption");
    QCOMPARE(state.countdownMs, state.autoPeriodMs);
    QCOMPARE(state.switchPercent, 30);
    QCOMPARE(state.genreCount, genreCount);
    QCOMPARE(random.reseeds(), 1);
    QCOMPARE(random.draws(), 1);
    QCOMPARE(state.stepNumber, 0);
    QCOMPARE(state.nextLine, 1);
    QCOMPARE(state.topLine, 1);
    QVERIFY(state.window.countdownRunning);
    QVERIFY(!state.window.blinking);
    for (int k = 0; k < kOfferedSlots; ++k)
        QCOMPARE(state.window.offered[k].visible, k < genreCount - 1);
}

void TestStoryState::offeredGenres_data()
{
    QTest::addColumn<int>("genreCount");
    QTest::addColumn<int>("currentGenre");
    QTest::addColumn<QList<int>>("offered"); // genre in each filled place, in order
    QTest::newRow("one genre") << 1 << 1 << QList<int>{};
    QTest::newRow("five, third current") << 5 << 3 << QList<int>{1, 2, 4, 5};
    QTest::newRow("four, second current") << 4 << 2 << QList<int>{1, 3, 4};
    QTest::newRow("ten, first current") << 10 << 1 << QList<int>{2, 3, 4, 5, 6, 7, 8, 9, 10};
    // A current genre outside the catalogue skips nothing: all fill, one fewer is shown.
    QTest::newRow("current beyond the catalogue") << 3 << 5 << QList<int>{1, 2, 3};
}

void TestStoryState::offeredGenres()
{
    QFETCH(int, genreCount);
    QFETCH(int, currentGenre);
    QFETCH(QList<int>, offered);
    StoryState state;
    for (int i = 1; i <= genreCount; ++i)
        state.genreNames[i] = toU16(genreName(i));
    state.genreCount = genreCount;
    state.currentGenre = currentGenre;
    state.window.offered[8].caption = u"старое";

    offeredGenresNameFill(state);
    for (int k = 0; k < kOfferedSlots; ++k) {
        QVERIFY(!state.window.offered[k].visible);
        const QString expected = k < offered.size() ? genreName(offered[k])
                                 : k == 8           ? QStringLiteral("старое")
                                                    : toQString(kChoicePlaceholder);
        QCOMPARE(toQString(state.window.offered[k].caption), expected);
    }
    offeredGenresVisibilityPass(state);
    for (int k = 0; k < kOfferedSlots; ++k)
        QCOMPARE(state.window.offered[k].visible, k < genreCount - 1);

    // The pass never hides a place.
    state.genreCount = 1;
    offeredGenresVisibilityPass(state);
    for (int k = 0; k < kOfferedSlots; ++k)
        QCOMPARE(state.window.offered[k].visible, k < genreCount - 1);
}

void TestStoryState::newStoryKeepsOrDrawsTheGenre_data()
{
    QTest::addColumn<int>("switchProbability");
    QTest::addColumn<QList<double>>("draws");
    QTest::addColumn<int>("currentGenre");
    QTest::addColumn<int>("drawsTaken");
    QTest::newRow("switch 0 keeps") << 0 << QList<double>{0.0, 0.9} << 2 << 1;
    QTest::newRow("switch 100 draws") << 10 << QList<double>{0.99, 0.9} << 4 << 2;
    QTest::newRow("draw may give the same") << 10 << QList<double>{0.5, 0.3} << 2 << 2;
    QTest::newRow("50: 49 passes") << 5 << QList<double>{0.49, 0.0} << 1 << 2;
    QTest::newRow("50: 50 fails") << 5 << QList<double>{0.50, 0.0} << 2 << 1;
}

void TestStoryState::newStoryKeepsOrDrawsTheGenre()
{
    QFETCH(int, switchProbability);
    QFETCH(QList<double>, draws);
    StoryTree tree;
    tree.writeSettings(1, switchProbability);
    tree.writeCatalogue(genres(4));
    StoryState state;
    ScriptedRandom random({0.3}); // genre 2 at the first start
    firstStart(state, random, tree.data());
    QCOMPARE(state.currentGenre, 2);
    random.push(draws);
    const int drawsBefore = random.draws();
    newStory(state, random, tree.data());
    QTEST(state.currentGenre, "currentGenre");
    QTEST(random.draws() - drawsBefore, "drawsTaken");
    QCOMPARE(random.reseeds(), 2);
}

void TestStoryState::newStoryDrawsWhenTheKeptGenreLeftTheCatalogue()
{
    StoryTree tree;
    tree.writeSettings(1, 0);
    tree.writeCatalogue(genres(5));
    StoryState state;
    ScriptedRandom random({0.9}); // genre 5
    firstStart(state, random, tree.data());
    QCOMPARE(state.currentGenre, 5);
    tree.writeCatalogue(genres(3));
    random.push({0.0, 0.5}); // the percentage fails; the extra draw gives genre 2
    newStory(state, random, tree.data());
    QCOMPARE(state.genreCount, 3);
    QCOMPARE(state.currentGenre, 2);
    QCOMPARE(toQString(state.window.offered[0].caption), genreName(1));
    QCOMPARE(toQString(state.window.offered[1].caption), genreName(3));
}

void TestStoryState::newStoryResetsTheStoryButKeepsIq()
{
    StoryTree tree;
    tree.writeSettings(2, 0);
    tree.writeCatalogue(genres(3));
    StoryState state;
    ScriptedRandom random({0.0});
    firstStart(state, random, tree.data());
    state.storyLines.insert(state.storyLines.end(), {u"a", u"b"});
    state.nextLine = 3;
    state.topLine = 3;
    state.stepNumber = 65;
    state.iqValue = 104;
    state.genreUses[1] = 7;
    state.countdownMs = -4000;
    state.window.countdownText = u"последний тик";
    state.window.countdownShown = false;
    state.window.blinkLit = true;
    state.window.countdownRunning = false;
    state.window.blinking = true;
    tree.writeSettings(3, 0);

    newStory(state, random, tree.data());
    QCOMPARE(state.storyLines, std::vector<std::u16string>{std::u16string()});
    QCOMPARE(state.nextLine, 1);
    QCOMPARE(state.topLine, 1);
    QCOMPARE(state.stepNumber, 0);
    QCOMPARE(state.iqValue, 104);
    QCOMPARE(state.genreUses[1], 0);
    QCOMPARE(state.countdownMs, 15000);
    QCOMPARE(state.window.countdownText, u"последний тик");
    QVERIFY(state.window.countdownShown);
    QVERIFY(!state.window.blinkLit);
    QVERIFY(state.window.countdownRunning);
    QVERIFY(!state.window.blinking);
    for (int r = 0; r < kViewportRows; ++r)
        QVERIFY(storyLine(state, state.topLine + r).empty());
}

void TestStoryState::failedNewStoryLeavesEverything()
{
    StoryTree tree;
    tree.writeSettings(2, 0);
    tree.writeCatalogue(genres(3));
    StoryState state;
    ScriptedRandom random({0.0});
    firstStart(state, random, tree.data());
    state.storyLines.push_back(u"a");
    state.nextLine = 2;
    state.stepNumber = 1;
    const StoryState before = state;
    tree.writeText(QStringLiteral("Genres/genres.vtq"), QStringLiteral("A,a\r\nB"));
    QVERIFY_THROWS_EXCEPTION(StoryError, newStory(state, random, tree.data()));
    QVERIFY(state == before);
    tree.remove(QStringLiteral("vorta.cfg"));
    QVERIFY_THROWS_EXCEPTION(StoryError, newStory(state, random, tree.data()));
    QVERIFY(state == before);
}

namespace {

enum class Failure
{
    None,
    StoryErrorAfterLines,
    OutOfMemoryAfterScrolling,
    OtherExceptionAfterSmallFields,
};

} // namespace

Q_DECLARE_METATYPE(Failure)

void TestStoryState::failedEventIsUndoneInPlace_data()
{
    QTest::addColumn<Failure>("failure");
    QTest::newRow("succeeds") << Failure::None;
    QTest::newRow("story error after 40 lines") << Failure::StoryErrorAfterLines;
    QTest::newRow("out of memory after scrolling") << Failure::OutOfMemoryAfterScrolling;
    QTest::newRow("other exception after the small fields")
        << Failure::OtherExceptionAfterSmallFields;
}

// A failed event is undone exactly, and in the lines' own storage: a copy of the lines to undo
// with would cost every event the length of the story.
void TestStoryState::failedEventIsUndoneInPlace()
{
    QFETCH(Failure, failure);
    StoryState state;
    state.nextLine = 1;
    resetView(state);
    for (int i = 1; i <= 30; ++i)
        appendStoryLine(state, toU16(QStringLiteral("строка %1").arg(i)));
    state.storyLines.reserve(1000);
    const std::u16string *storage = state.storyLines.data();
    const StoryState before = state;

    const auto event = [failure](StoryState &next) {
        for (int i = 1; i <= 40; ++i)
            appendStoryLine(next, toU16(QStringLiteral("новая %1").arg(i)));
        next.stepNumber = 12;
        next.genreUses[2] = 5;
        next.window.offered[0].caption = u"другой";
        switch (failure) {
        case Failure::None:
            return;
        case Failure::StoryErrorAfterLines:
            throw StoryError(ErrorKind::InputPastEndOfFile, u"f", 2);
        case Failure::OutOfMemoryAfterScrolling:
            followScrollBar(next, 1);
            throw std::bad_alloc();
        case Failure::OtherExceptionAfterSmallFields:
            next.countdownMs = -1;
            throw std::runtime_error("broken");
        }
    };
    if (failure == Failure::None) {
        runAtomically(state, event);
        QCOMPARE(state.nextLine, before.nextLine + 40);
        QCOMPARE(state.storyLines.back(), u"новая 40");
        QCOMPARE(state.stepNumber, 12);
    } else {
        QVERIFY_THROWS_EXCEPTION(std::exception, runAtomically(state, event));
        QVERIFY(state == before);
    }
    QCOMPARE(state.storyLines.data(), storage);
}

QTEST_GUILESS_MAIN(TestStoryState)
#include "tst_story_state.moc"
