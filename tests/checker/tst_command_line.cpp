#include "story_tree.h"

#include "command_line.h"
#include "story_run.h"

#include <QProcess>
#include <QTest>

using namespace vorta::checker;

namespace {

// The two genres of most cases.
const QList<StoryTree::Genre> kTwoGenres{{QStringLiteral("Детектив"), QStringLiteral("detective")},
                                         {QStringLiteral("Ужасы"), QStringLiteral("horror")}};

struct Run
{
    int status = -1;
    QString out;
    QString err;
};

Run runCommand(const QStringList &arguments, const QDir &workingDir)
{
    Run run;
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    run.status = runCheckCommand(arguments, workingDir, out, err);
    out.flush();
    err.flush();
    return run;
}

QString program()
{
    return QString::fromUtf8(VORTA_CHECK_PROGRAM);
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
    void programReadsTheWorkingDirectoryByDefault();
};

void CommandLineTest::exitStatusSaysWhatHappened_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("removedStep"); // in both genres; 0 for none
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("complains"); // on standard error

    QTest::newRow("clean data") << QStringList() << 0 << int(ExitClean) << false;
    QTest::newRow("data with an error") << QStringList() << 12 << int(ExitErrors) << false;
    QTest::newRow("help") << strings({"--help"}) << 0 << int(ExitClean) << false;
    QTest::newRow("unknown option") << strings({"--fast"}) << 0 << int(ExitUsage) << true;
    QTest::newRow("story without a seed") << strings({"--story"}) << 0 << int(ExitUsage) << true;
    QTest::newRow("seed not a number") << strings({"--story", "x"}) << 0 << int(ExitUsage) << true;
    QTest::newRow("no stories") << strings({"--coverage", "0"}) << 0 << int(ExitUsage) << true;
    QTest::newRow("story and coverage together")
        << strings({"--story", "1", "--coverage", "2"}) << 0 << int(ExitUsage) << true;
    QTest::newRow("two folders") << strings({".", "."}) << 0 << int(ExitUsage) << true;
    QTest::newRow("missing folder") << strings({"nowhere"}) << 0 << int(ExitUsage) << true;
    QTest::newRow("story") << strings({"--story", "9"}) << 0 << int(ExitClean) << false;
    QTest::newRow("story stopped by a data error")
        << strings({"--story", "9"}) << 30 << int(ExitErrors) << true;
    QTest::newRow("coverage") << strings({"--coverage", "2"}) << 0 << int(ExitClean) << false;
    QTest::newRow("coverage stopped by a data error")
        << strings({"--coverage", "2"}) << 30 << int(ExitErrors) << true;
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

    const Run run = runCommand(arguments, tree.dir());
    QCOMPARE(run.status, status);
    QCOMPARE(!run.err.isEmpty(), complains);
}

void CommandLineTest::checkPrintsDiagnosticsThenTheSummary()
{
    StoryTree tree;
    tree.writeStory(kTwoGenres);
    tree.remove(StoryTree::fragmentFile(QStringLiteral("horror"), 12));
    tree.writeSettings(1, 12);

    const Run run = runCommand({tree.path()}, QDir::root());
    QCOMPARE(run.status, int(ExitErrors));
    QCOMPARE(run.out, QStringLiteral("Genres/horror/12.vtq:0: error: Файл не найден\n"
                                     "vorta.cfg:2: warning: значение 12 вне диапазона 0..10 окна "
                                     "настроек\n"
                                     "1 error, 1 warning\n"));
    QVERIFY(run.err.isEmpty());
}

void CommandLineTest::storyPrintsOnlyTheStoryLines()
{
    StoryTree tree;
    tree.writeStory(kTwoGenres, {.variantsPerStep = 2});

    const Run run =
        runCommand({QStringLiteral("--story"), QStringLiteral("77"), tree.path()}, QDir::root());
    QCOMPARE(run.status, int(ExitClean));
    QCOMPARE(run.out, tellStory(tree.dir(), 77).lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    QVERIFY(run.err.isEmpty());
}

void CommandLineTest::storyDataErrorGoesToStandardError()
{
    StoryTree tree;
    tree.writeStory({{QStringLiteral("Сказка"), QStringLiteral("skazka")}});
    tree.remove(StoryTree::fragmentFile(QStringLiteral("skazka"), 3));

    const Run run = runCommand({QStringLiteral("--story"), QStringLiteral("1")}, tree.dir());
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

    const Run run = runCommand({QStringLiteral("--coverage"), QStringLiteral("1")}, tree.dir());
    QCOMPARE(run.status, int(ExitClean));
    const QStringList out = run.out.split(QLatin1Char('\n'));
    // Of steps 38 and 39 one is told, and of its two variants one.
    QCOMPARE(out.size(), 5);
    QVERIFY(out.at(0).endsWith(QStringLiteral(": note: never told in 1 story")));
    QVERIFY(out.at(2).endsWith(QStringLiteral(": note: never told in 1 story")));
    QCOMPARE(out.at(3),
             QStringLiteral("told at least once: 63 of 66 variants, 1 of 1 finale records"));
    QCOMPARE(out.at(4), QString());
}

void CommandLineTest::programReadsTheWorkingDirectoryByDefault()
{
    StoryTree tree;
    tree.writeStory({{QStringLiteral("Сказка"), QStringLiteral("skazka")}});
    tree.writeFragment(QStringLiteral("skazka"), 1, {strings({"Жили-были."})});
    tree.writeLines(StoryTree::fragmentFile(QStringLiteral("skazka"), 3), {QStringLiteral("0")});

    QProcess process;
    process.setWorkingDirectory(tree.path());
    process.start(program(), {});
    QVERIFY(process.waitForFinished());
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), int(ExitErrors));
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    QVERIFY2(out.startsWith(QStringLiteral("Genres/skazka/3.vtq:1: error: ")), qPrintable(out));
    QVERIFY(out.endsWith(QStringLiteral("\n1 error, 0 warnings\n")));

    process.start(program(), {QStringLiteral("--story"), QStringLiteral("3")});
    QVERIFY(process.waitForFinished());
    QCOMPARE(process.exitCode(), int(ExitErrors));
    // The story up to the broken step, in UTF-8.
    QCOMPARE(process.readAllStandardOutput(), QStringLiteral("Жили-были.\nskazka 2\n").toUtf8());
}

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_command_line.moc"
