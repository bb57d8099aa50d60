// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/core_text.h"
#include "tests/support/hostile_files.h"
#include "tests/support/story_tree.h"

#include "author/report/story_stats.h"

#include "core/diagnostics.h"
#include "core/finale.h"
#include "core/story_check.h"
#include "core/story_state.h"
#include "core/tree_paths.h"

#include <QSet>
#include <QTest>

#include <algorithm>

using namespace vorta;
using namespace vorta::author;

namespace {

// The two genres of most cases.
const QList<StoryTree::Genre> kTwoGenres{{QStringLiteral("Детектив"), QStringLiteral("detective")},
                                         {QStringLiteral("Ужасы"), QStringLiteral("horror")}};

const QString kCatalogue = QStringLiteral("Genres/genres.vtq");
const QString kSettings = QStringLiteral("vorta.cfg");
const QString kStep5 = StoryTree::fragmentFile(QStringLiteral("detective"), 5);
const QString kStep37 = StoryTree::fragmentFile(QStringLiteral("detective"), 37);
const QString kFinale = StoryTree::fragmentFile(QStringLiteral("horror"), 65);

QByteArray lines(std::initializer_list<const char *> texts)
{
    return StoryTree::lineBytes(strings(texts));
}

QByteArray storyLine(const QString &text)
{
    return StoryTree::lineBytes(QStringList{QStringLiteral("1"), QStringLiteral("1"), text});
}

// A row: the file written over (null content: removed) and the findings expected, each
// "LINE: severity" in that file or "PATH:LINE: severity" in another.
void fault(const char *name, const QString &file, const QByteArray &content, const char *expected)
{
    QStringList places;
    for (const QString &place :
         QString::fromUtf8(expected).split(QLatin1Char(';'), Qt::SkipEmptyParts))
        places.append(place.contains(QLatin1Char('/')) || place.contains(QLatin1Char('.'))
                          ? place.trimmed()
                          : file + QLatin1Char(':') + place.trimmed());
    QTest::newRow(name) << file << content << places;
}

QStringList places(const std::vector<Diagnostic> &diagnostics)
{
    QStringList result;
    for (const Diagnostic &d : diagnostics)
        result.append(QStringLiteral("%1:%2: %3")
                          .arg(toQString(d.path))
                          .arg(d.line)
                          .arg(toQString(severityName(d.severity))));
    return result;
}

} // namespace

class TreeCheckTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void oneFaultGivesItsDiagnostic_data();
    void oneFaultGivesItsDiagnostic();
    void hostileFilesAreErrorsNotHangs_data();
    void hostileFilesAreErrorsNotHangs();
    void diagnosticQuotesTheFileAsItIsEncoded_data();
    void diagnosticQuotesTheFileAsItIsEncoded();
    void findingsReachTheSinkBeforeLaterFilesAreRead();
    void genreStatsCountWhatEachGenreHolds();
    void wordsAreRunsOfLettersAndDigits_data();
    void wordsAreRunsOfLettersAndDigits();
    void missingPairsAreListedInOneWarning();
    void reachablePairsFollowTheSixtyThreeSteps_data();
    void reachablePairsFollowTheSixtyThreeSteps();
    void reachablePairsAreThoseOfEveryWayToCountSteps();
    void diagnosticsSortByPathInNumberOrderThenLine();
};

void TreeCheckTest::oneFaultGivesItsDiagnostic_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("expected");

    QStringList elevenGenres;
    for (int i = 1; i <= 11; ++i)
        elevenGenres.append(QStringLiteral("Жанр %1,detective").arg(i));

    fault("a complete story is clean", kStep5, lines({"1", "1", "Начало."}), "");

    fault("missing settings file", kSettings, {}, "0: error");
    fault("one settings value", kSettings, " 1 \r\n", "1: error");
    fault("settings value overflows times 5000", kSettings, " 500000 \r\n 5 \r\n", "1: error");
    fault("switch setting above 10", kSettings, " 1 \r\n 11 \r\n", "2: warning");

    fault("missing catalogue", kCatalogue, {}, "0: error");
    fault("empty catalogue", kCatalogue, "", "1: error");
    // Ten of them fit, all telling one folder; the eleventh is one too many.
    fault("eleven genres", kCatalogue, StoryTree::lineBytes(elevenGenres),
          "2: warning; 3: warning; 4: warning; 5: warning; 6: warning; 7: warning; 8: warning; "
          "9: warning; 10: warning; 11: error");
    fault("catalogue ends inside a pair", kCatalogue, lines({"Детектив,detective", "Ужасы"}),
          "2: error");
    fault("empty line after the last pair", kCatalogue,
          lines({"Детектив,detective", "Ужасы,horror", ""}), "3: error");
    fault("two genres of one name", kCatalogue, lines({"Детектив,detective", "Детектив,horror"}),
          "2: warning");
    fault("two genres of one folder", kCatalogue, lines({"Детектив,detective", "Ужасы,detective"}),
          "2: warning");
    fault("catalogue names a missing directory", kCatalogue,
          lines({"Детектив,detective", "Ужасы,horrors"}), "2: error");

    fault("missing fragment file", kStep5, {}, "0: error");
    fault("missing finale file", kFinale, {}, "0: error");
    fault("variant count not a number", kStep5, lines({"x", "1", "а"}), "1: error");
    fault("no variants", kStep5, lines({"0"}), "1: error");
    fault("line count not a number", kStep5, lines({"2", "1", "а", "б", "в"}), "4: error");
    fault("last variant ends early", kStep5, lines({"2", "1", "а", "3", "б"}), "5: error");
    fault("text after the last variant", kStep5, lines({"1", "1", "а", "б"}), "4: warning");
    fault("negative line count", kStep5, lines({"2", "-1", "1", "а"}), "2: warning");

    fault("step 37 line without the marker", kStep37, lines({"1", "2", "ум:(IQ).", "нет"}),
          "4: error");
    fault("step 37 marker at the start", kStep37, lines({"1", "1", "IQ и всё"}), "3: error");
    fault("step 37 marker at the end", kStep37, lines({"1", "1", "всё и IQ"}), "3: error");
    fault("step 37: only the first marker counts", kStep37, lines({"1", "1", "IQ, (IQ)"}),
          "3: error");
    fault("step 37 marker between two characters", kStep37, lines({"1", "1", "xIQx"}), "");
    fault("a marker outside step 37 is plain text",
          StoryTree::fragmentFile(QStringLiteral("detective"), 36), lines({"1", "1", "IQ"}), "");

    fault("line of 46 characters fits", kStep5, storyLine(QString(46, QChar(0x0436))), "");
    fault("line of 47 characters", kStep5, storyLine(QString(47, QChar(0x0436))), "3: warning");

    fault("finale count not a number", kFinale, lines({"2", "1", "1", "Финал", "1", "2", "x"}),
          "1: warning; 7: error");
    fault("finale ends inside a record", kFinale, lines({"1", "2", "1", "а", "2", "1", "2", "б"}),
          "1: warning; 8: error");
    fault("finale text after the last record", kFinale,
          lines({"1", "2", "0", "2", "1", "0", "конец"}), "1: warning; 4: warning; 7: error");
    fault("finale lacks a reachable pair", kFinale, lines({"1", "2", "1", "Финал"}), "1: warning");
    // Empty records are endings not written yet, but one that no story reaches is only noted.
    fault("finale record no story ends with", kFinale,
          lines({"1", "2", "0", "1", "1", "0", "2", "1", "0"}), "1: warning; 4: note; 7: warning");
    fault("finale genre index not a number", kFinale,
          lines({"1", "2", "0", "2", "1", "0", "x", "1", "0"}),
          "1: warning; 4: warning; 7: warning");

    fault("bare LF line ends", kStep5, "1\r\n1\nx\n", "2: warning");
    fault("fragment saved as UTF-8", kStep5,
          "1\r\n1\r\n" + QStringLiteral("Утро.").toUtf8() + "\r\n", "3: warning");
    fault("undefined byte 0x98", kStep5, "1\r\n1\r\nab\x98\r\n", "3: warning");

    fault("BOM before a Windows-1251 catalogue", kCatalogue,
          "\xEF\xBB\xBF" + lines({"Детектив,detective", "Ужасы,horror"}), "1: warning");
    fault("NUL byte in a line", kStep5, QByteArray("1\r\n1\r\nab\0c\r\n", 12), "3: warning");
    fault("empty genre name", kCatalogue, lines({",detective", "Ужасы,horror"}), "1: warning");
    fault("blank genre name", kCatalogue, lines({"\"   \",detective", "Ужасы,horror"}),
          "1: warning");
    fault("genre name wider than a choice label", kCatalogue,
          lines({"Детектив,detective", "Ужасы с продолжением,horror"}), "2: warning");
    fault("genre name of 17 characters fits", kCatalogue,
          lines({"Детектив,detective", "Выдоконтрапупить!,horror"}), "");
    fault("UTF-8 line wider than the row", kStep5,
          "1\r\n1\r\n" + QString(47, QChar(0x0436)).toUtf8() + "\r\n", "3: warning; 3: warning");
    fault("UTF-8 line of 46 characters fits", kStep5,
          "1\r\n1\r\n" + QString(46, QChar(0x0436)).toUtf8() + "\r\n", "3: warning");
}

void TreeCheckTest::oneFaultGivesItsDiagnostic()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(QStringList, expected);

    StoryTree tree;
    tree.writeStory(kTwoGenres);
    if (content.isNull())
        tree.remove(file);
    else
        tree.writeBytes(file, content);

    QCOMPARE(places(checkTree(tree.data()).diagnostics), expected);
}

void TreeCheckTest::hostileFilesAreErrorsNotHangs_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("kind"); // 0 a named pipe, 1 a link to /dev/zero, 2 over the cap
    QTest::addColumn<QString>("error");
    const QString notRegular = QStringLiteral("Не обычный файл");
    const QString tooLarge = QStringLiteral("Файл слишком велик");
    QTest::newRow("settings a named pipe") << kSettings << 0 << notRegular;
    QTest::newRow("catalogue a named pipe") << kCatalogue << 0 << notRegular;
    QTest::newRow("fragment a named pipe") << kStep5 << 0 << notRegular;
    QTest::newRow("finale a named pipe") << kFinale << 0 << notRegular;
    QTest::newRow("settings a link to /dev/zero") << kSettings << 1 << notRegular;
    QTest::newRow("fragment a link to /dev/zero") << kStep5 << 1 << notRegular;
    QTest::newRow("settings over 4 KiB") << kSettings << 2 << tooLarge;
    QTest::newRow("fragment over 16 MiB") << kStep5 << 2 << tooLarge;
}

// The checker reads through the program's one reader: what would block or never end is an
// error about that file, and the check goes on with the others.
void TreeCheckTest::hostileFilesAreErrorsNotHangs()
{
    QFETCH(QString, file);
    QFETCH(int, kind);
    QFETCH(QString, error);
    using namespace std::chrono_literals;
    const HangGuard guard(QString::fromUtf8(QTest::currentDataTag()), 60s);

    StoryTree tree;
    tree.writeStory(kTwoGenres);
    const QString path = tree.path(file);
    if (kind == 0)
        hostile::makeFifo(path);
    else if (kind == 1)
        hostile::makeDeviceLink(path);
    else
        hostile::makeSparseFile(path, capFor(toU16(file)) + 1);

    const CheckResult checked = checkTree(tree.data());
    const std::vector<Diagnostic> &diagnostics = checked.diagnostics;
    QCOMPARE(places(diagnostics), QStringList{file + QStringLiteral(":0: error")});
    const QString text = toQString(diagnostics.front().text);
    QVERIFY2(text.startsWith(error), qPrintable(text));
    // The stories told from what the check read meet the same error, without reading again.
    try {
        checked.files.readBytes(toU16(file));
        QFAIL("read what the check could not");
    } catch (const StoryError &e) {
        QCOMPARE(errorText(e), diagnostics.front().text);
    }
}

void TreeCheckTest::diagnosticQuotesTheFileAsItIsEncoded_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("expected"); // in the text of one finding

    QTest::newRow("UTF-8 catalogue: names as written")
        << kCatalogue << QStringLiteral("Вестерн,detective\r\nВестерн,horror\r\n").toUtf8()
        << QStringLiteral("жанр \"Вестерн\" уже назван в строке 1: щелчок по этому имени всегда "
                          "выбирает первый из них, и читатель не выберет этот жанр никогда");
    QTest::newRow("UTF-8 fragment: a bad count as written")
        << kStep5 << QStringLiteral("Пятая\r\n1\r\nа\r\n").toUtf8()
        << QStringLiteral("Неверное число: \"Пятая\"");
    QTest::newRow("control characters escaped, cut at 40")
        << kCatalogue
        << lines({"Детектив,detective", "Имя\tс табуляцией и хвостом куда длиннее сорока,horror"})
        << QStringLiteral("\"Имя\\tс табуляцией и хвостом куда длиннее …\"");
    QTest::newRow("61 characters: one form")
        << kStep5 << storyLine(QString(61, QChar(0x0436)))
        << QStringLiteral("строка шире окна: 61 знак, а в строке окна помещается 46 знаков");
    QTest::newRow("what the row cuts off")
        << kStep5 << storyLine(QString(46, QChar(0x0436)) + QStringLiteral("хвост"))
        << QStringLiteral("помещается 46 знаков; не видно конца \"хвост\"");
    QTest::newRow("52 characters of UTF-8: another form")
        << kStep5 << "1\r\n1\r\n" + QString(52, QChar(0x0436)).toUtf8() + "\r\n"
        << QStringLiteral("строка шире окна: 52 знака, а в строке окна помещается 46 знаков");
}

void TreeCheckTest::diagnosticQuotesTheFileAsItIsEncoded()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(QString, expected);

    StoryTree tree;
    tree.writeStory(kTwoGenres);
    tree.writeBytes(file, content);

    QStringList texts;
    for (const Diagnostic &d : checkTree(tree.data()).diagnostics)
        texts.append(toQString(d.text));
    QVERIFY2(texts.join(QLatin1Char('\n')).contains(expected),
             qPrintable(texts.join(QLatin1Char('\n'))));
}

// The sink takes the catalogue's finding before any step file is read: a file removed by the
// sink at that moment is found missing.
void TreeCheckTest::findingsReachTheSinkBeforeLaterFilesAreRead()
{
    StoryTree tree;
    tree.writeStory(kTwoGenres);
    tree.writeLines(kCatalogue, strings({"Детектив,detective", "Детектив,horror"}));
    const QString removed = StoryTree::fragmentFile(QStringLiteral("horror"), 3);

    std::vector<Diagnostic> received;
    const CheckResult result = checkTree(tree.data(), [&](const Diagnostic &d) {
        if (received.empty())
            tree.remove(removed);
        received.push_back(d);
    });
    QCOMPARE(received, result.diagnostics);
    QCOMPARE(places(received), QStringList({kCatalogue + QStringLiteral(":2: warning"),
                                            removed + QStringLiteral(":0: error")}));
}

void TreeCheckTest::genreStatsCountWhatEachGenreHolds()
{
    StoryTree tree;
    tree.writeStory(kTwoGenres);
    tree.writeFragment(QStringLiteral("detective"), 5,
                       {strings({"Раз два, три!"}), {}, strings({"четыре-пять", ""})});
    // An empty record is an ending not written yet.
    tree.writeFinale(QStringLiteral("detective"), {{1, 2, strings({"а"})}, {2, 1, {}}});
    tree.writeFinale(QStringLiteral("horror"), {{1, 2, strings({"а", "б"})}, {1, 1, {}}});
    tree.remove(StoryTree::fragmentFile(QStringLiteral("horror"), 9));

    const QList<GenreStats> stats = genreStats(checkTree(tree.data()).data);
    QCOMPARE(stats.size(), 2);
    const GenreStats &detective = stats.at(0);
    QCOMPARE(detective.steps, 64);
    QCOMPARE(detective.variants, 66);
    QCOMPARE(detective.emptyVariants, 1);
    QCOMPARE(detective.lines, 63 + 3 + 1); // one line a step, three in step 5, one finale line
    QCOMPARE(detective.finalePairs, 1);
    QCOMPARE(detective.reachablePairs, 2);
    const GenreStats &horror = stats.at(1);
    QCOMPARE(horror.steps, 63);
    QCOMPARE(horror.variants, 63);
    QCOMPARE(horror.lines, 63 + 2);
    QCOMPARE(horror.finalePairs, 1); // (1, 1) is no ending of two genres
}

void TreeCheckTest::wordsAreRunsOfLettersAndDigits_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("words");

    QTest::newRow("punctuation between") << QStringLiteral("Раз два, три!") << 3;
    QTest::newRow("hyphenated word") << QStringLiteral("четыре-пять") << 1;
    QTest::newRow("a dash is no word") << QStringLiteral("  — ") << 0;
    QTest::newRow("empty line") << QString() << 0;
    QTest::newRow("the IQ marker") << QStringLiteral("ум:(IQ).") << 2;
}

void TreeCheckTest::wordsAreRunsOfLettersAndDigits()
{
    QFETCH(QString, line);
    QFETCH(int, words);
    QCOMPARE(wordCount(line), words);
}

void TreeCheckTest::missingPairsAreListedInOneWarning()
{
    StoryTree tree;
    tree.writeStory(kTwoGenres +
                    QList<StoryTree::Genre>{{QStringLiteral("Сказка"), QStringLiteral("skazka")}});
    // With three genres 63 steps can be shared equally, so (1, 1) is an ending too.
    tree.writeFinale(QStringLiteral("skazka"),
                     {{2, 1, strings({"а"})}, {3, 1, strings({"б"})}, {3, 2, strings({"в"})}});

    const std::vector<Diagnostic> diagnostics = checkTree(tree.data()).diagnostics;
    QCOMPARE(diagnostics.size(), 3u); // the two complete genres lack (1, 1)
    QCOMPARE(diagnostics.back().path, u"Genres/skazka/65.vtq");
    QCOMPARE(diagnostics.back().text, u"нет записи для пар (наименее, наиболее используемый жанр): "
                                      u"(1, 1), (1, 2), (1, 3), (2, 3)");
}

void TreeCheckTest::reachablePairsFollowTheSixtyThreeSteps_data()
{
    QTest::addColumn<int>("genres");
    QTest::addColumn<int>("pairs");
    QTest::addColumn<bool>("evenSplit");

    QTest::newRow("five genres") << 5 << 20 << false;
    QTest::newRow("seven genres can tie at 9") << 7 << 43 << true;
    QTest::newRow("ten genres") << 10 << 90 << false;
}

void TreeCheckTest::reachablePairsFollowTheSixtyThreeSteps()
{
    QFETCH(int, genres);
    QFETCH(int, pairs);
    QFETCH(bool, evenSplit);

    const std::vector<std::pair<int, int>> reachable = reachableFinalePairs(genres);
    QCOMPARE(int(reachable.size()), pairs);
    QCOMPARE(std::find(reachable.begin(), reachable.end(), std::pair(1, 1)) != reachable.end(),
             evenSplit);
}

// Every way of sharing 63 steps among a few genres, put through the program's own rule for
// the least and most used genre, gives exactly the reachable pairs.
void TreeCheckTest::reachablePairsAreThoseOfEveryWayToCountSteps()
{
    for (int genres = 1; genres <= 4; ++genres) {
        StoryState state;
        state.genreCount = genres;
        QSet<std::pair<int, int>> seen;
        std::function<void(int, int)> share = [&](int genre, int left) {
            for (int uses = genre == genres ? left : 0; uses <= left; ++uses) {
                state.genreUses[std::size_t(genre)] = uses;
                if (genre < genres) {
                    share(genre + 1, left - uses);
                } else {
                    const UseExtremes e = useExtremes(state);
                    seen.insert({e.leastUsedGenre, e.mostUsedGenre});
                }
            }
        };
        share(1, 63);
        const std::vector<std::pair<int, int>> reachable = reachableFinalePairs(genres);
        const QSet<std::pair<int, int>> expected(reachable.begin(), reachable.end());
        QCOMPARE(seen, expected);
    }
}

void TreeCheckTest::diagnosticsSortByPathInNumberOrderThenLine()
{
    std::vector<Diagnostic> diagnostics;
    for (const char *at :
         {"vorta.cfg:1", "Genres/x/10.vtq:2", "Genres/x/2.vtq:9", "Genres/x/2.vtq:3",
          "Genres/genres.vtq:4", "Genres/x/65.vtq:1", "Genres/x1/1.vtq:1"}) {
        const QString place = QString::fromUtf8(at);
        diagnostics.push_back(diagnostic(place.section(QLatin1Char(':'), 0, 0),
                                         place.section(QLatin1Char(':'), 1).toInt(),
                                         Severity::Warning, place));
    }
    diagnostics.push_back({u"Genres/x/2.vtq", 3, Severity::Error, u"second at 2.vtq:3"});
    sortDiagnostics(diagnostics);
    QStringList order;
    for (const Diagnostic &d : diagnostics)
        order.append(toQString(d.text));
    QCOMPARE(order, strings({"Genres/genres.vtq:4", "Genres/x/2.vtq:3", "second at 2.vtq:3",
                             "Genres/x/2.vtq:9", "Genres/x/10.vtq:2", "Genres/x/65.vtq:1",
                             "Genres/x1/1.vtq:1", "vorta.cfg:1"}));
}

QTEST_GUILESS_MAIN(TreeCheckTest)
#include "tst_tree_check.moc"
