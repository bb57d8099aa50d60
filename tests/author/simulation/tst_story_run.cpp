// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/core_text.h"
#include "tests/support/story_by_ticks.h"
#include "tests/support/story_tree.h"

#include "author/report/plural.h"
#include "author/simulation/story_run.h"

#include "core/story_check.h"

#include <QRegularExpression>
#include <QTest>

#include <algorithm>
#include <numeric>

using namespace vorta;
using namespace vorta::author;

namespace {

// The two genres of most cases.
const QList<StoryTree::Genre> kTwoGenres{{QStringLiteral("Детектив"), QStringLiteral("detective")},
                                         {QStringLiteral("Ужасы"), QStringLiteral("horror")}};

const QString kOnlyGenre = QStringLiteral("skazka");
const QList<StoryTree::Genre> kOneGenre{{QStringLiteral("Сказка"), kOnlyGenre}};

} // namespace

class StoryRunTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sameSeedTellsTheSameStory();
    void storyHasTheLinesOfTheProgramsBuffer_data();
    void storyHasTheLinesOfTheProgramsBuffer();
    void storyTellsSixtyThreeStepsThenTheFinale();
    void coverageCountsTheVariantsOfOneStory();
    void coverageNotesOnlyWhatNoStoryCanReach();
    void coverageCountsEveryStoryOnceAtEachFork();
    void coverageTellsAFileSavedAsUtf8();
};

void StoryRunTest::sameSeedTellsTheSameStory()
{
    StoryTree tree;
    tree.writeStory(kTwoGenres, {.variantsPerStep = 3});

    const ToldStory first = tellStory(tree.data(), 42);
    QVERIFY(!first.error);
    QCOMPARE(tellStory(tree.data(), 42).lines, first.lines);
    // Three variants in each of 63 steps: another seed tells another story.
    QVERIFY(tellStory(tree.data(), 43).lines != first.lines);
}

void StoryRunTest::storyHasTheLinesOfTheProgramsBuffer_data()
{
    QTest::addColumn<int>("waitingPeriod");
    QTest::addColumn<int>("switchProbability");
    QTest::addColumn<quint64>("seed");

    QTest::newRow("keeps the genre") << 0 << 0 << quint64(1);
    QTest::newRow("switches half the time") << 2 << 5 << quint64(7);
    QTest::newRow("always draws a genre") << 1 << 10 << quint64(12345678901234ULL);
}

void StoryRunTest::storyHasTheLinesOfTheProgramsBuffer()
{
    QFETCH(int, waitingPeriod);
    QFETCH(int, switchProbability);
    QFETCH(quint64, seed);

    StoryTree tree;
    tree.writeStory(kTwoGenres, {.variantsPerStep = 2});
    tree.writeSettings(waitingPeriod, switchProbability);

    const ToldStory story = tellStory(tree.data(), seed);
    QVERIFY(!story.error);
    QCOMPARE(story.lines, storyByTicks(tree.data(), seed));
}

void StoryRunTest::storyTellsSixtyThreeStepsThenTheFinale()
{
    StoryTree tree;
    tree.writeStory(kOneGenre);
    tree.writeFinale(kOnlyGenre,
                     {{1, 1, strings({"Конец.", "Совсем конец."})}, {2, 1, strings({"Не то."})}});

    const ToldStory story = tellStory(tree.data(), 5);
    QVERIFY(!story.error);
    QCOMPARE(story.lines.size(), 63 + 2);
    QCOMPARE(story.lines.first(), QStringLiteral("skazka 1"));
    QCOMPARE(story.lines.at(35), QStringLiteral("skazka 36"));
    // "ум:(IQ)." with the parentheses giving way to the number.
    QVERIFY2(QRegularExpression(QStringLiteral("^skazka ум: (8\\d|9\\d|1[01]\\d)\\.$"))
                 .match(story.lines.at(36))
                 .hasMatch(),
             qPrintable(story.lines.at(36)));
    const int iq = story.lines.at(36).section(QLatin1Char(' '), 2).chopped(1).toInt();
    QCOMPARE(story.lines.at(37),
             iq <= 100 ? QStringLiteral("skazka 38") : QStringLiteral("skazka 39"));
    QCOMPARE(story.lines.at(38), QStringLiteral("skazka 40"));
    QCOMPARE(story.lines.mid(62), strings({"skazka 64", "Конец.", "Совсем конец."}));
}

void StoryRunTest::coverageCountsTheVariantsOfOneStory()
{
    StoryTree tree;
    tree.writeStory(kOneGenre);
    tree.writeFragment(kOnlyGenre, 5, {strings({"а"}), strings({"б", "в"}), {}});

    const CoverageReport report = runCoverage(tree.data(), checkTree(tree.data()).data, 1);
    QCOMPARE(report.stories, 1);
    QCOMPARE(report.variantsTotal, 66);
    // One story tells one variant of each of 63 steps; the rest are two of step 5 and
    // whichever of steps 38 and 39 the IQ value passed by.
    QCOMPARE(report.variantsTold, 63);
    QCOMPARE(report.recordsTotal, 1);
    QCOMPARE(report.recordsTold, 1);
    QCOMPARE(report.notes.size(), 3u);
    const QString step5 = StoryTree::fragmentFile(kOnlyGenre, 5);
    QCOMPARE(toQString(report.notes.at(0).path), step5);
    QCOMPARE(toQString(report.notes.at(1).path), step5);
    QVERIFY(QList<int>({2, 4, 7}).contains(report.notes.at(0).line));
    QVERIFY(QList<int>({2, 4, 7}).contains(report.notes.at(1).line));
    QCOMPARE(report.notes.at(2).line, 2);
    const QString branch = toQString(report.notes.at(2).path);
    QVERIFY(branch == StoryTree::fragmentFile(kOnlyGenre, 38) ||
            branch == StoryTree::fragmentFile(kOnlyGenre, 39));
    QCOMPARE(report.notes.at(2).severity, Severity::Note);
    QCOMPARE(report.notes.at(2).text, u"вариант 1 из 1 ни разу не рассказан в 1 рассказе");
}

// Over enough stories with a reader who sometimes clicks, every variant and every ending that
// a story can reach is told, in both genres' finale files; a (1, 1) record never is.
void StoryRunTest::coverageNotesOnlyWhatNoStoryCanReach()
{
    StoryTree tree;
    tree.writeStory(kTwoGenres, {.variantsPerStep = 2});
    for (const QString &dir : {QStringLiteral("detective"), QStringLiteral("horror")})
        tree.writeFinale(dir, {{1, 2, strings({"а"})}, {1, 1, strings({"б"})}, {2, 1, {}}});

    const CoverageReport report = runCoverage(tree.data(), checkTree(tree.data()).data, 100);
    QCOMPARE(report.variantsTold, report.variantsTotal);
    QCOMPARE(report.variantsTotal, 2 * 64 * 2);
    QCOMPARE(report.recordsTotal, 6);
    QCOMPARE(report.recordsTold, 4);
    QCOMPARE(report.notes.size(), 2u);
    QCOMPARE(toQString(report.notes.at(0).path),
             StoryTree::fragmentFile(QStringLiteral("detective"), 65));
    QCOMPARE(report.notes.at(0).line, 7); // the line count of the (1, 1) record
    QCOMPARE(toQString(report.notes.at(1).path),
             StoryTree::fragmentFile(QStringLiteral("horror"), 65));
    QCOMPARE(report.notes.at(1).text, u"запись (1, 1) ни разу не рассказана в 100 рассказах");
}

// Each story takes one branch at step 37 and ends in one finale file with one pair, told from
// its record or from none; enough stories that the run is shared out among the processors,
// whose counts must add up.
void StoryRunTest::coverageCountsEveryStoryOnceAtEachFork()
{
    constexpr int kStories = 300;
    StoryTree tree;
    tree.writeStory(kTwoGenres);
    const QString detective = StoryTree::fragmentFile(QStringLiteral("detective"), 65);
    const QString horror = StoryTree::fragmentFile(QStringLiteral("horror"), 65);
    tree.writeFinale(QStringLiteral("detective"), {{1, 2, strings({"а"})}});

    const CoverageReport report = runCoverage(tree.data(), checkTree(tree.data()).data, kStories);
    const StoryCounts &counts = report.counts;
    QCOMPARE(counts.stories, kStories);
    QCOMPARE(counts.lowBranch + counts.highBranch, kStories);
    QCOMPARE(std::accumulate(counts.endings.begin(), counts.endings.end(), 0), kStories);
    QCOMPARE(counts.finales.value(detective) + counts.finales.value(horror), kStories);
    const QList<int> horrorRecords = counts.records.value(horror);
    QCOMPARE(std::accumulate(horrorRecords.begin(), horrorRecords.end(), 0),
             counts.finales.value(horror));
    // Only the pair that the detective's file lacks goes without a finale, and there.
    QCOMPARE(counts.endingsWithoutRecord.keys(), QStringList{detective});
    const int without = counts.endingsWithoutRecord.value(detective).value({2, 1});
    QVERIFY(without > 0);
    QCOMPARE(counts.endingsWithoutAnyRecord(), without);
    QCOMPARE(counts.records.value(detective).first() + without, counts.finales.value(detective));
    const Diagnostic ending = diagnostic(
        detective, 1, Severity::Note,
        QStringLiteral("пара (2, 1) закончила здесь %1, а записи для неё нет: финала не было")
            .arg(countText(without, QStringLiteral("рассказ"), QStringLiteral("рассказа"),
                           QStringLiteral("рассказов"))));
    QVERIFY(std::find(report.notes.begin(), report.notes.end(), ending) != report.notes.end());
}

// The check reads such a file as its author wrote it, the program in Windows-1251: the run
// must not take the difference for a file changed under it.
void StoryRunTest::coverageTellsAFileSavedAsUtf8()
{
    StoryTree tree;
    tree.writeStory(kOneGenre);
    tree.writeBytes(StoryTree::fragmentFile(kOnlyGenre, 4),
                    "2\r\n1\r\n" + QStringLiteral("Утро.").toUtf8() + "\r\n0\r\n");
    const CheckResult checked = checkTree(tree.data());
    QCOMPARE(toQStringList(checked.data.fragments.at(3).variants.front().lines),
             strings({"Утро."}));

    const CoverageReport report = runCoverage(tree.data(), checked.data, 5);
    QCOMPARE(report.counts.stepTold(StoryTree::fragmentFile(kOnlyGenre, 4)), 5);
}

QTEST_GUILESS_MAIN(StoryRunTest)
#include "tst_story_run.moc"
