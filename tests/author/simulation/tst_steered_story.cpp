// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/story_by_ticks.h"
#include "tests/support/story_tree.h"

#include "author/simulation/steered_story.h"

#include "core/moves.h"
#include "core/random_source.h"
#include "core/story_state.h"

#include <QRegularExpression>
#include <QSet>
#include <QTest>

using namespace vorta::author;

namespace {

const QList<StoryTree::Genre> kThreeGenres{
    {QStringLiteral("Детектив"), QStringLiteral("detective")},
    {QStringLiteral("Ужасы"), QStringLiteral("horror")},
    {QStringLiteral("Сказка"), QStringLiteral("skazka")}};

// Every line names its genre, step and variant: "horror 12 в3", "horror ум: 103. в1".
StoryTree::Plan selfNamingPlan(int switchProbability)
{
    StoryTree::Plan plan;
    plan.variantsPerStep = 3;
    plan.switchProbability = switchProbability;
    return plan;
}

QString dirOf(int genre)
{
    return kThreeGenres.at(genre - 1).dir;
}

} // namespace

class SteeredStoryTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void picksSteerAndLabelsNameWhatWasTold_data();
    void picksSteerAndLabelsNameWhatWasTold();
    void noPicksTellsTheProgramsOwnStory();
};

void SteeredStoryTest::picksSteerAndLabelsNameWhatWasTold_data()
{
    QTest::addColumn<QList<qint32>>("picks");
    QTest::addColumn<int>("switchProbability");
    QTest::addColumn<QList<qint32>>("genres"); // expected for the first moves, then the last one

    QTest::newRow("one pick steers every move") << QList<qint32>{2} << 10 << QList<qint32>{2};
    // The program keeps the genre of the last pick once the list runs out.
    QTest::newRow("the program moves after the list")
        << QList<qint32>{3, 1, 2} << 0 << QList<qint32>{3, 1, 2};
    QTest::newRow("a pick may name the genre in force")
        << QList<qint32>{1, 1, 3, 3} << 0 << QList<qint32>{1, 1, 3, 3};
}

void SteeredStoryTest::picksSteerAndLabelsNameWhatWasTold()
{
    QFETCH(QList<qint32>, picks);
    QFETCH(int, switchProbability);
    QFETCH(QList<qint32>, genres);

    StoryTree tree;
    tree.writeStory(kThreeGenres, selfNamingPlan(switchProbability));
    const SteeredStory story = tellSteeredStory(tree.data(), 11, picks);
    QVERIFY(!story.error);
    QCOMPARE(story.steps.size(), 64);

    const QRegularExpression stepLine(QStringLiteral("^(\\w+) (\\d+) в(\\d)$"));
    const QRegularExpression iqLine(QStringLiteral("^(\\w+) ум: (\\d+)\\. в(\\d)$"));
    for (qsizetype m = 0; m < 63; ++m) {
        const ToldStep &step = story.steps.at(m);
        const qint32 genre = genres.at(qMin(m, genres.size() - 1));
        QCOMPARE(step.genreDir, dirOf(genre));
        QCOMPARE(step.lines.size(), 1);
        const bool iq = step.step == 37;
        const QRegularExpressionMatch match = (iq ? iqLine : stepLine).match(step.lines.first());
        QVERIFY2(match.hasMatch(), qPrintable(step.lines.first()));
        QCOMPARE(match.captured(1), dirOf(genre));
        if (!iq)
            QCOMPARE(match.captured(2).toInt(), step.step);
        QString expected = QStringLiteral("[шаг %1 · %2 (%3) · вариант %4 из 3")
                               .arg(step.step)
                               .arg(kThreeGenres.at(genre - 1).name, dirOf(genre))
                               .arg(match.captured(3));
        if (iq)
            expected += QStringLiteral(" · IQ ") + match.captured(2);
        QCOMPARE(stepLabel(step), expected + QLatin1Char(']'));
    }

    // The finale is told from the last genre's file, for the pair the label names.
    const ToldStep &finale = story.steps.last();
    QCOMPARE(finale.step, 65);
    const QString label = stepLabel(finale);
    const QRegularExpressionMatch pair =
        QRegularExpression(QStringLiteral("^\\[финал · наименее (\\d+) · наиболее (\\d+)\\]$"))
            .match(label);
    QVERIFY2(pair.hasMatch(), qPrintable(label));
    QCOMPARE(finale.lines,
             QStringList(QStringLiteral("%1 финал %2-%3")
                             .arg(dirOf(genres.last()), pair.captured(1), pair.captured(2))));
}

// Without picks and labels the lines are those of the program's own story, the preview the
// story subcommand has always printed.
void SteeredStoryTest::noPicksTellsTheProgramsOwnStory()
{
    StoryTree tree;
    tree.writeStory(kThreeGenres, selfNamingPlan(5));
    const SteeredStory story = tellSteeredStory(tree.data(), 2024);
    QCOMPARE(story.lines(), storyByTicks(tree.data(), 2024));
    // Half the program's moves draw a genre, so three genres all tell something.
    QSet<QString> told;
    for (const ToldStep &step : story.steps)
        told.insert(step.genreDir);
    QCOMPARE(told.size(), 3);
}

QTEST_GUILESS_MAIN(SteeredStoryTest)
#include "tst_steered_story.moc"
