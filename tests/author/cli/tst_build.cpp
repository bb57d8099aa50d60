// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/author/author_run.h"
#include "tests/author/manuscript_folder.h"
#include "tests/support/story_tree.h"

#include "author/cli/command_line.h"
#include "author/manuscript/tree_build.h"
#include "author/manuscript/tree_unpack.h"

#include <QDirIterator>
#include <QTest>

using namespace vorta::author;

namespace {

const QList<StoryTree::Genre> kOneGenre{{QStringLiteral("Сказка"), QStringLiteral("skazka")}};
AuthorRun author(const QStringList &arguments)
{
    return runAuthor(arguments);
}

// Every file under a folder, by relative path, with its bytes.
QMap<QString, QByteArray> filesOf(const QDir &dir)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(dir.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            files.insert(dir.relativeFilePath(path), file.readAll());
    }
    return files;
}

// Sets every file's modification time far back, so that a write shows without waiting.
void ageFiles(const QDir &dir)
{
    const QDateTime past = QDateTime::currentDateTimeUtc().addDays(-30);
    QDirIterator it(dir.path(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(past, QFileDevice::FileModificationTime));
    }
}

QStringList filesWrittenSince(const QDir &dir, const QDateTime &since)
{
    QStringList written;
    QDirIterator it(dir.path(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (QFileInfo(path).lastModified() >= since)
            written.append(dir.relativeFilePath(path));
    }
    written.sort();
    return written;
}

} // namespace

class BuildTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sampleStoryRoundTrips();
    void canonicalTreeRoundTrips_data();
    void canonicalTreeRoundTrips();
    void rebuildWritesOnlyWhatChanged();
    void nothingIsWrittenOnAnError();
    void everyFindingOfAManuscriptInOneRound();
    void catalogueEndsAtItsLastGenre();
    void settingsFileRule_data();
    void settingsFileRule();
    void treeFindingsAtManuscriptLines_data();
    void treeFindingsAtManuscriptLines();
    void treeFindingOutsideTheManuscriptNamesTheTree();
    void unpackRefusesWhatAManuscriptCannotHold_data();
    void unpackRefusesWhatAManuscriptCannotHold();
};

void BuildTest::sampleStoryRoundTrips()
{
    // A tree of its own: the build's sample tree is also where a developer reads the story, and
    // the reader's journal and settings land there.
    StoryTree sample;
    QCOMPARE(author({QStringLiteral("build"), QStringLiteral(VORTA_SAMPLE_MANUSCRIPT_DIR),
                     sample.path()})
                 .status,
             int(ExitClean));
    ManuscriptFolder manuscript;
    const AuthorRun unpacked = author({QStringLiteral("unpack"), sample.path(), manuscript.path()});
    QCOMPARE(unpacked.status, int(ExitClean));
    // A tree the build made is canonical: unpacking it notes nothing.
    QVERIFY2(!unpacked.out.contains(QStringLiteral(": note: ")), qPrintable(unpacked.out));

    StoryTree rebuilt;
    const AuthorRun built = author({QStringLiteral("build"), manuscript.path(), rebuilt.path()});
    QCOMPARE(built.status, int(ExitClean));
    QCOMPARE(filesOf(rebuilt.dir()), filesOf(sample.dir()));
}

void BuildTest::canonicalTreeRoundTrips_data()
{
    QTest::addColumn<QList<StoryTree::Variant>>("variants"); // of step 1
    QTest::addColumn<QStringList>("record");                 // of the (1, 2) finale

    QTest::newRow("plain") << QList<StoryTree::Variant>{strings({"а", "б"})} << strings({"конец"});
    QTest::newRow("empty variants and record")
        << QList<StoryTree::Variant>{{}, strings({"а"}), {}} << QStringList();
    QTest::newRow("blank lines at the edges")
        << QList<StoryTree::Variant>{strings({"", "а", ""}), strings({"  ", "\t"})}
        << strings({"", ""});
    QTest::newRow("blank lines inside")
        << QList<StoryTree::Variant>{strings({"а", "", " ", "б"})} << strings({"а", "", "б"});
    QTest::newRow("lines that read as markers")
        << QList<StoryTree::Variant>{strings({"## 2", "// нет", "\\", "---", "\\## 3", "--- "})}
        << strings({"## 65: 1, 1", "---"});
    QTest::newRow("quotes, commas and trailing spaces")
        << QList<StoryTree::Variant>{strings({"\"Да,\" — сказал он.  ", "  отступ"})}
        << strings({"«Ёлка»,  "});
}

void BuildTest::canonicalTreeRoundTrips()
{
    QFETCH(QList<StoryTree::Variant>, variants);
    QFETCH(QStringList, record);

    StoryTree tree;
    tree.writeStory(kTwoGenres);
    tree.writeFragment(QStringLiteral("horror"), 1, variants);
    tree.writeFinale(QStringLiteral("horror"), {{2, 1, strings({"ужас"})}, {1, 2, record}});
    tree.writeSettings(0, 10);

    ManuscriptFolder manuscript;
    QCOMPARE(author({QStringLiteral("unpack"), tree.path(), manuscript.path()}).status,
             int(ExitClean));
    StoryTree rebuilt;
    QCOMPARE(author({QStringLiteral("build"), manuscript.path(), rebuilt.path()}).status,
             int(ExitClean));
    QCOMPARE(filesOf(rebuilt.dir()), filesOf(tree.dir()));
}

void BuildTest::rebuildWritesOnlyWhatChanged()
{
    ManuscriptFolder manuscript;
    manuscript.writeStory(kOneGenre);
    StoryTree tree;
    QCOMPARE(author({QStringLiteral("build"), manuscript.path(), tree.path()}).status,
             int(ExitClean));
    ageFiles(tree.dir());
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);

    // The same manuscript, saved with CR LF ends and a comment, builds the same tree.
    QString text = ManuscriptFolder::genreText(QStringLiteral("skazka"), 1);
    text.replace(QStringLiteral("skazka 9\n"), QStringLiteral("Новый девятый шаг.\n"));
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    manuscript.writeText(QStringLiteral("skazka.txt"), QStringLiteral("// правка\r\n") + text);
    const AuthorRun run = author({QStringLiteral("build"), manuscript.path(), tree.path()});
    QCOMPARE(run.status, int(ExitClean));
    QVERIFY2(run.out.startsWith(QStringLiteral("записано: 1 файл из 66\n")), qPrintable(run.out));
    QCOMPARE(filesWrittenSince(tree.dir(), before), strings({"Genres/skazka/9.vtq"}));
    QCOMPARE(tree.readBytes(StoryTree::fragmentFile(QStringLiteral("skazka"), 9)),
             StoryTree::lineBytes(strings({"1", "1", "Новый девятый шаг."})));
    // Replaced by renaming a finished file: no half-written or temporary file is left.
    QCOMPARE(tree.dir().entryList(QDir::Files | QDir::Hidden), strings({"vorta.cfg"}));
}

void BuildTest::nothingIsWrittenOnAnError()
{
    ManuscriptFolder manuscript;
    manuscript.writeStory(kOneGenre);
    StoryTree tree;
    QCOMPARE(author({QStringLiteral("build"), manuscript.path(), tree.path()}).status,
             int(ExitClean));
    const QMap<QString, QByteArray> before = filesOf(tree.dir());

    // A good change beside an error: neither reaches the tree.
    QString text = ManuscriptFolder::genreText(QStringLiteral("skazka"), 1);
    text.replace(QStringLiteral("skazka 2\n"), QStringLiteral("Исправлено.\n"));
    text.replace(QStringLiteral("## 64\n"), QStringLiteral("## 63\n"));
    manuscript.writeText(QStringLiteral("skazka.txt"), text);
    const AuthorRun run = author({QStringLiteral("build"), manuscript.path(), tree.path()});
    QCOMPARE(run.status, int(ExitErrors));
    QCOMPARE(filesOf(tree.dir()), before);
    const QString shown = QDir::cleanPath(manuscript.path(QStringLiteral("skazka.txt")));
    QCOMPARE(run.out, shown +
                          QStringLiteral(":1: error: нет шага 64: каждый шаг 1..64 пишется "
                                         "один раз, «## N»\n") +
                          shown +
                          QStringLiteral(":127: error: шаг 63 уже начат в строке 125\n"
                                         "2 ошибки, 0 предупреждений\n"));

    StoryTree fresh;
    QCOMPARE(author({QStringLiteral("build"), manuscript.path(), fresh.path()}).status,
             int(ExitErrors));
    QCOMPARE(filesOf(fresh.dir()), (QMap<QString, QByteArray>()));
}

// An encoding error must not hide a step-37 error, nor that the width warning: an author sees
// every finding of the manuscript in one build.
void BuildTest::everyFindingOfAManuscriptInOneRound()
{
    ManuscriptFolder manuscript;
    manuscript.writeStory(kTwoGenres);
    QByteArray text = ManuscriptFolder::genreText(QStringLiteral("detective"), 2).toUtf8();
    const QList<std::pair<QByteArray, QByteArray>> faults{
        {"detective 1\n", "\xff\xfe not UTF-8\n"},                        // line 2
        {"detective 3\n", QStringLiteral("Сердце ♥\n").toUtf8()},         // line 6
        {"detective 5\n", QString(47, QChar(u'ж')).toUtf8() + '\n'},      // line 10
        {"## 20\n", "## 20x\n"},                                          // line 39
        {"detective ум:(IQ).\n", QStringLiteral("без метки\n").toUtf8()}, // line 74
        {"## 65: 1, 2\ndetective финал 1-2\n", "## 65: 1, 2\n"},          // line 129
    };
    for (const auto &[from, to] : faults)
        text.replace(from, to);
    manuscript.write(QStringLiteral("detective.txt"), text);
    StoryTree tree;

    const AuthorRun run = author({QStringLiteral("build"), manuscript.path(), tree.path()});
    QCOMPARE(run.status, int(ExitErrors));
    QStringList places;
    for (const QString &line : run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        places.append(line.section(QStringLiteral(": "), 0, 1).section(QLatin1Char('/'), -1));
    QCOMPARE(places, strings({"detective.txt:1: error", "detective.txt:2: error",
                              "detective.txt:6: error", "detective.txt:10: warning",
                              "detective.txt:39: error", "detective.txt:74: error",
                              "detective.txt:129: warning", "5 ошибок, 2 предупреждения"}));
    QCOMPARE(filesOf(tree.dir()), (QMap<QString, QByteArray>()));
}

void BuildTest::catalogueEndsAtItsLastGenre()
{
    ManuscriptFolder manuscript;
    manuscript.writeStory(kTwoGenres);
    manuscript.writeText(QStringLiteral("genres.txt"),
                         QStringLiteral("\"Детектив\", detective\r\nУжасы,horror\n\n  \n"));
    StoryTree tree;
    QCOMPARE(author({QStringLiteral("build"), manuscript.path(), tree.path()}).status,
             int(ExitClean));
    // Line by line, but without the blank lines after the last genre.
    QCOMPARE(tree.readBytes(QStringLiteral("Genres/genres.vtq")),
             StoryTree::lineBytes(strings({"\"Детектив\", detective", "Ужасы,horror"})));
}

void BuildTest::settingsFileRule_data()
{
    QTest::addColumn<QByteArray>("inManuscript"); // empty for none
    QTest::addColumn<QByteArray>("inTree");       // empty for none
    QTest::addColumn<QByteArray>("built");

    QTest::newRow("neither: the written form of 2 and 5")
        << QByteArray() << QByteArray() << QByteArray(" 2 \r\n 5 \r\n");
    QTest::newRow("the tree's is kept")
        << QByteArray() << QByteArray(" 0 \r\n 10 \r\n") << QByteArray(" 0 \r\n 10 \r\n");
    QTest::newRow("the manuscript's is copied byte for byte")
        << QByteArray("7\n3") << QByteArray(" 0 \r\n 10 \r\n") << QByteArray("7\n3");
}

void BuildTest::settingsFileRule()
{
    QFETCH(QByteArray, inManuscript);
    QFETCH(QByteArray, inTree);
    QFETCH(QByteArray, built);

    ManuscriptFolder manuscript;
    manuscript.writeStory(kOneGenre);
    if (!inManuscript.isEmpty())
        manuscript.write(QStringLiteral("vorta.cfg"), inManuscript);
    StoryTree tree;
    if (!inTree.isEmpty())
        tree.writeBytes(QStringLiteral("vorta.cfg"), inTree);
    author({QStringLiteral("build"), manuscript.path(), tree.path()});
    QCOMPARE(tree.readBytes(QStringLiteral("vorta.cfg")), built);
}

void BuildTest::treeFindingsAtManuscriptLines_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("expected"); // "LINE: severity: " and words of the text

    QTest::newRow("line wider than the row")
        << QStringLiteral("skazka 3\n") << QStringLiteral("%1\n").arg(QString(47, QChar(u'ж')))
        << QStringLiteral("6: warning: строка шире окна");
    QTest::newRow("finale pair outside the catalogue")
        << QStringLiteral("## 65: 1, 1\n") << QStringLiteral("## 65: 1, 1\nа\n## 65: 3, 1\n")
        << QStringLiteral("131: warning: пару (3, 1)");
}

void BuildTest::treeFindingsAtManuscriptLines()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, expected);

    ManuscriptFolder manuscript;
    manuscript.writeStory(kOneGenre);
    QString text = ManuscriptFolder::genreText(QStringLiteral("skazka"), 1);
    manuscript.writeText(QStringLiteral("skazka.txt"), text.replace(from, to));
    StoryTree tree;
    const AuthorRun run = author({QStringLiteral("build"), manuscript.path(), tree.path()});
    QCOMPARE(run.status, int(ExitClean));
    const QString prefix = QDir::cleanPath(manuscript.path(QStringLiteral("skazka.txt"))) +
                           QLatin1Char(':') + expected;
    QVERIFY2(run.out.contains(prefix), qPrintable(run.out));
}

void BuildTest::treeFindingOutsideTheManuscriptNamesTheTree()
{
    ManuscriptFolder manuscript;
    manuscript.writeStory(kOneGenre);
    StoryTree tree;
    tree.writeSettings(12, 5); // the reader's own, kept by the build
    const AuthorRun run = author({QStringLiteral("build"), manuscript.path(), tree.path()});
    QCOMPARE(run.status, int(ExitClean));
    QVERIFY2(run.out.contains(QDir::cleanPath(tree.path()) +
                              QStringLiteral("/vorta.cfg:1: warning: значение 12")),
             qPrintable(run.out));
}

void BuildTest::unpackRefusesWhatAManuscriptCannotHold_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");

    QTest::newRow("no variants") << StoryTree::fragmentFile(QStringLiteral("skazka"), 4)
                                 << QByteArray("0\r\n")
                                 << QStringLiteral("Genres/skazka/4.vtq:1: error: ");
    QTest::newRow("negative line count")
        << StoryTree::fragmentFile(QStringLiteral("skazka"), 4) << QByteArray("1\r\n-1\r\n")
        << QStringLiteral("Genres/skazka/4.vtq:2: error: ");
    QTest::newRow("file ends early")
        << StoryTree::fragmentFile(QStringLiteral("skazka"), 4) << QByteArray("1\r\n3\r\nа\r\n")
        << QStringLiteral("Genres/skazka/4.vtq:3: error: ");
    QTest::newRow("genre index not a number")
        << StoryTree::fragmentFile(QStringLiteral("skazka"), 65) << QByteArray("x\r\n1\r\n0\r\n")
        << QStringLiteral("Genres/skazka/65.vtq:1: error: ");
}

void BuildTest::unpackRefusesWhatAManuscriptCannotHold()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);

    StoryTree tree;
    tree.writeStory(kOneGenre);
    tree.writeBytes(file, bytes);
    ManuscriptFolder manuscript;
    const AuthorRun run = author({QStringLiteral("unpack"), tree.path(), manuscript.path()});
    QCOMPARE(run.status, int(ExitErrors));
    QVERIFY2(run.out.startsWith(expected), qPrintable(run.out));
    QCOMPARE(manuscript.dir().entryList(QDir::Files), QStringList());
}

QTEST_GUILESS_MAIN(BuildTest)
#include "tst_build.moc"
