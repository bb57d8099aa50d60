// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/author/author_run.h"
#include "tests/author/manuscript_folder.h"
#include "tests/support/story_tree.h"

#include "author/cli/command.h"
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

QString fileText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
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
    void aStoryFileThatDoesNotReadIsAnError_data();
    void aStoryFileThatDoesNotReadIsAnError();
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

    // Unpacked, it is the same manuscript as the tree's, with the metadata as written.
    const AuthorRun unpacked = runAuthor(
        {QStringLiteral("unpack"), QStringLiteral("two-2.1.vorta"), QStringLiteral("m")}, outDir);
    QCOMPARE(unpacked.status, int(ExitClean));
    QCOMPARE(
        runAuthor({QStringLiteral("unpack"), QStringLiteral("tree"), QStringLiteral("t")}, outDir)
            .status,
        int(ExitClean));
    for (const QString &name : {QStringLiteral("genres.txt"), QStringLiteral("horror.txt")})
        QCOMPARE(fileText(outDir.filePath(QStringLiteral("m/") + name)),
                 fileText(outDir.filePath(QStringLiteral("t/") + name)));
    QCOMPARE(parseStoryMetadata(fileText(outDir.filePath(QStringLiteral("m/story.json"))).toUtf8(),
                                QString()),
             parseStoryMetadata(kMetadataJson, QString()));
    QVERIFY(!QFileInfo::exists(outDir.filePath(QStringLiteral("m/story.journal"))));
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

void PackTest::aStoryFileThatDoesNotReadIsAnError_data()
{
    QTest::addColumn<QStringList>("arguments");

    for (const char *command : {"check", "story", "coverage", "proof"})
        QTest::newRow(command) << QStringList{QString::fromLatin1(command),
                                              QStringLiteral("bad.vorta")};
    QTest::newRow("unpack") << QStringList{QStringLiteral("unpack"), QStringLiteral("bad.vorta"),
                                           QStringLiteral("m")};
}

void PackTest::aStoryFileThatDoesNotReadIsAnError()
{
    QFETCH(QStringList, arguments);
    const QTemporaryDir dir;
    QFile file(QDir(dir.path()).filePath(QStringLiteral("bad.vorta")));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("Сказка,skazka\r\n") > 0);
    file.close();
    const AuthorRun run = runAuthor(arguments, QDir(dir.path()));
    QCOMPARE(run.status, int(ExitErrors));
    QVERIFY2(run.out.startsWith(QStringLiteral("bad.vorta:0: error: Файл рассказа не читается")),
             qPrintable(run.out));
    QVERIFY(!QFileInfo::exists(QDir(dir.path()).filePath(QStringLiteral("m"))));
}

QTEST_GUILESS_MAIN(PackTest)
#include "tst_pack.moc"
