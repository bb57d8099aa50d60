// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/author/author_run.h"
#include "tests/author/manuscript_folder.h"
#include "tests/support/story_tree.h"

#include "author/cli/command_line.h"
#include "author/manuscript/manuscript.h"

#include <QTest>

using namespace vorta::author;

namespace {

AuthorRun author(const QStringList &arguments)
{
    return runAuthor(arguments);
}

QList<StoryTree::Genre> genres(int count)
{
    QList<StoryTree::Genre> list;
    for (int g = 1; g <= count; ++g)
        list.append({QStringLiteral("Жанр %1").arg(g), QStringLiteral("g%1").arg(g)});
    return list;
}

} // namespace

class NewGenreTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void skeletonHasEveryHeading_data();
    void skeletonHasEveryHeading();
    void otherGenresGetTheNewPairs_data();
    void otherGenresGetTheNewPairs();
    void skeletonStatesTheStorysFacts_data();
    void skeletonStatesTheStorysFacts();
    void refused_data();
    void refused();
};

void NewGenreTest::skeletonHasEveryHeading_data()
{
    QTest::addColumn<int>("genresBefore");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("catalogueLine");
    QTest::addColumn<QStringList>("finaleHeadings");

    // The even split (1, 1) is an ending of one genre or three, but of no story once a second or
    // a fourth genre is added, so no heading is written for it.
    QTest::newRow("first genre, in a folder not made yet")
        << 0 << QStringLiteral("Былина") << QStringLiteral("Былина,new") << QStringList();
    QTest::newRow("second genre: 63 steps never split evenly in two")
        << 1 << QStringLiteral("Былина") << QStringLiteral("Былина,new")
        << strings({"## 65: 1, 2", "## 65: 2, 1"});
    QTest::newRow("third genre, name with a comma")
        << 2 << QStringLiteral("Вестерн, дикий") << QStringLiteral("\"Вестерн, дикий\",new")
        << strings({"## 65: 1, 2", "## 65: 1, 3", "## 65: 2, 1", "## 65: 2, 3", "## 65: 3, 1",
                    "## 65: 3, 2"});
}

void NewGenreTest::skeletonHasEveryHeading()
{
    QFETCH(int, genresBefore);
    QFETCH(QString, name);
    QFETCH(QString, catalogueLine);
    QFETCH(QStringList, finaleHeadings);

    // A first genre starts the manuscript, and its folder.
    ManuscriptFolder story;
    if (genresBefore > 0)
        story.writeStory(genres(genresBefore));
    const QDir manuscript(story.path(genresBefore > 0 ? QString() : QStringLiteral("a/ms")));
    const AuthorRun run =
        author({QStringLiteral("new-genre"), name, QStringLiteral("new"), manuscript.path()});
    QCOMPARE(run.status, int(ExitClean));

    QFile catalogue(manuscript.filePath(QStringLiteral("genres.txt")));
    QVERIFY(catalogue.open(QIODevice::ReadOnly));
    const QStringList entries = QString::fromUtf8(catalogue.readAll()).split(QLatin1Char('\n'));
    QCOMPARE(entries.at(genresBefore), catalogueLine);

    QFile skeleton(manuscript.filePath(QStringLiteral("new.txt")));
    QVERIFY(skeleton.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(skeleton.readAll()).split(QLatin1Char('\n'));
    QStringList headings;
    bool commentsOnly = true;
    for (const QString &line : lines) {
        if (line.startsWith(QStringLiteral("## ")))
            headings.append(line);
        else if (!line.isEmpty() && !line.startsWith(QStringLiteral("//")))
            commentsOnly = false;
    }
    QVERIFY(commentsOnly);
    QCOMPARE(headings.size(), 64 + finaleHeadings.size());
    for (int step = 1; step <= 64; ++step)
        QCOMPARE(headings.at(step - 1), QStringLiteral("## %1").arg(step));
    QCOMPARE(headings.mid(64), finaleHeadings);

    // Every other genre's manuscript now has a heading for every pair it can end with.
    for (int g = 1; g <= genresBefore; ++g) {
        QFile other(manuscript.filePath(QStringLiteral("g%1.txt").arg(g)));
        QVERIFY(other.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(other.readAll());
        for (const QString &heading : finaleHeadings)
            QVERIFY2(text.contains(QLatin1Char('\n') + heading + QLatin1Char('\n')),
                     qPrintable(heading));
    }

    // The skeleton builds as it stands: every step one empty variant.
    StoryTree tree;
    QCOMPARE(author({QStringLiteral("build"), manuscript.path(), tree.path()}).status,
             int(ExitClean));
    QCOMPARE(tree.readBytes(StoryTree::fragmentFile(QStringLiteral("new"), 37)),
             QByteArray("1\r\n0\r\n"));
}

void NewGenreTest::otherGenresGetTheNewPairs_data()
{
    QTest::addColumn<QByteArray>("lineEnd");
    QTest::addColumn<bool>("lastLineEnds");
    QTest::addColumn<QString>("written"); // a record g1.txt has already

    QTest::newRow("LF") << QByteArray("\n") << true << QString();
    QTest::newRow("CR LF, no line end after the last line")
        << QByteArray("\r\n") << false << QString();
    QTest::newRow("a new pair written already")
        << QByteArray("\n") << true << QStringLiteral("## 65: 2, 1");
}

// No pair of the new genre has to be typed by hand in the other genres' files: after new-genre
// every manuscript has a heading for every ending a story can reach, each once.
void NewGenreTest::otherGenresGetTheNewPairs()
{
    QFETCH(QByteArray, lineEnd);
    QFETCH(bool, lastLineEnds);
    QFETCH(QString, written);
    ManuscriptFolder manuscript;
    manuscript.writeStory(genres(1));
    QString text = ManuscriptFolder::genreText(QStringLiteral("g1"), 1);
    if (!written.isEmpty())
        text += written + QStringLiteral("\nЖили-были.\n");
    QByteArray bytes = text.toUtf8().replace("\n", lineEnd);
    if (!lastLineEnds)
        bytes.chop(lineEnd.size());
    manuscript.write(QStringLiteral("g1.txt"), bytes);

    const AuthorRun added = author({QStringLiteral("new-genre"), QStringLiteral("Былина"),
                                    QStringLiteral("new"), manuscript.path()});
    QCOMPARE(added.status, int(ExitClean));
    QVERIFY2(added.out.contains(QStringLiteral("g1.txt: заголовки концовок")),
             qPrintable(added.out));
    QFile file(manuscript.path(QStringLiteral("g1.txt")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray after = file.readAll();
    QVERIFY(after.startsWith(bytes));
    QCOMPARE(after.count("## 65: 2, 1"), 1);
    QCOMPARE(after.count("\r\n") > 0, lineEnd == "\r\n");

    StoryTree tree;
    const AuthorRun built = author({QStringLiteral("build"), manuscript.path(), tree.path()});
    QCOMPARE(built.status, int(ExitClean));
    QVERIFY2(!built.out.contains(QStringLiteral("нет записи для пар")), qPrintable(built.out));
}

void NewGenreTest::skeletonStatesTheStorysFacts_data()
{
    QTest::addColumn<QString>("after"); // the line the fact follows
    QTest::addColumn<QString>("fact");  // the line that states it

    QTest::newRow("low values tell step 38")
        << QStringLiteral("## 38")
        << QStringLiteral("// Рассказывается, когда число шага 37 не больше 100; иначе шаг 39.");
    QTest::newRow("high values tell step 39")
        << QStringLiteral("## 39")
        << QStringLiteral("// Рассказывается, когда число шага 37 больше 100; иначе шаг 38.");
    QTest::newRow("the values step 37 draws")
        << QStringLiteral("## 37")
        << QStringLiteral("// Каждая строка несёт метку (IQ): в неё встаёт число от 80 до 119 со "
                          "своим пробелом впереди («на(IQ)» читается «на 119»).");
    QTest::newRow("the steps and the row's width")
        << QStringLiteral("// Жанр «Былина» (папка new), рукопись в UTF-8; vorta-author build "
                          "собирает из неё Genres/new/.")
        << QStringLiteral("// «## N» начинает шаг N (1..64); строка «---» отделяет варианты "
                          "шага, и программа рассказывает один из них наугад.\n// Строка не шире "
                          "46 знаков: программа её не переносит. Пустые строки в начале и в "
                          "конце варианта не рассказываются;");
}

// The skeleton's comments are what an author goes by: each states a fact of the story as the
// program has it.
void NewGenreTest::skeletonStatesTheStorysFacts()
{
    QFETCH(QString, after);
    QFETCH(QString, fact);
    ManuscriptFolder manuscript;
    manuscript.writeStory(genres(1));
    QCOMPARE(author({QStringLiteral("new-genre"), QStringLiteral("Былина"), QStringLiteral("new"),
                     manuscript.path()})
                 .status,
             int(ExitClean));
    QFile skeleton(manuscript.path(QStringLiteral("new.txt")));
    QVERIFY(skeleton.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(skeleton.readAll());
    QVERIFY2(text.contains(after + QLatin1Char('\n') + fact + QLatin1Char('\n')), qPrintable(text));
}

void NewGenreTest::refused_data()
{
    QTest::addColumn<int>("genresBefore");
    QTest::addColumn<QString>("dir");
    QTest::addColumn<int>("status");

    QTest::newRow("folder already in the catalogue")
        << 2 << QStringLiteral("g2") << int(ExitErrors);
    QTest::newRow("an eleventh genre") << 10 << QStringLiteral("new") << int(ExitErrors);
    QTest::newRow("folder name leaves Genres") << 1 << QStringLiteral("../x") << int(ExitErrors);
}

void NewGenreTest::refused()
{
    QFETCH(int, genresBefore);
    QFETCH(QString, dir);
    QFETCH(int, status);

    ManuscriptFolder manuscript;
    manuscript.writeStory(genres(genresBefore));
    QFile catalogue(manuscript.path(QStringLiteral("genres.txt")));
    QVERIFY(catalogue.open(QIODevice::ReadOnly));
    const QByteArray before = catalogue.readAll();
    catalogue.close();

    const AuthorRun run =
        author({QStringLiteral("new-genre"), QStringLiteral("Новый"), dir, manuscript.path()});
    QCOMPARE(run.status, status);
    QVERIFY2(run.out.contains(QStringLiteral("genres.txt:")), qPrintable(run.out));
    QVERIFY(catalogue.open(QIODevice::ReadOnly));
    QCOMPARE(catalogue.readAll(), before);
    QVERIFY(!QFileInfo::exists(manuscript.path(QStringLiteral("new.txt"))));
}

QTEST_GUILESS_MAIN(NewGenreTest)
#include "tst_new_genre.moc"
