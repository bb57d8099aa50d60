// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/author/author_run.h"
#include "tests/author/manuscript_folder.h"
#include "tests/support/story_tree.h"

#include "author/cli/command.h"
#include "format/file_reader.h"
#include "format/qt_text.h"
#include "format/story_file.h"

#include <QTest>

#include <unistd.h>

using namespace vorta;
using namespace vorta::author;

namespace {

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
    void outputThatCannotBeWrittenIsRefused_data();
    void outputThatCannotBeWrittenIsRefused();
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
    manuscript.write(toQString(kStoryMetadataFile), kMetadataJson);
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
    // A line's end after either would name a folder on the shelf beside the story's own.
    QTest::newRow("an identifier ending a line")
        << QByteArray(kMetadataJson).replace("\"two\"", "\"two\\n\"") << none
        << QStringLiteral("story.json:1: error: поле \"identifier\"");
    QTest::newRow("a version ending a line")
        << QByteArray(kMetadataJson).replace("2.1", "2.1\\n") << none
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
        manuscript.write(toQString(kStoryMetadataFile), metadata);
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

void PackTest::outputThatCannotBeWrittenIsRefused_data()
{
    QTest::addColumn<QString>("output"); // from inside the manuscript, packed as "."
    QTest::addColumn<QString>("linkTo"); // the output is first made a hard link to this file
    QTest::addColumn<QString>("reason");

    const QString ownFile = QStringLiteral("%1 — файл самой рукописи");
    const QString otherName = QStringLiteral("link.txt — другое имя файла рукописи %1");
    QTest::newRow("a genre's manuscript")
        << QStringLiteral("horror.txt") << QString() << ownFile.arg(QStringLiteral("horror.txt"));
    QTest::newRow("the catalogue") << QStringLiteral("./genres.txt") << QString()
                                   << ownFile.arg(QStringLiteral("./genres.txt"));
    QTest::newRow("story.json") << QStringLiteral("story.json") << QString()
                                << ownFile.arg(QStringLiteral("story.json"));
    QTest::newRow("a hard link to a genre's manuscript")
        << QStringLiteral("link.txt") << QStringLiteral("detective.txt")
        << otherName.arg(QStringLiteral("detective.txt"));
    QTest::newRow("a missing folder in a read-only one")
        << QStringLiteral("ro/sub/s.vorta") << QString()
        << QStringLiteral("нет папки ro/sub, и её не создать: нет прав доступа");
}

// pack says why it writes nothing, and the file named stays as it was.
void PackTest::outputThatCannotBeWrittenIsRefused()
{
    QFETCH(QString, output);
    QFETCH(QString, linkTo);
    QFETCH(QString, reason);
    ManuscriptFolder manuscript;
    manuscript.writeStory(kTwoGenres);
    manuscript.write(toQString(kStoryMetadataFile), kMetadataJson);
    const QByteArray path = QFile::encodeName(manuscript.path(output));
    if (!linkTo.isEmpty())
        QCOMPARE(::link(QFile::encodeName(manuscript.path(linkTo)).constData(), path), 0);
    if (output.startsWith(QStringLiteral("ro/"))) {
        if (::geteuid() == 0)
            QSKIP("root writes in a read-only folder");
        QVERIFY(manuscript.dir().mkdir(QStringLiteral("ro"), QFile::ReadOwner | QFile::ExeOwner));
    }
    const bool existed = QFileInfo::exists(manuscript.path(output));
    const QByteArray before = existed ? fileText(manuscript.path(output)) : QByteArray();

    const AuthorRun run =
        runAuthor({QStringLiteral("pack"), QStringLiteral("."), QStringLiteral("-o"), output},
                  manuscript.dir());
    QCOMPARE(run.status, int(ExitUsage));
    QVERIFY2(run.err.contains(reason), qPrintable(run.err));
    if (existed)
        QCOMPARE(fileText(manuscript.path(output)), before);
}

QTEST_GUILESS_MAIN(PackTest)
#include "tst_pack.moc"
