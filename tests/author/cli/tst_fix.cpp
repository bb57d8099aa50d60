// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/author/author_run.h"
#include "tests/support/story_tree.h"

#include "author/cli/command_line.h"

#include <QTest>

using namespace vorta::author;

namespace {

const QString kFile = QStringLiteral("Genres/skazka/5.vtq");

AuthorRun fix(const StoryTree &tree)
{
    return runAuthor({QStringLiteral("fix"), tree.path()});
}

QByteArray cp1251(const char *utf8)
{
    return StoryTree::lineBytes({QString::fromUtf8(utf8)}).chopped(2);
}

} // namespace

class FixTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fileRewrittenOrLeft_data();
    void fileRewrittenOrLeft();
    void mixedTreeNamesEveryRewrittenFile();
};

void FixTest::fileRewrittenOrLeft_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("fixed"); // what the file holds after
    QTest::addColumn<QString>("out");      // its line on stdout, "" for none

    const QByteArray canonical = "1\r\n1\r\n" + cp1251("Жили-были.") + "\r\n";
    QTest::newRow("canonical: left alone") << canonical << canonical << QString();
    QTest::newRow("no line end at the end: left alone")
        << canonical.chopped(2) << canonical.chopped(2) << QString();
    QTest::newRow("Windows-1251 with LF")
        << "1\n1\n" + cp1251("Жили-были.") + "\n"
        << canonical << QStringLiteral("переписан %1 (были концы строк LF или CR)").arg(kFile);
    QTest::newRow("Windows-1251 with lone CR")
        << "1\r1\r" + cp1251("Жили-были.") + "\r" << canonical
        << QStringLiteral("переписан %1 (были концы строк LF или CR)").arg(kFile);
    QTest::newRow("one LF among CR LF")
        << "1\r\n1\n" + cp1251("Жили-были.") + "\r\n"
        << canonical << QStringLiteral("переписан %1 (были концы строк LF или CR)").arg(kFile);
    QTest::newRow("UTF-8 with CR LF") << QByteArray("1\r\n1\r\nЖили-были.\r\n") << canonical
                                      << QStringLiteral("переписан %1 (был в UTF-8)").arg(kFile);
    QTest::newRow("UTF-8 with LF") << QByteArray("1\n1\nЖили-были.\n") << canonical
                                   << QStringLiteral("переписан %1 (был в UTF-8)").arg(kFile);
    QTest::newRow("UTF-8 with BOM")
        << QByteArray("\xEF\xBB\xBF"
                      "1\r\n1\r\nЖили-были.\r\n")
        << canonical << QStringLiteral("переписан %1 (был в UTF-8)").arg(kFile);
    QTest::newRow("ASCII with BOM")
        << QByteArray("\xEF\xBB\xBF"
                      "1\r\n0\r\n")
        << QByteArray("1\r\n0\r\n") << QStringLiteral("переписан %1 (был в UTF-8)").arg(kFile);
    QTest::newRow("UTF-8 without a Windows-1251 form: left alone, error at the line")
        << QByteArray("1\n2\nЖили-были.\nЛуна \xE2\x98\xBE\n")
        << QByteArray("1\n2\nЖили-были.\nЛуна \xE2\x98\xBE\n")
        << QStringLiteral("%1:4: error: у знака «☾» (U+263E)").arg(kFile);
}

void FixTest::fileRewrittenOrLeft()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, fixed);
    QFETCH(QString, out);

    StoryTree tree;
    tree.writeStory({{QStringLiteral("Сказка"), QStringLiteral("skazka")}});
    tree.writeBytes(kFile, bytes);
    const AuthorRun run = fix(tree);
    QCOMPARE(tree.readBytes(kFile), fixed);
    const QStringList lines = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (out.isEmpty()) {
        QCOMPARE(run.status, int(ExitClean));
        QCOMPARE(lines, strings({"переписано: 0 файлов", "0 ошибок, 0 предупреждений"}));
    } else {
        QVERIFY2(run.out.contains(out), qPrintable(run.out));
        QCOMPARE(run.status,
                 out.contains(QStringLiteral("error")) ? int(ExitErrors) : int(ExitClean));
    }
}

void FixTest::mixedTreeNamesEveryRewrittenFile()
{
    StoryTree tree;
    tree.writeStory({{QStringLiteral("Сказка"), QStringLiteral("skazka")},
                     {QStringLiteral("Быль"), QStringLiteral("byl")}});
    const QByteArray cleanFile = tree.readBytes(StoryTree::fragmentFile(QStringLiteral("byl"), 2));
    tree.writeBytes(QStringLiteral("Genres/genres.vtq"), "Сказка,skazka\nБыль,byl\n");
    tree.writeBytes(StoryTree::fragmentFile(QStringLiteral("skazka"), 10), "1\n1\nтекст\n");
    tree.writeBytes(StoryTree::fragmentFile(QStringLiteral("byl"), 65),
                    "1\r2\r1\r" + cp1251("конец") + "\r");
    tree.writeBytes(QStringLiteral("vorta.cfg"), " 1 \n 5 \n");

    const AuthorRun run = fix(tree);
    QCOMPARE(run.status, int(ExitClean));
    QCOMPARE(run.out, QStringLiteral("переписан Genres/byl/65.vtq (были концы строк LF или CR)\n"
                                     "переписан Genres/genres.vtq (был в UTF-8)\n"
                                     "переписан Genres/skazka/10.vtq (был в UTF-8)\n"
                                     "переписан vorta.cfg (были концы строк LF или CR)\n"
                                     "переписано: 4 файла\n"
                                     "0 ошибок, 0 предупреждений\n"));
    QCOMPARE(tree.readBytes(QStringLiteral("vorta.cfg")), QByteArray(" 1 \r\n 5 \r\n"));
    QCOMPARE(tree.readBytes(QStringLiteral("Genres/genres.vtq")),
             StoryTree::lineBytes(strings({"Сказка,skazka", "Быль,byl"})));
    QCOMPARE(tree.readBytes(StoryTree::fragmentFile(QStringLiteral("byl"), 2)), cleanFile);
    // Fixed once, the tree has nothing left to fix.
    QVERIFY(fix(tree).out.startsWith(QStringLiteral("переписано: 0 файлов\n")));
}

QTEST_GUILESS_MAIN(FixTest)
#include "tst_fix.moc"
