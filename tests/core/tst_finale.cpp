// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/finale.h"
#include "core/story_state.h"
#include "format/folder_tree.h"
#include "format/qt_text.h"
#include "tests/support/core_text.h"
#include "tests/support/story_tree.h"

#include <QTest>

using namespace vorta;

Q_DECLARE_METATYPE(vorta::ErrorKind)

namespace {

StoryState finaleState(QList<qint32> uses)
{
    StoryState state;
    state.nextLine = 1;
    state.topLine = 1;
    state.genreCount = qint32(uses.size());
    for (int i = 0; i < uses.size(); ++i) {
        state.genreUses[i + 1] = uses[i];
        state.genreDirs[i + 1] = toU16(QStringLiteral("g%1").arg(i + 1));
    }
    state.currentGenre = 1;
    state.stepNumber = 65;
    for (OfferedPlace &place : state.window.offered)
        place.visible = true;
    return state;
}

} // namespace

class TestFinale : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void extremes_data();
    void extremes();
    void matchingRecordsAreToldInFileOrder_data();
    void matchingRecordsAreToldInFileOrder();
    void brokenFinaleFiles_data();
    void brokenFinaleFiles();
    void finaleStopsTheCountdownAndHidesTheChoices();
    void buttonBlinks();
};

void TestFinale::extremes_data()
{
    QTest::addColumn<QList<qint32>>("uses");
    QTest::addColumn<int>("least");
    QTest::addColumn<int>("most");
    QTest::newRow("ties go to the lowest index") << QList<qint32>{19, 22, 22, 0, 0} << 4 << 2;
    QTest::newRow("all equal") << QList<qint32>{21, 21, 21} << 1 << 1;
    QTest::newRow("one genre") << QList<qint32>{63} << 1 << 1;
    QTest::newRow("no genres") << QList<qint32>{} << 1 << 1;
    QTest::newRow("last is least and first most") << QList<qint32>{40, 20, 3} << 3 << 1;
}

void TestFinale::extremes()
{
    QFETCH(QList<qint32>, uses);
    const UseExtremes extremes = useExtremes(finaleState(uses));
    QTEST(extremes.leastUsedGenre, "least");
    QTEST(extremes.mostUsedGenre, "most");
}

void TestFinale::matchingRecordsAreToldInFileOrder_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("told");
    // Uses 10, 30, 5: least 3, most 2.
    QTest::newRow("only the matching pair")
        << QStringLiteral(
               "2\r\n3\r\n1\r\nwrong order\r\n3\r\n2\r\n2\r\nright\r\n, yes\r\n1\r\n1\r\n"
               "1\r\nbalanced\r\n")
        << QStringList{QStringLiteral("right"), QStringLiteral(", yes")};
    QTest::newRow("two matching records, first first")
        << QStringLiteral("3\r\n2\r\n1\r\nfirst\r\n1\r\n1\r\n0\r\n3\r\n2\r\n1\r\nsecond\r\n")
        << QStringList{QStringLiteral("first"), QStringLiteral("second")};
    QTest::newRow("no match tells nothing")
        << QStringLiteral("1\r\n1\r\n1\r\nx\r\n") << QStringList{};
    QTest::newRow("matching record of no lines")
        << QStringLiteral("3\r\n2\r\n0\r\n") << QStringList{};
    QTest::newRow("trailing blank lines end it")
        << QStringLiteral("3\r\n2\r\n1\r\nend\r\n\r\n\r\n") << QStringList{QStringLiteral("end")};
    QTest::newRow("a genre that is not a number matches nothing")
        << QStringLiteral("three\r\n2\r\n1\r\nx\r\n3\r\ntwo\r\n1\r\ny\r\n3\r\n2\r\n1\r\nz\r\n")
        << QStringList{QStringLiteral("z")};
    QTest::newRow("empty file") << QString() << QStringList{};
}

void TestFinale::matchingRecordsAreToldInFileOrder()
{
    QFETCH(QString, text);
    QFETCH(QStringList, told);
    StoryTree tree;
    tree.writeText(StoryTree::fragmentFile(QStringLiteral("g1"), 65), text);
    StoryState state = finaleState({10, 30, 5});
    tellFinale(state, tree.data());
    QCOMPARE(toldLines(state), told);
}

void TestFinale::brokenFinaleFiles_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<ErrorKind>("kind");
    QTest::addColumn<int>("line");
    QTest::newRow("ends after L") << QStringLiteral("1\r\n1\r\n0\r\n3\r\n")
                                  << ErrorKind::InputPastEndOfFile << 4;
    QTest::newRow("ends before the last line")
        << QStringLiteral("3\r\n2\r\n3\r\na\r\n") << ErrorKind::InputPastEndOfFile << 4;
    QTest::newRow("count not a number")
        << QStringLiteral("3\r\n2\r\nmany\r\n") << ErrorKind::BadNumber << 3;
    // A genre index is read into a 32-bit number like every count: beyond, it overflows.
    QTest::newRow("least beyond 32 bits")
        << QStringLiteral("3\r\n2\r\n0\r\n4294967299\r\n2\r\n0\r\n") << ErrorKind::Overflow << 4;
    QTest::newRow("most beyond 32 bits")
        << QStringLiteral("3\r\n-99999999999999999999\r\n0\r\n") << ErrorKind::Overflow << 2;
    QTest::newRow("garbage after the last record")
        << QStringLiteral("1\r\n1\r\n0\r\nThe End\r\n") << ErrorKind::InputPastEndOfFile << 4;
}

void TestFinale::brokenFinaleFiles()
{
    QFETCH(QString, text);
    QFETCH(ErrorKind, kind);
    QFETCH(int, line);
    StoryTree tree;
    tree.writeText(StoryTree::fragmentFile(QStringLiteral("g1"), 65), text);
    StoryState state = finaleState({10, 30, 5});
    try {
        tellFinale(state, tree.data());
        QFAIL("no error");
    } catch (const StoryError &error) {
        QCOMPARE(error.kind(), kind);
        QCOMPARE(error.file(), u"Genres/g1/65.vtq");
        QCOMPARE(error.line(), line);
    }
    StoryState missing = finaleState({1});
    QVERIFY_THROWS_EXCEPTION(StoryError,
                             tellFinale(missing, folderTree(QDir(tree.path(QStringLiteral("x"))))));
}

void TestFinale::finaleStopsTheCountdownAndHidesTheChoices()
{
    StoryTree tree;
    tree.writeFinale(QStringLiteral("g2"), {{1, 1, {QStringLiteral("x")}}});
    StoryState state = finaleState({1, 1});
    state.currentGenre = 2;
    tellFinale(state, tree.data());
    QCOMPARE(toldLines(state), QStringList{QStringLiteral("x")});
    QVERIFY(!state.window.countdownRunning);
    QVERIFY(state.window.blinking);
    QVERIFY(!state.window.countdownShown);
    for (const OfferedPlace &place : state.window.offered)
        QVERIFY(!place.visible);
    QVERIFY(!state.window.blinkLit);
}

void TestFinale::buttonBlinks()
{
    StoryState state;
    QList<bool> lit;
    for (int tick = 0; tick < 4; ++tick) {
        blinkTick(state);
        lit << state.window.blinkLit;
    }
    QCOMPARE(lit, (QList<bool>{true, false, true, false}));
}

QTEST_GUILESS_MAIN(TestFinale)
#include "tst_finale.moc"
