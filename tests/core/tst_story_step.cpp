// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/fragments.h"
#include "core/moves.h"
#include "core/numbers.h"
#include "core/story_state.h"
#include "core/story_step.h"
#include "format/qt_text.h"
#include "tests/support/core_text.h"
#include "tests/support/scripted_random.h"
#include "tests/support/story_tree.h"

#include <QTest>

using namespace vorta;

Q_DECLARE_METATYPE(vorta::ErrorKind)

namespace {

// A started story over `count` genres G1.. (directories g1..): every step one line
// "<dir> <step>", step 37 "<dir> iq(IQ)!", and "<dir> end L M" for every pair L, M.
struct Story
{
    explicit Story(int count, int switchProbability = 0)
    {
        QList<StoryTree::Genre> catalogue;
        for (int i = 1; i <= count; ++i)
            catalogue.append({QStringLiteral("G%1").arg(i), QStringLiteral("g%1").arg(i)});
        tree.writeStory(catalogue, {.switchProbability = switchProbability,
                                    .iqLine = QStringLiteral("{dir} iq(IQ)!"),
                                    .finaleLine = QStringLiteral("{dir} end {least} {most}"),
                                    .selfPairedEndings = true});
        random.push({0.0}); // start in genre 1
        firstStart(state, random, tree.data());
    }

    QStringList told() const { return toldLines(state); }

    StoryTree tree;
    ScriptedRandom random;
    StoryState state;
};

} // namespace

class TestStoryStep : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fragmentPathUsesPlainDigits();
    void variantDraw_data();
    void variantDraw();
    void readFragmentTellsTheDrawnVariant_data();
    void readFragmentTellsTheDrawnVariant();
    void brokenFragments_data();
    void brokenFragments();
    void damagedLaterVariantDoesNotMatterWhenAnEarlierIsDrawn();
    void insertIqValue_data();
    void insertIqValue();
    void wholeStoryInOneGenre();
    void iqDecidesTheBranch_data();
    void iqDecidesTheBranch();
    void drawOrderOfAProgramMoveAtStep37();
    void reportSaysWhatWasTold_data();
    void reportSaysWhatWasTold();
    void emptyVariantStillCountsTheStep();
    void failedMoveLeavesTheStateAsItWas();
};

void TestStoryStep::fragmentPathUsesPlainDigits()
{
    StoryState state;
    state.genreDirs[2] = u"x";
    QCOMPARE(fragmentPath(state, 2, 7), u"Genres/x/7.vtq");
    QCOMPARE(fragmentPath(state, 2, 12), u"Genres/x/12.vtq");
    QCOMPARE(fragmentPath(state, 2, 1), u"Genres/x/1.vtq");
    QCOMPARE(fragmentPath(state, 2, 65), u"Genres/x/65.vtq");
    QVERIFY_THROWS_EXCEPTION(StoryError, fragmentPath(state, 11, 1));
}

void TestStoryStep::variantDraw_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("variants");
    QTest::addColumn<int>("drawn");
    QTest::newRow("one variant") << 0.999 << 1 << 1;
    QTest::newRow("zero") << 0.0 << 3 << 1;
    QTest::newRow("just below a third") << 0.333 << 3 << 1;
    QTest::newRow("a third") << 0.34 << 3 << 2;
    QTest::newRow("last") << 0.7 << 3 << 3;
    // Rounds to 1.0f in single precision; must still be the last variant.
    QTest::newRow("just below one") << 0.99999999 << 3 << 3;
}

void TestStoryStep::variantDraw()
{
    QFETCH(double, value);
    QFETCH(int, variants);
    QTEST(drawVariant(value, variants), "drawn");
}

void TestStoryStep::readFragmentTellsTheDrawnVariant_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("first") << 0.1
                           << QStringList{QStringLiteral("a, \"quoted\", b"), QString(),
                                          QStringLiteral("  spaced  ")};
    QTest::newRow("second") << 0.5 << QStringList{QStringLiteral("single")};
    QTest::newRow("third, empty") << 0.9 << QStringList{};
}

void TestStoryStep::readFragmentTellsTheDrawnVariant()
{
    QFETCH(double, value);
    QFETCH(QStringList, lines);
    StoryTree tree;
    tree.writeFragment(
        QStringLiteral("x"), 3,
        {{QStringLiteral("a, \"quoted\", b"), QString(), QStringLiteral("  spaced  ")},
         {QStringLiteral("single")},
         {}});
    StoryState state;
    state.genreDirs[1] = u"x";
    ScriptedRandom random({value});
    QStringList told;
    readFragment(state, 1, 3, random, tree.data(),
                 [&](const std::u16string &line) { told << toQString(line); });
    QCOMPARE(told, lines);
    QCOMPARE(random.draws(), 1);
}

void TestStoryStep::brokenFragments_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::addColumn<ErrorKind>("kind");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("delivered");
    QTest::newRow("variant count not a number")
        << QStringLiteral("two\r\n1\r\na\r\n") << 0.0 << ErrorKind::BadNumber << 1 << 0;
    QTest::newRow("line count not a number")
        << QStringLiteral("1\r\n1x\r\na\r\n") << 0.0 << ErrorKind::BadNumber << 2 << 0;
    QTest::newRow("no variants") << QStringLiteral("0\r\n") << 0.0 << ErrorKind::BadNumber << 1
                                 << 0;
    QTest::newRow("ends before its last line")
        << QStringLiteral("1\r\n3\r\na\r\nb\r\n") << 0.0 << ErrorKind::InputPastEndOfFile << 4 << 2;
    QTest::newRow("ends before the drawn variant")
        << QStringLiteral("2\r\n1\r\na\r\n") << 0.9 << ErrorKind::InputPastEndOfFile << 3 << 0;
}

void TestStoryStep::brokenFragments()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QFETCH(ErrorKind, kind);
    QFETCH(int, line);
    QFETCH(int, delivered);
    StoryTree tree;
    tree.writeText(StoryTree::fragmentFile(QStringLiteral("x"), 5), text);
    StoryState state;
    state.genreDirs[1] = u"x";
    ScriptedRandom random({value});
    int handled = 0;
    try {
        readFragment(state, 1, 5, random, tree.data(), [&](const std::u16string &) { ++handled; });
        QFAIL("no error");
    } catch (const StoryError &error) {
        QCOMPARE(error.kind(), kind);
        QCOMPARE(error.file(), u"Genres/x/5.vtq");
        QCOMPARE(error.line(), line);
    }
    QCOMPARE(handled, delivered);
}

void TestStoryStep::damagedLaterVariantDoesNotMatterWhenAnEarlierIsDrawn()
{
    StoryTree tree;
    tree.writeText(StoryTree::fragmentFile(QStringLiteral("x"), 5),
                   QStringLiteral("2\r\n1\r\na\r\n7\r\nb\r\n"));
    StoryState state;
    state.genreDirs[1] = u"x";
    ScriptedRandom random({0.1});
    QStringList told;
    readFragment(state, 1, 5, random, tree.data(),
                 [&](const std::u16string &line) { told << toQString(line); });
    QCOMPARE(told, QStringList{QStringLiteral("a")});
}

void TestStoryStep::insertIqValue_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("iq");
    QTest::addColumn<QString>("result");
    QTest::newRow("parentheses") << QStringLiteral("ab(IQ)cd") << 95 << QStringLiteral("ab 95cd");
    QTest::newRow("equals sign") << QStringLiteral("x=IQ; y") << 95 << QStringLiteral("x 95 y");
    QTest::newRow("three digits") << QStringLiteral("равно(IQ) баллам") << 119
                                  << QStringLiteral("равно 119 баллам");
    QTest::newRow("only the first")
        << QStringLiteral("a(IQ)b(IQ)c") << 80 << QStringLiteral("a 80b(IQ)c");
    QTest::newRow("case-sensitive")
        << QStringLiteral("iq (Iq) (IQ).") << 90 << QStringLiteral("iq (Iq)  90.");
    QTest::newRow("no marker") << QStringLiteral("plain line") << 90
                               << QStringLiteral("plain line");
    QTest::newRow("marker first") << QStringLiteral("IQ) rest") << 90 << QStringLiteral(" 90 rest");
    QTest::newRow("marker last") << QStringLiteral("end (IQ") << 90 << QStringLiteral("end  90");
    QTest::newRow("marker alone") << QStringLiteral("IQ") << 100 << QStringLiteral(" 100");
}

void TestStoryStep::insertIqValue()
{
    QFETCH(QString, line);
    QFETCH(int, iq);
    QTEST(toQString(vorta::insertIqValue(toU16(line), iq)), "result");
}

void TestStoryStep::wholeStoryInOneGenre()
{
    Story story(3);
    story.random.push(QList<double>(200, 0.0)); // IQ 80; no percentage passes at 0 %
    while (story.state.window.countdownRunning)
        programMove(story.state, story.random, story.tree.data());

    QStringList expected;
    for (int step = 1; step <= 64; ++step) {
        if (step == 39)
            continue;
        expected << (step == 37 ? QStringLiteral("g1 iq 80!") : QStringLiteral("g1 %1").arg(step));
    }
    // Genre 1 was used most; genre 2 is the lowest of the unused ones.
    expected << QStringLiteral("g1 end 2 1");
    QCOMPARE(story.told(), expected);
    QCOMPARE(story.state.stepNumber, 65);
    QCOMPARE(story.state.genreUses[1], 63);
    QVERIFY(!story.state.window.countdownRunning);
    QVERIFY(story.state.window.blinking);
    QVERIFY(!story.state.window.countdownShown);
    for (const OfferedPlace &place : story.state.window.offered)
        QVERIFY(!place.visible);
    QCOMPARE(story.state.topLine, story.state.nextLine - 14);
}

void TestStoryStep::iqDecidesTheBranch_data()
{
    QTest::addColumn<double>("draw");
    QTest::addColumn<int>("iq");
    QTest::addColumn<int>("branch");
    QTest::newRow("80") << 0.0 << 80 << 38;
    QTest::newRow("100") << 0.5 << 100 << 38;
    QTest::newRow("101") << 0.525 << 101 << 39;
    QTest::newRow("119") << 0.9999 << 119 << 39;
}

void TestStoryStep::iqDecidesTheBranch()
{
    QFETCH(double, draw);
    QFETCH(int, branch);
    Story story(2);
    story.state.stepNumber = 36;
    story.random.push({draw, 0.0});
    runStoryStep(story.state, MoveKind::Reader, story.random, story.tree.data());
    QTEST(story.state.iqValue, "iq");
    QCOMPARE(story.told().last(),
             QStringLiteral("g1 iq%1!").arg(toQString(numberText(story.state.iqValue))));
    runStoryStep(story.state, MoveKind::Reader, story.random, story.tree.data());
    QCOMPARE(story.state.stepNumber, branch);
    QCOMPARE(story.told().last(), QStringLiteral("g1 %1").arg(branch));
    runStoryStep(story.state, MoveKind::Reader, story.random, story.tree.data());
    QCOMPARE(story.state.stepNumber, 40);
}

// At step 37 a program's move draws the IQ, the percentage, the genre, then the variant.
void TestStoryStep::drawOrderOfAProgramMoveAtStep37()
{
    Story story(3, 10);
    story.tree.writeFragment(QStringLiteral("g3"), 37,
                             {{QStringLiteral("first(IQ)")}, {QStringLiteral("second(IQ)")}});
    story.state.stepNumber = 36;
    story.random.push({0.75, 0.2, 0.9, 0.6});
    programMove(story.state, story.random, story.tree.data());
    QCOMPARE(story.state.iqValue, 110);
    QCOMPARE(story.state.currentGenre, 3);
    QCOMPARE(story.told(), QStringList{QStringLiteral("second 110")});
    QCOMPARE(story.random.left(), 0);
    QCOMPARE(story.state.genreUses[3], 1);
    QCOMPARE(story.state.window.offered[0].caption, u"G1");
    QCOMPARE(story.state.window.offered[1].caption, u"G2");
}

void TestStoryStep::reportSaysWhatWasTold_data()
{
    QTest::addColumn<int>("stepBefore");
    QTest::addColumn<QList<double>>("draws");
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("variant"); // of 3 at step 5, of 1 elsewhere; 0 for the finale
    QTest::addColumn<int>("iq");      // -1: none drawn
    QTest::addColumn<QList<qint32>>("records");
    QTest::addColumn<int>("lines");

    QTest::newRow("variant 2 of 3")
        << 4 << QList<double>{0.5} << 5 << 2 << -1 << QList<qint32>() << 2;
    QTest::newRow("empty variant 3 of 3")
        << 4 << QList<double>{0.9} << 5 << 3 << -1 << QList<qint32>() << 0;
    QTest::newRow("step 37 draws the value")
        << 36 << QList<double>{0.525, 0.0} << 37 << 1 << 101 << QList<qint32>() << 1;
    QTest::newRow("a high value passes step 38 by")
        << 37 << QList<double>{0.0} << 39 << 1 << -1 << QList<qint32>() << 1;
    // Genre 1 tells 63 steps and genre 2 none: the records of the pair (2, 1), second and last.
    QTest::newRow("finale") << 64 << QList<double>() << 65 << 0 << -1 << QList<qint32>{2, 4} << 3;
}

void TestStoryStep::reportSaysWhatWasTold()
{
    QFETCH(int, stepBefore);
    QFETCH(QList<double>, draws);
    QFETCH(QList<qint32>, records);
    Story story(2);
    story.tree.writeFragment(QStringLiteral("g1"), 5,
                             {strings({"а"}), strings({"б", "в"}), StoryTree::Variant()});
    story.tree.writeFinale(QStringLiteral("g1"), {{1, 2, strings({"не то"})},
                                                  {2, 1, strings({"конец"})},
                                                  {1, 1, {}},
                                                  {2, 1, strings({"совсем", "конец"})}});
    story.state.stepNumber = stepBefore;
    story.state.iqValue = 101;
    story.state.genreUses[1] = 63;
    story.random.push(draws);
    const qint32 firstLine = story.state.nextLine;

    const StepReport report =
        runStoryStep(story.state, MoveKind::Reader, story.random, story.tree.data());
    QTEST(report.step, "step");
    QCOMPARE(report.genre, 1);
    QTEST(report.variant, "variant");
    QCOMPARE(report.variantCount, report.variant == 0 ? 0 : report.step == 5 ? 3 : 1);
    QTEST(report.iqValue.value_or(-1), "iq");
    QCOMPARE(report.finale.has_value(), report.step == 65);
    const std::vector<std::int32_t> told =
        report.finale ? report.finale->records : std::vector<std::int32_t>();
    QCOMPARE(QList<qint32>(told.begin(), told.end()), records);
    QCOMPARE(report.firstLine, firstLine);
    QTEST(report.lineCount, "lines");
    QCOMPARE(story.state.nextLine, firstLine + report.lineCount);
}

void TestStoryStep::emptyVariantStillCountsTheStep()
{
    Story story(2);
    story.tree.writeFragment(QStringLiteral("g1"), 1, {{}});
    const qint32 countdown = story.state.countdownMs;
    story.state.countdownMs = 1;
    runStoryStep(story.state, MoveKind::Reader, story.random, story.tree.data());
    QCOMPARE(story.state.stepNumber, 1);
    QCOMPARE(story.state.genreUses[1], 1);
    QCOMPARE(story.state.nextLine, 1);
    QCOMPARE(story.state.countdownMs, countdown);
    QVERIFY(story.state.window.offered[0].visible);
}

void TestStoryStep::failedMoveLeavesTheStateAsItWas()
{
    Story story(3, 10);
    story.random.push(QList<double>(20, 0.0));
    for (int i = 0; i < 5; ++i)
        programMove(story.state, story.random, story.tree.data());
    // Step 6 of genre 2 ends before its last line: two lines would be told before the failure.
    story.tree.writeText(StoryTree::fragmentFile(QStringLiteral("g2"), 6),
                         QStringLiteral("1\r\n3\r\na\r\nb\r\n"));
    const StoryState before = story.state;
    QVERIFY_THROWS_EXCEPTION(StoryError,
                             readerMove(story.state, u"G2", story.random, story.tree.data()));
    QVERIFY(story.state == before);
}

QTEST_GUILESS_MAIN(TestStoryStep)
#include "tst_story_step.moc"
