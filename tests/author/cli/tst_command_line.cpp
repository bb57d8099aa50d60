// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/author/author_run.h"
#include "tests/author/manuscript_folder.h"
#include "tests/support/story_tree.h"

#include "author/cli/command_line.h"
#include "author/simulation/story_run.h"

#include <QProcess>
#include <QTest>

using namespace vorta::author;

namespace {

// The two genres of most cases.
AuthorRun runCommand(const QStringList &arguments, const QDir &workingDir)
{
    return runAuthor(arguments, workingDir);
}

QString program()
{
    return QString::fromUtf8(VORTA_AUTHOR_PROGRAM);
}

} // namespace

class CommandLineTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void exitStatusSaysWhatHappened_data();
    void exitStatusSaysWhatHappened();
    void checkPrintsDiagnosticsThenTheSummary();
    void storyPrintsOnlyTheStoryLines();
    void storyDataErrorGoesToStandardError();
    void coverageReportsNotesThenTotals();
    void labelledStoryHasALineBeforeEachStep();
    void programReadsTheWorkingDirectoryByDefault();
    void manuscriptFolderIsReadAtItsOwnLines_data();
    void manuscriptFolderIsReadAtItsOwnLines();
};

void CommandLineTest::exitStatusSaysWhatHappened_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("removedStep"); // in both genres; 0 for none
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("complains"); // on standard error

    QTest::newRow("clean data") << strings({"check"}) << 0 << int(ExitClean) << false;
    QTest::newRow("data with an error") << strings({"check"}) << 12 << int(ExitErrors) << false;
    QTest::newRow("help") << strings({"--help"}) << 0 << int(ExitClean) << false;
    QTest::newRow("version") << strings({"--version"}) << 0 << int(ExitClean) << false;
    QTest::newRow("help of a subcommand")
        << strings({"check", "--help"}) << 0 << int(ExitClean) << false;
    QTest::newRow("no subcommand") << QStringList() << 0 << int(ExitUsage) << true;
    QTest::newRow("unknown subcommand") << strings({"chek"}) << 0 << int(ExitUsage) << true;
    QTest::newRow("unknown option") << strings({"--fast"}) << 0 << int(ExitUsage) << true;
    QTest::newRow("unknown option of a subcommand")
        << strings({"check", "--fast"}) << 0 << int(ExitUsage) << true;
    QTest::newRow("seed without a value")
        << strings({"story", "--seed"}) << 0 << int(ExitUsage) << true;
    QTest::newRow("seed not a number")
        << strings({"story", "--seed", "x"}) << 0 << int(ExitUsage) << true;
    QTest::newRow("no stories") << strings({"coverage", "--stories", "0"}) << 0 << int(ExitUsage)
                                << true;
    QTest::newRow("two folders") << strings({"check", ".", "."}) << 0 << int(ExitUsage) << true;
    QTest::newRow("missing folder") << strings({"check", "nowhere"}) << 0 << int(ExitUsage) << true;
    QTest::newRow("missing story file")
        << strings({"check", "nowhere.vorta"}) << 0 << int(ExitUsage) << true;
    QTest::newRow("unpack of a missing story file")
        << strings({"unpack", "nowhere.vorta", "m"}) << 0 << int(ExitUsage) << true;
    QTest::newRow("story") << strings({"story", "--seed", "9"}) << 0 << int(ExitClean) << false;
    QTest::newRow("story stopped by a data error")
        << strings({"story", "--seed=9"}) << 30 << int(ExitErrors) << true;
    QTest::newRow("coverage") << strings({"coverage", "--stories", "2"}) << 0 << int(ExitClean)
                              << false;
    QTest::newRow("coverage stopped by a data error")
        << strings({"coverage", "--stories", "2"}) << 30 << int(ExitErrors) << true;
    QTest::newRow("build without a manuscript")
        << strings({"build"}) << 0 << int(ExitUsage) << true;
    QTest::newRow("build from a missing folder")
        << strings({"build", "nowhere"}) << 0 << int(ExitUsage) << true;
    QTest::newRow("build with three folders")
        << strings({"build", ".", ".", "."}) << 0 << int(ExitUsage) << true;
    QTest::newRow("unpack without a manuscript")
        << strings({"unpack"}) << 0 << int(ExitUsage) << true;
    QTest::newRow("unpack of a tree with an error")
        << strings({"unpack", "manuscript"}) << 12 << int(ExitErrors) << false;
    QTest::newRow("fix of a clean tree") << strings({"fix"}) << 0 << int(ExitClean) << false;
    QTest::newRow("new-genre without a folder")
        << strings({"new-genre", "Былина", "bylina"}) << 0 << int(ExitUsage) << true;
    QTest::newRow("help of build") << strings({"build", "--help"}) << 0 << int(ExitClean) << false;
    QTest::newRow("story with picks and labels")
        << strings({"story", "--seed", "1", "--picks", "horror,detective", "--labels"}) << 0
        << int(ExitClean) << false;
    QTest::newRow("a pick not in the catalogue")
        << strings({"story", "--seed", "1", "--picks", "horror,western"}) << 0 << int(ExitUsage)
        << true;
    QTest::newRow("an empty pick")
        << strings({"story", "--seed", "1", "--picks", "horror,"}) << 0 << int(ExitUsage) << true;
    QTest::newRow("check with statistics")
        << strings({"check", "--stats"}) << 0 << int(ExitClean) << false;
    QTest::newRow("proof") << strings({"proof", "--stories", "2"}) << 0 << int(ExitClean) << false;
    QTest::newRow("proof of data with an error")
        << strings({"proof", "--stories", "2"}) << 30 << int(ExitErrors) << false;
    QTest::newRow("proof without stories")
        << strings({"proof", "--stories", "none"}) << 0 << int(ExitUsage) << true;
}

void CommandLineTest::exitStatusSaysWhatHappened()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, removedStep);
    QFETCH(int, status);
    QFETCH(bool, complains);

    StoryTree tree;
    tree.writeStory(kTwoGenres);
    if (removedStep > 0) {
        for (const StoryTree::Genre &genre : kTwoGenres)
            tree.remove(StoryTree::fragmentFile(genre.dir, removedStep));
    }

    const AuthorRun run = runCommand(arguments, tree.dir());
    QCOMPARE(run.status, status);
    QCOMPARE(!run.err.isEmpty(), complains);
}

void CommandLineTest::checkPrintsDiagnosticsThenTheSummary()
{
    StoryTree tree;
    tree.writeStory(kTwoGenres);
    tree.remove(StoryTree::fragmentFile(QStringLiteral("horror"), 12));
    tree.writeSettings(1, 12);

    const AuthorRun run = runCommand({QStringLiteral("check"), tree.path()}, QDir::root());
    QCOMPARE(run.status, int(ExitErrors));
    QCOMPARE(run.out, QStringLiteral("Genres/horror/12.vtq:0: error: Файл не найден\n"
                                     "vorta.cfg:2: warning: значение 12 вне диапазона 0..10 окна "
                                     "настроек\n"
                                     "1 ошибка, 1 предупреждение\n"));
    QVERIFY(run.err.isEmpty());
}

void CommandLineTest::storyPrintsOnlyTheStoryLines()
{
    StoryTree tree;
    tree.writeStory(kTwoGenres, {.variantsPerStep = 2});

    const AuthorRun run =
        runCommand(strings({"story", "--seed", "77"}) << tree.path(), QDir::root());
    QCOMPARE(run.status, int(ExitClean));
    QCOMPARE(run.out, tellStory(tree.data(), 77).lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    QVERIFY(run.err.isEmpty());
}

void CommandLineTest::storyDataErrorGoesToStandardError()
{
    StoryTree tree;
    tree.writeStory({{QStringLiteral("Сказка"), QStringLiteral("skazka")}});
    tree.remove(StoryTree::fragmentFile(QStringLiteral("skazka"), 3));

    const AuthorRun run = runCommand(strings({"story", "--seed", "1"}), tree.dir());
    QCOMPARE(run.status, int(ExitErrors));
    QCOMPARE(run.out, QStringLiteral("skazka 1\nskazka 2\n"));
    QCOMPARE(run.err, QStringLiteral("Файл не найден\nФайл: Genres/skazka/3.vtq\n"));
}

void CommandLineTest::coverageReportsNotesThenTotals()
{
    StoryTree tree;
    tree.writeStory({{QStringLiteral("Сказка"), QStringLiteral("skazka")}});
    tree.writeFragment(QStringLiteral("skazka"), 38, {strings({"а"}), strings({"б"})});
    tree.writeFragment(QStringLiteral("skazka"), 39, {strings({"а"}), strings({"б"})});

    const AuthorRun run = runCommand(strings({"coverage", "--stories", "1"}), tree.dir());
    QCOMPARE(run.status, int(ExitClean));
    const QStringList out = run.out.split(QLatin1Char('\n'));
    // Of steps 38 and 39 one is told, and of its two variants one.
    QCOMPARE(out.size(), 8);
    QVERIFY(out.at(0).endsWith(QStringLiteral(" из 2 ни разу не рассказан в 1 рассказе")));
    QVERIFY(out.at(2).endsWith(QStringLiteral(" из 2 ни разу не рассказан в 1 рассказе")));
    QCOMPARE(out.at(3), QStringLiteral("рассказано хотя бы раз: 63 из 66 вариантов, 1 из 1 записи "
                                       "финала"));
    // The notes are sorted, so the middle one lies in the step not taken, whose variants
    // are both untold.
    const bool low = out.at(1).contains(QStringLiteral("/39.vtq:"));
    QCOMPARE(out.at(4), low ? QStringLiteral("шаг 37: к шагу 38 — 1 рассказ (100,0 %), к шагу 39 "
                                             "— 0 рассказов (0,0 %)")
                            : QStringLiteral("шаг 37: к шагу 38 — 0 рассказов (0,0 %), к шагу 39 "
                                             "— 1 рассказ (100,0 %)"));
    QCOMPARE(out.at(5), QStringLiteral("без финала: 0 рассказов из 1 (0,0 %)"));
    QCOMPARE(out.at(6),
             QStringLiteral("Сказка (skazka): вариантов, не рассказанных ни разу: 3 из 66"));
    QCOMPARE(out.at(7), QString());
}

void CommandLineTest::labelledStoryHasALineBeforeEachStep()
{
    StoryTree tree;
    tree.writeStory(kTwoGenres);

    const AuthorRun run =
        runCommand(strings({"story", "--seed", "4", "--picks", "horror", "--labels"}), tree.dir());
    QCOMPARE(run.status, int(ExitClean));
    const QStringList out = run.out.split(QLatin1Char('\n'));
    QCOMPARE(out.size(), 2 * 64 + 1);
    QCOMPARE(out.mid(0, 4), strings({"[шаг 1 · Ужасы (horror) · вариант 1 из 1]", "horror 1",
                                     "[шаг 2 · Ужасы (horror) · вариант 1 из 1]", "horror 2"}));
    // Every step in one genre: the least used genre is the other one.
    QCOMPARE(out.mid(126), strings({"[финал · наименее 1 · наиболее 2]", "horror финал 1-2", ""}));
}

void CommandLineTest::programReadsTheWorkingDirectoryByDefault()
{
    StoryTree tree;
    tree.writeStory({{QStringLiteral("Сказка"), QStringLiteral("skazka")}});
    tree.writeFragment(QStringLiteral("skazka"), 1, {strings({"Жили-были."})});
    tree.writeLines(StoryTree::fragmentFile(QStringLiteral("skazka"), 3), {QStringLiteral("0")});

    QProcess process;
    process.setWorkingDirectory(tree.path());
    process.start(program(), {QStringLiteral("check")});
    QVERIFY(process.waitForFinished());
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), int(ExitErrors));
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    QVERIFY2(out.startsWith(QStringLiteral("Genres/skazka/3.vtq:1: error: ")), qPrintable(out));
    QVERIFY(out.endsWith(QStringLiteral("\n1 ошибка, 0 предупреждений\n")));

    process.start(program(), strings({"story", "--seed", "3"}));
    QVERIFY(process.waitForFinished());
    QCOMPARE(process.exitCode(), int(ExitErrors));
    // The story up to the broken step, in UTF-8.
    QCOMPARE(process.readAllStandardOutput(), QStringLiteral("Жили-были.\nskazka 2\n").toUtf8());
}

void CommandLineTest::manuscriptFolderIsReadAtItsOwnLines_data()
{
    QTest::addColumn<QStringList>("arguments"); // the manuscript folder follows
    QTest::addColumn<QString>("from");          // in skazka.txt: step N on line 2N
    QTest::addColumn<QString>("to");
    QTest::addColumn<QByteArray>("settings"); // the manuscript's vorta.cfg; none when empty
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("expected"); // in standard output, or "err:" and in standard error

    const QString wide = QString(47, QChar(u'ж'));
    QTest::newRow("check: a finding of the tree at the manuscript's line")
        << strings({"check"}) << QStringLiteral("skazka 3") << wide << QByteArray()
        << int(ExitClean) << QStringLiteral("skazka.txt:6: warning: строка шире окна");
    QTest::newRow("check: the manuscript's own error")
        << strings({"check"}) << QStringLiteral("## 9") << QStringLiteral("## 99") << QByteArray()
        << int(ExitErrors) << QStringLiteral("skazka.txt:17: error: шага 99 нет");
    QTest::newRow("story: the lines the build would tell")
        << strings({"story", "--seed", "3"}) << QString() << QString() << QByteArray()
        << int(ExitClean) << QStringLiteral("skazka 1\nskazka 2\n");
    QTest::newRow("story stopped by the manuscript's settings")
        << strings({"story", "--seed", "3"}) << QString() << QString() << QByteArray("1 x\n")
        << int(ExitErrors) << QStringLiteral("err:vorta.cfg\nСтрока: 1");
    QTest::newRow("story of a manuscript with an error")
        << strings({"story", "--seed", "3"}) << QStringLiteral("## 9") << QStringLiteral("## 99")
        << QByteArray() << int(ExitErrors) << QStringLiteral("err:skazka.txt:17: error");
    QTest::newRow("coverage: an untold variant at its separator")
        << strings({"coverage", "--stories", "1"}) << QStringLiteral("skazka 38")
        << QStringLiteral("а\n---\nб") << QByteArray() << int(ExitClean)
        << QStringLiteral("skazka.txt:");
    QTest::newRow("proof: the lines of the manuscript")
        << strings({"proof", "--stories", "2"}) << QString() << QString() << QByteArray()
        << int(ExitClean) << QStringLiteral("skazka.txt:1</small>");
}

// A folder with genres.txt is a manuscript: it is built in memory, and everything is said at
// its own lines.
void CommandLineTest::manuscriptFolderIsReadAtItsOwnLines()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QByteArray, settings);
    QFETCH(QString, expected);

    ManuscriptFolder manuscript;
    manuscript.writeStory({{QStringLiteral("Сказка"), QStringLiteral("skazka")}});
    QString text = ManuscriptFolder::genreText(QStringLiteral("skazka"), 1);
    if (!from.isEmpty())
        text.replace(from + QLatin1Char('\n'), to + QLatin1Char('\n'));
    manuscript.writeText(QStringLiteral("skazka.txt"), text);
    if (!settings.isEmpty())
        manuscript.write(QStringLiteral("vorta.cfg"), settings);

    const AuthorRun run = runCommand(arguments << manuscript.path(), QDir::root());
    QTEST(run.status, "status");
    const bool inErr = expected.startsWith(QStringLiteral("err:"));
    const QString &printed = inErr ? run.err : run.out;
    QVERIFY2(printed.contains(inErr ? expected.mid(4) : expected), qPrintable(printed));
    // What the build would write is what is told: the manuscript folder is never written.
    QCOMPARE(manuscript.dir().entryList(QDir::Files).size(), settings.isEmpty() ? 2 : 3);
}

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_command_line.moc"
