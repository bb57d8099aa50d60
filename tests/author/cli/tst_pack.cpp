// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/author/author_run.h"
#include "tests/author/manuscript_folder.h"
#include "tests/support/story_tree.h"

#include "author/cli/command.h"
#include "format/file_reader.h"
#include "format/story_file.h"

#include <QTest>

using namespace vorta;
using namespace vorta::author;

namespace {

const QList<StoryTree::Genre> kTwoGenres{{QStringLiteral("Детектив"), QStringLiteral("detective")},
                                         {QStringLiteral("Ужасы"), QStringLiteral("horror")}};

const QByteArray kMetadataJson =
    R"({"identifier": "two", "version": "2.1", "title": "Два жанра", "author": "Автор",
"about": "О рассказе."})";

QByteArray fileText(const QString &path)
{
    return readCappedFile(path, path, kDataFileCap);
}

} // namespace

class PackTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aPackedStoryReadsAsItsTree_data();
    void aPackedStoryReadsAsItsTree();
    void packIsRefused_data();
    void packIsRefused();
};

void PackTest::aPackedStoryReadsAsItsTree_data()
{
    QTest::addColumn<QStringList>("arguments"); // the story last

    QTest::newRow("story") << QStringList{QStringLiteral("story"), QStringLiteral("--seed=7"),
                                          QStringLiteral("--labels")};
    QTest::newRow("check") << QStringList{QStringLiteral("check"), QStringLiteral("--stats")};
    QTest::newRow("coverage") << QStringList{QStringLiteral("coverage"),
                                             QStringLiteral("--stories=20")};
}

// The story file tells and checks as the tree built from the same manuscript does.
void PackTest::aPackedStoryReadsAsItsTree()
{
    QFETCH(QStringList, arguments);
    ManuscriptFolder manuscript;
    manuscript.writeStory(kTwoGenres);
    manuscript.write(kStoryMetadataFile, kMetadataJson);
    manuscript.write(QStringLiteral("story.journal"), "a story in progress");
    const QTemporaryDir out;
    const QDir outDir(out.path());
    const AuthorRun packed = runAuthor({QStringLiteral("pack"), manuscript.path()}, outDir);
    QCOMPARE(packed.status, int(ExitClean));
    QVERIFY2(packed.out.contains(QStringLiteral("two-2.1.vorta")), qPrintable(packed.out));
    QCOMPARE(runAuthor({QStringLiteral("build"), manuscript.path(), QStringLiteral("tree")}, outDir)
                 .status,
             int(ExitClean));

    const AuthorRun fromTree = runAuthor(arguments + QStringList{QStringLiteral("tree")}, outDir);
    const AuthorRun fromFile =
        runAuthor(arguments + QStringList{QStringLiteral("two-2.1.vorta")}, outDir);
    QCOMPARE(fromFile.status, fromTree.status);
    QCOMPARE(QString(fromFile.out).remove(QStringLiteral("two-2.1.vorta:")),
             QString(fromTree.out).remove(QStringLiteral("tree/")));

    // A file that does not read is an error that names it.
    QFile bad(outDir.filePath(QStringLiteral("bad.vorta")));
    QVERIFY(bad.open(QIODevice::WriteOnly) && bad.write("Сказка,skazka\r\n") > 0);
    bad.close();
    const AuthorRun refused = runAuthor(arguments + QStringList{bad.fileName()}, outDir);
    QCOMPARE(refused.status, int(ExitErrors));
    QVERIFY2(refused.out.contains(QStringLiteral("bad.vorta:0: error: Файл рассказа не читается")),
             qPrintable(refused.out));

    // Unpacked, it gives back its metadata, and never the story in progress.
    const QStringList unpack{QStringLiteral("unpack"), QStringLiteral("two-2.1.vorta"),
                             QStringLiteral("m")};
    QCOMPARE(runAuthor(unpack, outDir).status, int(ExitClean));
    QCOMPARE(parseStoryMetadata(fileText(outDir.filePath(QStringLiteral("m/story.json"))), {}),
             parseStoryMetadata(kMetadataJson, {}));
    QVERIFY(!QFileInfo::exists(outDir.filePath(QStringLiteral("m/story.journal"))));

    // A manuscript started by new-genre has metadata that reads.
    QVERIFY(outDir.mkdir(QStringLiteral("new")));
    const QStringList newGenre{QStringLiteral("new-genre"), QStringLiteral("Сказка"),
                               QStringLiteral("skazka"), QStringLiteral("new")};
    QCOMPARE(runAuthor(newGenre, outDir).status, int(ExitClean));
    QCOMPARE(parseStoryMetadata(fileText(outDir.filePath(QStringLiteral("new/story.json"))), {})
                 .identifier,
             QStringLiteral("new"));
}

void PackTest::packIsRefused_data()
{
    QTest::addColumn<QByteArray>("metadata"); // none when empty
    QTest::addColumn<QString>("brokenFile");  // written empty
    QTest::addColumn<QString>("finding");

    const QString none;
    QTest::newRow("no story.json") << QByteArray() << none << QStringLiteral("story.json:0: error");
    QTest::newRow("a version in words") << QByteArray(kMetadataJson).replace("2.1", "два") << none
                                        << QStringLiteral("story.json:1: error: поле \"version\"");
    QTest::newRow("JSON cut short")
        << kMetadataJson.first(40) << none << QStringLiteral("story.json:1: error");
    QTest::newRow("a key misspelt: said beside the missing one")
        << QByteArray(kMetadataJson).replace("identifier", "id") << none
        << QStringLiteral("story.json:1: warning: поле \"id\" неизвестно");
    QTest::newRow("a genre without steps")
        << kMetadataJson << QStringLiteral("horror.txt") << QStringLiteral("horror.txt");
}

void PackTest::packIsRefused()
{
    QFETCH(QByteArray, metadata);
    QFETCH(QString, brokenFile);
    QFETCH(QString, finding);
    ManuscriptFolder manuscript;
    manuscript.writeStory(kTwoGenres);
    if (!metadata.isEmpty())
        manuscript.write(kStoryMetadataFile, metadata);
    if (!brokenFile.isEmpty())
        manuscript.write(brokenFile, {});
    const QTemporaryDir out;
    const AuthorRun run = runAuthor({QStringLiteral("pack"), manuscript.path(),
                                     QStringLiteral("-o"), QStringLiteral("s.vorta")},
                                    QDir(out.path()));
    QCOMPARE(run.status, int(ExitErrors));
    QVERIFY2(run.out.contains(finding), qPrintable(run.out));
    QVERIFY(!QFileInfo::exists(QDir(out.path()).filePath(QStringLiteral("s.vorta"))));
}

QTEST_GUILESS_MAIN(PackTest)
#include "tst_pack.moc"
