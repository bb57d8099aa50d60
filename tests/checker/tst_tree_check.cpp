#include "data_tree.h"

#include "diagnostics.h"
#include "tree_check.h"

#include "finale.h"
#include "story_state.h"

#include <QSet>
#include <QTest>

using namespace vorta::checker;

namespace {

const QString kCatalogue = QStringLiteral("Genres/genres.vtq");
const QString kSettings = QStringLiteral("vorta.cfg");

QString detective(int step)
{
    return DataTree::fragmentFile(QStringLiteral("detective"), step);
}

QString horror(int step)
{
    return DataTree::fragmentFile(QStringLiteral("horror"), step);
}

// "PATH:LINE: severity" of every finding, in the order reported.
QStringList places(const QList<Diagnostic> &diagnostics)
{
    QStringList result;
    for (const Diagnostic &d : diagnostics)
        result.append(
            QStringLiteral("%1:%2: %3").arg(d.path).arg(d.line).arg(severityName(d.severity)));
    return result;
}

QString place(const QString &path, int line, const char *severity)
{
    return QStringLiteral("%1:%2: %3").arg(path).arg(line).arg(QLatin1String(severity));
}

QByteArray lines(std::initializer_list<const char *> texts)
{
    return crlfLines(texts);
}

} // namespace

class TreeCheckTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void oneFaultGivesItsDiagnostic_data();
    void oneFaultGivesItsDiagnostic();
    void diagnosticTextsNameTheProblem_data();
    void diagnosticTextsNameTheProblem();
    void missingPairsAreListedInOneWarning();
    void checkedDataKeepsEveryVariantAndRecord();
    void reachablePairsFollowTheSixtyThreeSteps_data();
    void reachablePairsFollowTheSixtyThreeSteps();
    void reachablePairsAreThoseOfEveryWayToCountSteps();
    void diagnosticsSortByPathInNumberOrderThenLine();
    void formatAndSummaryReadLikeACompiler();
};

// Each row writes one file of a complete two-genre story over (null content: removes it) and
// names every finding expected, as "PATH:LINE: severity".
void TreeCheckTest::oneFaultGivesItsDiagnostic_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("expected");

    const QString wide46 = QString(46, QLatin1Char('x'));
    const QString wide47 = QString(47, QChar(0x0436)); // ж

    QTest::newRow("a complete story is clean")
        << detective(1) << lines({"1", "1", "Начало."}) << QStringList();

    QTest::newRow("missing settings file")
        << kSettings << QByteArray() << QStringList{place(kSettings, 0, "error")};
    QTest::newRow("one settings value")
        << kSettings << QByteArray(" 1 \r\n") << QStringList{place(kSettings, 1, "error")};
    QTest::newRow("settings value not a number")
        << kSettings << QByteArray("x\r\n 5 \r\n") << QStringList{place(kSettings, 1, "error")};
    QTest::newRow("large switch setting still fits times 10")
        << kSettings << QByteArray(" 1 \r\n 500000 \r\n 500000 \r\n")
        << QStringList{place(kSettings, 2, "warning")};
    QTest::newRow("settings value overflows") << kSettings << QByteArray(" 500000 \r\n 5 \r\n")
                                              << QStringList{place(kSettings, 1, "error")};
    QTest::newRow("switch setting above 10") << kSettings << QByteArray(" 1 \r\n 11 \r\n")
                                             << QStringList{place(kSettings, 2, "warning")};
    QTest::newRow("negative waiting period") << kSettings << QByteArray(" -1 \r\n 5 \r\n")
                                             << QStringList{place(kSettings, 1, "warning")};
    QTest::newRow("both settings on one line")
        << kSettings << QByteArray(" 1, 5\r\n") << QStringList();

    QTest::newRow("missing catalogue")
        << kCatalogue << QByteArray() << QStringList{place(kCatalogue, 0, "error")};
    QTest::newRow("empty catalogue")
        << kCatalogue << QByteArray("") << QStringList{place(kCatalogue, 1, "error")};
    QStringList elevenGenres;
    for (int i = 1; i <= 11; ++i)
        elevenGenres.append(QStringLiteral("Жанр %1,detective").arg(i));
    QTest::newRow("eleven genres")
        << kCatalogue << crlfLines(elevenGenres) << QStringList{place(kCatalogue, 11, "error")};
    QTest::newRow("catalogue ends inside a pair")
        << kCatalogue << lines({"Детектив,detective", "Ужасы"})
        << QStringList{place(kCatalogue, 2, "error")};
    QTest::newRow("empty line after the last pair")
        << kCatalogue << lines({"Детектив,detective", "Ужасы,horror", ""})
        << QStringList{place(kCatalogue, 3, "error")};
    QTest::newRow("last pair without a line end")
        << kCatalogue << windows1251(QStringLiteral("Детектив,detective\r\nУжасы,horror"))
        << QStringList();
    QTest::newRow("quoted name with a comma")
        << kCatalogue << lines({"Детектив,detective", "\"Ужасы, и только\",horror"})
        << QStringList();
    QTest::newRow("two genres of one name")
        << kCatalogue << lines({"Детектив,detective", "Детектив,horror"})
        << QStringList{place(kCatalogue, 2, "warning")};
    QTest::newRow("catalogue names a missing directory")
        << kCatalogue << lines({"Детектив,detective", "Ужасы,horrors"})
        << QStringList{place(kCatalogue, 2, "error")};
    QTest::newRow("genre directory removed") << QStringLiteral("Genres/horror") << QByteArray()
                                             << QStringList{place(kCatalogue, 2, "error")};

    QTest::newRow("missing fragment file")
        << horror(12) << QByteArray() << QStringList{place(horror(12), 0, "error")};
    QTest::newRow("missing step 39, though 38 is there")
        << detective(39) << QByteArray() << QStringList{place(detective(39), 0, "error")};
    QTest::newRow("missing finale file")
        << horror(65) << QByteArray() << QStringList{place(horror(65), 0, "error")};
    QTest::newRow("variant count not a number")
        << detective(5) << lines({"x", "1", "а"}) << QStringList{place(detective(5), 1, "error")};
    QTest::newRow("no variants") << detective(5) << lines({"0"})
                                 << QStringList{place(detective(5), 1, "error")};
    QTest::newRow("line count not a number") << detective(5) << lines({"2", "1", "а", "б", "в"})
                                             << QStringList{place(detective(5), 4, "error")};
    QTest::newRow("last variant ends early") << detective(5) << lines({"2", "1", "а", "3", "б"})
                                             << QStringList{place(detective(5), 5, "error")};
    QTest::newRow("fewer variants than counted") << detective(5) << lines({"3", "1", "а", "1", "б"})
                                                 << QStringList{place(detective(5), 5, "error")};
    QTest::newRow("text after the last variant") << detective(5) << lines({"1", "1", "а", "б"})
                                                 << QStringList{place(detective(5), 4, "warning")};
    QTest::newRow("blank lines between variants")
        << detective(5) << lines({"2", "", "1", "а", "", "1", "б"}) << QStringList();
    QTest::newRow("negative line count") << detective(5) << lines({"2", "-1", "1", "а"})
                                         << QStringList{place(detective(5), 2, "warning")};

    QTest::newRow("step 37 line without the marker")
        << detective(37) << lines({"1", "2", "ум:(IQ).", "без метки"})
        << QStringList{place(detective(37), 4, "error")};
    QTest::newRow("step 37 marker at the start") << detective(37) << lines({"1", "1", "IQ и всё"})
                                                 << QStringList{place(detective(37), 3, "error")};
    QTest::newRow("step 37 marker at the end") << detective(37) << lines({"1", "1", "всё и IQ"})
                                               << QStringList{place(detective(37), 3, "error")};
    QTest::newRow("step 37 first marker unusable, second fine")
        << detective(37) << lines({"1", "1", "IQ, а потом (IQ)"})
        << QStringList{place(detective(37), 3, "error")};
    QTest::newRow("step 37 marker with one character each side")
        << detective(37) << lines({"1", "1", "xIQx"}) << QStringList();
    QTest::newRow("a marker outside step 37 is plain text")
        << detective(36) << lines({"1", "1", "IQ"}) << QStringList();

    QTest::newRow("line of 46 characters fits")
        << detective(5) << crlfLines(QStringList{QStringLiteral("1"), QStringLiteral("1"), wide46})
        << QStringList();
    QTest::newRow("line of 47 characters")
        << detective(5) << crlfLines(QStringList{QStringLiteral("1"), QStringLiteral("1"), wide47})
        << QStringList{place(detective(5), 3, "warning")};
    QTest::newRow("finale line of 47 characters")
        << horror(65)
        << crlfLines(QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("1"),
                                 wide47, QStringLiteral("2"), QStringLiteral("1"),
                                 QStringLiteral("0")})
        << QStringList{place(horror(65), 4, "warning")};

    QTest::newRow("finale count not a number")
        << horror(65) << lines({"2", "1", "1", "Финал", "1", "2", "x"})
        << QStringList{place(horror(65), 1, "warning"), place(horror(65), 7, "error")};
    QTest::newRow("finale ends inside a record")
        << horror(65) << lines({"1", "2", "1", "Финал", "2", "1", "2", "Один"})
        << QStringList{place(horror(65), 1, "warning"), place(horror(65), 8, "error")};
    QTest::newRow("finale text after the last record")
        << horror(65) << lines({"1", "2", "0", "2", "1", "0", "конец"})
        << QStringList{place(horror(65), 7, "error")};
    QTest::newRow("finale without a reachable pair")
        << horror(65) << lines({"1", "2", "1", "Финал"})
        << QStringList{place(horror(65), 1, "warning")};
    QTest::newRow("finale record for a pair no story ends with")
        << horror(65) << lines({"1", "2", "0", "1", "1", "0", "2", "1", "0"})
        << QStringList{place(horror(65), 4, "warning")};
    QTest::newRow("finale record for a genre not in the catalogue")
        << horror(65) << lines({"1", "2", "0", "2", "1", "0", "3", "1", "0"})
        << QStringList{place(horror(65), 7, "warning")};
    QTest::newRow("finale genre index not a number")
        << horror(65) << lines({"1", "2", "0", "2", "1", "0", "x", "1", "0"})
        << QStringList{place(horror(65), 7, "warning")};
    QTest::newRow("finale blank lines between records")
        << horror(65) << lines({"1", "2", "0", "", "2", "1", "0", ""}) << QStringList();

    QTest::newRow("bare LF line ends") << detective(5) << windows1251(QStringLiteral("1\r\n1\nа\n"))
                                       << QStringList{place(detective(5), 2, "warning")};
    QTest::newRow("bare CR line ends") << detective(5) << QByteArray("1\r1\rx\r")
                                       << QStringList{place(detective(5), 1, "warning")};
    QTest::newRow("fragment saved as UTF-8")
        << detective(5) << QByteArray("1\r\n1\r\n") + QStringLiteral("Утро.").toUtf8() + "\r\n"
        << QStringList{place(detective(5), 3, "warning")};
    QTest::newRow("UTF-8 line twice as wide in bytes warns only once")
        << detective(5) << QByteArray("1\r\n1\r\n") + QString(40, QChar(0x0436)).toUtf8() + "\r\n"
        << QStringList{place(detective(5), 3, "warning")};
    QTest::newRow("catalogue saved as UTF-8")
        << kCatalogue << QStringLiteral("Детектив,detective\r\nУжасы,horror\r\n").toUtf8()
        << QStringList{place(kCatalogue, 1, "warning")};
    QTest::newRow("undefined byte 0x98")
        << detective(5)
        << QByteArray("1\r\n1\r\n") + windows1251(QStringLiteral("Текст")) + "\x98\r\n"
        << QStringList{place(detective(5), 3, "warning")};
}

void TreeCheckTest::oneFaultGivesItsDiagnostic()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(QStringList, expected);

    DataTree tree;
    tree.writeCompleteStory(kTwoGenres);
    if (content.isNull())
        tree.remove(file);
    else
        tree.write(file, content);

    QCOMPARE(places(checkTree(tree.dir()).diagnostics), expected);
}

void TreeCheckTest::diagnosticTextsNameTheProblem_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("text");

    QTest::newRow("missing file") << horror(12) << QByteArray() << QStringLiteral("Файл не найден");
    QTest::newRow("variant that ends early names the variant and line")
        << detective(5) << lines({"2", "1", "а", "3", "б"})
        << QStringLiteral("Чтение за концом файла (вариант 2 из 2, строка 2 из 3)");
    QTest::newRow("missing directory names the genre")
        << kCatalogue << lines({"Детектив,detective", "Ужасы,horrors"})
        << QStringLiteral("нет папки жанра «Ужасы»: Genres/horrors");
    QTest::newRow("wide line gives its width")
        << detective(5)
        << crlfLines(
               QStringList{QStringLiteral("1"), QStringLiteral("1"), QString(50, QLatin1Char('x'))})
        << QStringLiteral("строка шире окна: 50 знаков, а в строке окна помещается 46");
}

void TreeCheckTest::diagnosticTextsNameTheProblem()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(QString, text);

    DataTree tree;
    tree.writeCompleteStory(kTwoGenres);
    if (content.isNull())
        tree.remove(file);
    else
        tree.write(file, content);

    const QList<Diagnostic> diagnostics = checkTree(tree.dir()).diagnostics;
    QCOMPARE(diagnostics.size(), 1);
    QCOMPARE(diagnostics.first().text, text);
}

void TreeCheckTest::missingPairsAreListedInOneWarning()
{
    DataTree tree;
    const QList<CatalogueEntry> threeGenres =
        kTwoGenres + QList<CatalogueEntry>{{QStringLiteral("Сказка"), QStringLiteral("skazka")}};
    tree.writeCompleteStory(threeGenres);
    // With three genres 63 steps can be shared equally, so (1, 1) is an ending too.
    tree.writeFinale(QStringLiteral("skazka"), {{2, 1, {}}, {3, 1, {}}, {3, 2, {}}});

    const QList<Diagnostic> diagnostics = checkTree(tree.dir()).diagnostics;
    QCOMPARE(diagnostics.size(), 3); // the two complete genres lack (1, 1)
    const Diagnostic &skazka = diagnostics.last();
    QCOMPARE(skazka.path, DataTree::fragmentFile(QStringLiteral("skazka"), 65));
    QVERIFY2(skazka.text.endsWith(QStringLiteral(": (1, 1), (1, 2), (1, 3), (2, 3)")),
             qPrintable(skazka.text));
}

void TreeCheckTest::checkedDataKeepsEveryVariantAndRecord()
{
    DataTree tree;
    tree.writeCompleteStory(kTwoGenres);
    tree.write(detective(5), lines({"2", "1", "а", "", "2", "б", "в"}));

    const CheckResult result = checkTree(tree.dir());
    QCOMPARE(result.data.genres.size(), 2);
    QCOMPARE(result.data.genres.at(1).name, QStringLiteral("Ужасы"));
    QCOMPARE(result.data.genres.at(1).line, 2);
    QCOMPARE(result.data.fragments.size(), 128);
    QCOMPARE(result.data.finales.size(), 2);

    const FragmentFile &file = result.data.fragments.at(4);
    QCOMPARE(file.path, detective(5));
    QCOMPARE(file.variantCount, 2);
    QCOMPARE(file.variants.size(), 2);
    QCOMPARE(file.variants.at(1).countLine, 5);
    QCOMPARE(file.variants.at(1).lines, strings({"б", "в"}));

    const FinaleRecord &record = result.data.finales.at(0).records.at(1);
    QCOMPARE(record.leastUsedGenre, 2);
    QCOMPARE(record.mostUsedGenre, 1);
    QCOMPARE(record.line, 5);
    QCOMPARE(record.countLine, 7);
}

void TreeCheckTest::reachablePairsFollowTheSixtyThreeSteps_data()
{
    QTest::addColumn<int>("genres");
    QTest::addColumn<int>("pairs");
    QTest::addColumn<bool>("evenSplit");

    QTest::newRow("none") << 0 << 0 << false;
    QTest::newRow("one genre: always (1, 1)") << 1 << 1 << true;
    QTest::newRow("two genres never tie over 63 steps") << 2 << 2 << false;
    QTest::newRow("three genres can tie at 21") << 3 << 7 << true;
    QTest::newRow("five genres") << 5 << 20 << false;
    QTest::newRow("seven genres can tie at 9") << 7 << 43 << true;
    QTest::newRow("nine genres can tie at 7") << 9 << 73 << true;
    QTest::newRow("ten genres") << 10 << 90 << false;
}

void TreeCheckTest::reachablePairsFollowTheSixtyThreeSteps()
{
    QFETCH(int, genres);
    QFETCH(int, pairs);
    QFETCH(bool, evenSplit);

    const QList<std::pair<int, int>> reachable = reachableFinalePairs(genres);
    QCOMPARE(reachable.size(), pairs);
    QCOMPARE(reachable.contains(std::pair(1, 1)), evenSplit);
    for (const auto &[least, most] : reachable)
        QVERIFY(least >= 1 && least <= genres && most >= 1 && most <= genres);
}

// Every way of sharing 63 steps among a few genres, put through the program's own rule for
// the least and most used genre, gives exactly the reachable pairs.
void TreeCheckTest::reachablePairsAreThoseOfEveryWayToCountSteps()
{
    for (int genres = 1; genres <= 4; ++genres) {
        vorta::StoryState state;
        state.genreCount = genres;
        QSet<std::pair<int, int>> seen;
        std::function<void(int, int)> share = [&](int genre, int left) {
            if (genre == genres) {
                state.genreUses[std::size_t(genre)] = left;
                const vorta::UseExtremes e = vorta::useExtremes(state);
                seen.insert({e.leastUsedGenre, e.mostUsedGenre});
                return;
            }
            for (int uses = 0; uses <= left; ++uses) {
                state.genreUses[std::size_t(genre)] = uses;
                share(genre + 1, left - uses);
            }
        };
        share(1, 63);
        const QList<std::pair<int, int>> reachable = reachableFinalePairs(genres);
        const QSet<std::pair<int, int>> expected(reachable.begin(), reachable.end());
        QCOMPARE(seen, expected);
    }
}

void TreeCheckTest::diagnosticsSortByPathInNumberOrderThenLine()
{
    auto at = [](const char *path, int line, const char *text) {
        return Diagnostic{QLatin1String(path), line, Severity::Warning, QLatin1String(text)};
    };
    QList<Diagnostic> diagnostics{at("vorta.cfg", 1, "a"),         at("Genres/x/10.vtq", 2, "b"),
                                  at("Genres/x/2.vtq", 9, "c"),    at("Genres/x/2.vtq", 3, "d"),
                                  at("Genres/genres.vtq", 4, "e"), at("Genres/x/2.vtq", 3, "f"),
                                  at("Genres/x/65.vtq", 1, "g"),   at("Genres/x1/1.vtq", 1, "h")};
    sortDiagnostics(diagnostics);
    QString order;
    for (const Diagnostic &d : diagnostics)
        order += d.text;
    QCOMPARE(order, QStringLiteral("edfcbgha"));
}

void TreeCheckTest::formatAndSummaryReadLikeACompiler()
{
    const Diagnostic error{QStringLiteral("Genres/x/3.vtq"), 7, Severity::Error,
                           QStringLiteral("плохо")};
    QCOMPARE(formatDiagnostic(error), QStringLiteral("Genres/x/3.vtq:7: error: плохо"));
    const Diagnostic note{QStringLiteral("a.vtq"), 2, Severity::Note, QStringLiteral("n")};
    QCOMPARE(formatDiagnostic(note), QStringLiteral("a.vtq:2: note: n"));

    QCOMPARE(summaryLine({}), QStringLiteral("0 errors, 0 warnings"));
    const Diagnostic warning{QStringLiteral("a"), 1, Severity::Warning, {}};
    QCOMPARE(summaryLine({error, warning, warning, note}), QStringLiteral("1 error, 2 warnings"));
    QCOMPARE(summaryLine({error, error, warning}), QStringLiteral("2 errors, 1 warning"));
}

QTEST_GUILESS_MAIN(TreeCheckTest)
#include "tst_tree_check.moc"
