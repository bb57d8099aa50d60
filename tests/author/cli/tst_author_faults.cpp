// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/author/author_run.h"
#include "tests/author/manuscript_folder.h"

#include "core/windows1251.h"
#include "format/atomic_write.h"
#include "format/file_reader.h"
#include "format/qt_text.h"

#include <QDirIterator>
#include <QTest>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace vorta::author;

namespace {

const QList<StoryTree::Genre> kGenres{{QStringLiteral("Сказка"), QStringLiteral("skazka")},
                                      {QStringLiteral("Детектив"), QStringLiteral("detective")}};
const QByteArray kCatalogue = QStringLiteral("Сказка,skazka\nДетектив,detective\n").toUtf8();

// Every file and folder under a folder, hidden ones included, with the files' bytes.
QMap<QString, QByteArray> entriesOf(const QString &folder)
{
    QMap<QString, QByteArray> entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        entries.insert(QDir(folder).relativeFilePath(path),
                       file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<folder>"));
    }
    return entries;
}

// A manuscript of the genres in ms/ and, for two, the tree built from it in tree/.
struct Workspace
{
    QTemporaryDir root;

    explicit Workspace(const QList<StoryTree::Genre> &genres = kGenres)
    {
        writeManuscript(genres);
        QCOMPARE(
            run({QStringLiteral("build"), QStringLiteral("ms"), QStringLiteral("tree")}).status,
            int(ExitClean));
    }
    void writeManuscript(const QList<StoryTree::Genre> &genres) const
    {
        QString catalogue;
        for (const StoryTree::Genre &genre : genres) {
            catalogue += genre.name + QLatin1Char(',') + genre.dir + QLatin1Char('\n');
            put(QStringLiteral("ms/%1.txt").arg(genre.dir),
                ManuscriptFolder::genreText(genre.dir, int(genres.size())).toUtf8());
        }
        put(QStringLiteral("ms/genres.txt"), catalogue.toUtf8());
    }
    QString path(const QString &relative) const { return root.filePath(relative); }
    AuthorRun run(const QStringList &arguments) const { return runAuthor(arguments, root.path()); }

    // Bytes for a file, its folder made; "-> TARGET" makes a symbolic link instead.
    void put(const QString &relative, const QByteArray &bytes) const
    {
        QDir().mkpath(QFileInfo(path(relative)).path());
        QFile::remove(path(relative));
        if (bytes.startsWith("-> ")) {
            QVERIFY(QFile::link(QString::fromUtf8(bytes.mid(3)), path(relative)));
            return;
        }
        QFile file(path(relative));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }
    QByteArray bytes(const QString &relative) const
    {
        QFile file(path(relative));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
    }
};

using Files = QMap<QString, QByteArray>;

QByteArray crLf(QByteArray bytes)
{
    return bytes.replace("\n", "\r\n");
}

Files files(std::initializer_list<std::pair<const char *, QByteArray>> entries)
{
    Files result;
    for (const auto &[path, bytes] : entries)
        result.insert(QString::fromUtf8(path), bytes);
    return result;
}

void row(const char *name, const Files &before, const char *arguments, int status, const char *told,
         const Files &after)
{
    QTest::newRow(name) << before << QString::fromUtf8(arguments) << status
                        << QString::fromUtf8(told) << after;
}

} // namespace

class AuthorFaultsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void faultIsMendedAndTold_data();
    void faultIsMendedAndTold();
    void interruptedBuildLeavesTheTree_data();
    void interruptedBuildLeavesTheTree();
};

void AuthorFaultsTest::faultIsMendedAndTold_data()
{
    QTest::addColumn<Files>("before"); // put over the workspace, by path
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("told"); // in what the run printed
    QTest::addColumn<Files>("after");  // bytes expected after the run

    const QByteArray commented =
        ManuscriptFolder::genreText(QStringLiteral("skazka"), 2).toUtf8() + "// мой комментарий\n";
    const QByteArray vtqInside = vorta::toQByteArray(
        vorta::encodeWindows1251(u"Сказка,skazka\r\n\r\nДетектив,detective\r\n"));
    const QByteArray vtqAfter = vorta::toQByteArray(
        vorta::encodeWindows1251(u"Сказка,skazka\r\nДетектив,detective\r\n\r\n  \r\n"));
    const QByteArray horror = QByteArray("Ужасы,horror\n");
    const QByteArray blankInside =
        QByteArray(kCatalogue).insert(kCatalogue.indexOf('\n') + 1, " \n");

    row("unpack over a manuscript: refused", files({{"ms/skazka.txt", commented}}),
        "unpack tree ms", ExitUsage, "папка ms не пуста (3 файла)",
        files({{"ms/skazka.txt", commented}}));
    row("unpack --force: names what it replaces", files({{"ms/skazka.txt", commented}}),
        "unpack --force tree ms", ExitClean, "заменён ms/skazka.txt\nзаменён ms/detective.txt",
        files({{"ms/genres.txt", kCatalogue}}));
    row("blank lines after the last genre: new-genre",
        files({{"ms/genres.txt", kCatalogue + "\n \n"}}), "new-genre Ужасы horror ms", ExitClean,
        "дополнен ms/genres.txt: жанр 3",
        files({{"ms/genres.txt", kCatalogue + horror + "\n \n"}}));
    row("new-genre keeps CR LF", files({{"ms/genres.txt", crLf(kCatalogue)}}),
        "new-genre Ужасы horror ms", ExitClean, "0 ошибок",
        files({{"ms/genres.txt", crLf(kCatalogue + horror)}}));
    row("blank line inside genres.txt: build", files({{"ms/genres.txt", blankInside}}),
        "build ms t2", ExitErrors, "ms/genres.txt:2: error: пустая строка в каталоге",
        files({{"t2/Genres/genres.vtq", "<none>"}}));
    row("blank line inside genres.txt: check", files({{"ms/genres.txt", blankInside}}), "check ms",
        ExitErrors, "ms/genres.txt:2: error: пустая строка в каталоге", {});
    row("blank line inside genres.txt: new-genre", files({{"ms/genres.txt", blankInside}}),
        "new-genre Ужасы horror ms", ExitErrors, "ms/genres.txt:2: error: пустая строка в каталоге",
        files({{"ms/genres.txt", blankInside}, {"ms/horror.txt", "<none>"}}));
    row("blank line inside genres.vtq: check", files({{"tree/Genres/genres.vtq", vtqInside}}),
        "check tree", ExitErrors, "Genres/genres.vtq:2: error: пустая строка в каталоге", {});
    row("blank line inside genres.vtq: unpack", files({{"tree/Genres/genres.vtq", vtqInside}}),
        "unpack tree m2", ExitErrors, "Genres/genres.vtq:2: error: пустая строка в каталоге",
        files({{"m2/genres.txt", "<none>"}}));
    row("blank lines after the last pair of genres.vtq: unpack",
        files({{"tree/Genres/genres.vtq", vtqAfter}}), "unpack tree m2", ExitClean, "0 ошибок",
        files({{"m2/genres.txt", kCatalogue}}));
    row("CR-only settings of a manuscript: its own line", files({{"ms/vorta.cfg", " 1 \r x \r"}}),
        "build ms tree", ExitErrors, "ms/vorta.cfg:2: error: Неверное число", {});
    row("CR-only catalogue: its own line",
        files({{"ms/genres.txt", QByteArray(kCatalogue).replace('\n', '\r') + "Ужасы,..\r"}}),
        "build ms tree", ExitErrors, "ms/genres.txt:3: error: Недопустимое имя: папка жанра", {});
    // A folder name that leads out of the story is an error at its line; nothing is opened by it
    // and nothing is written.
    const QByteArray outward = vorta::toQByteArray(
        vorta::encodeWindows1251(u"Сказка,skazka\r\nДетектив,x/../../../elsewhere\r\n"));
    row("a folder out of the tree: check",
        files({{"elsewhere/1.vtq", "чужое\n"}, {"tree/Genres/genres.vtq", outward}}), "check tree",
        ExitErrors, "Genres/genres.vtq:2: error: Недопустимое имя: папка жанра",
        files({{"elsewhere/1.vtq", "чужое\n"}}));
    row("a folder out of the tree: unpack writes nothing",
        files({{"tree/Genres/genres.vtq", outward}}), "unpack tree m3", ExitErrors,
        "Genres/genres.vtq:2: error: Недопустимое имя", files({{"m3/genres.txt", "<none>"}}));
    row("a folder beside the manuscript: build writes nothing",
        files({{"ms/genres.txt", kCatalogue + "Ужасы,../horror\n"}}), "build ms t4", ExitErrors,
        "ms/genres.txt:3: error: Недопустимое имя: папка жанра",
        files({{"t4/vorta.cfg", "<none>"}}));
    row("fix leaves a symbolic link and what it points at",
        files(
            {{"outside.vtq", "a\nb\n"}, {"tree/Genres/skazka/70.vtq", "-> ../../../outside.vtq"}}),
        "fix tree", ExitClean,
        "Genres/skazka/70.vtq:0: note: оставлен как есть: символическая ссылка",
        files({{"outside.vtq", "a\nb\n"}}));
    row("fix leaves *.VTQ", files({{"tree/Genres/skazka/80.VTQ", "a\nb\n"}}), "fix tree", ExitClean,
        "Genres/skazka/80.VTQ:0: note: оставлен как есть",
        files({{"tree/Genres/skazka/80.VTQ", "a\nb\n"}}));
    // Nothing follows from it: no genre folder is missing after it.
    row("a manuscript line over the cap: one error",
        files({{"ms/skazka.txt", QByteArray(vorta::kDataFileCap + 1, 'a')}}), "check ms",
        ExitErrors,
        "ms/skazka.txt:0: error: Файл слишком велик: 16777217 байт, предел 16777216 байт\n"
        "1 ошибка, 0 предупреждений",
        {});
    row("a write that fails says why in Russian, and writes nothing",
        files({{"t3/Genres", "не папка"}}), "build ms t3", ExitUsage, "t3/Genres: файл уже есть",
        files({{"t3/vorta.cfg", "<none>"}}));
}

void AuthorFaultsTest::faultIsMendedAndTold()
{
    QFETCH(Files, before);
    QFETCH(QString, arguments);
    QFETCH(int, status);
    QFETCH(QString, told);
    QFETCH(Files, after);

    Workspace workspace;
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        workspace.put(it.key(), it.value());
    const AuthorRun run = workspace.run(arguments.split(QLatin1Char(' ')));
    const QString printed = run.out + run.err;
    QVERIFY2(printed.contains(told), qPrintable(printed));
    QCOMPARE(run.status, status);
    for (auto it = after.cbegin(); it != after.cend(); ++it)
        QCOMPARE(workspace.bytes(it.key()), it.value());
}

void AuthorFaultsTest::interruptedBuildLeavesTheTree_data()
{
    QTest::addColumn<int>("strike"); // the signal, or 0 for a write that fails
    QTest::addColumn<QString>("at"); // the file staged when it strikes: its number or its name

    for (const int strike : {0, SIGINT, SIGTERM}) {
        for (const char *at : {"1", "20", "genres.vtq"})
            QTest::addRow("%s at %s",
                          strike == 0        ? "full disk"
                          : strike == SIGINT ? "SIGINT"
                                             : "SIGTERM",
                          at)
                << strike << QString::fromLatin1(at);
    }
}

// A build that fails or is stopped before its renames leaves every file as it was and no
// temporary file; the next build goes through and removes what a killed one left.
void AuthorFaultsTest::interruptedBuildLeavesTheTree()
{
    QFETCH(int, strike);
    QFETCH(QString, at);

    Workspace workspace;
    const Files tree = entriesOf(workspace.path(QStringLiteral("tree")));
    // A third genre: a new folder, new finale records in every genre, a longer catalogue.
    workspace.writeManuscript(
        kGenres + QList<StoryTree::Genre>{{QStringLiteral("Ужасы"), QStringLiteral("horror")}});
    int staged = 0;
    vorta::setStagingHook([&](const QString &path) {
        if (++staged != at.toInt() && !path.endsWith(at))
            return;
        if (strike == 0)
            throw vorta::storyError(vorta::ErrorKind::FileNotWritten, path, 0,
                                    QStringLiteral("на диске нет места"));
        std::raise(strike);
    });
    const QStringList build{QStringLiteral("build"), QStringLiteral("ms"), QStringLiteral("tree")};
    if (strike == 0) {
        const AuthorRun run = workspace.run(build);
        QCOMPARE(run.status, int(ExitUsage));
        QVERIFY2(run.err.contains(QStringLiteral("на диске нет места")), qPrintable(run.err));
    } else {
        const pid_t child = fork();
        if (child == 0) {
            vorta::removeStagedFilesOnSignals();
            workspace.run(build);
            _exit(0);
        }
        int how = 0;
        QCOMPARE(waitpid(child, &how, 0), child);
        QVERIFY(WIFSIGNALED(how) && WTERMSIG(how) == strike);
    }
    vorta::setStagingHook({});
    QCOMPARE(entriesOf(workspace.path(QStringLiteral("tree"))), tree);

    // What a kill that no handler sees leaves behind goes with the next build.
    workspace.put(QStringLiteral("tree/Genres/skazka/.9.vtq.vorta-new-Ab12Cd"), "half");
    const AuthorRun rebuilt = workspace.run(build);
    QCOMPARE(rebuilt.status, int(ExitClean));
    QVERIFY2(
        rebuilt.out.startsWith(QStringLiteral("удалено временных файлов прерванной сборки: 1\n")),
        qPrintable(rebuilt.out));
    QVERIFY(QFileInfo::exists(workspace.path(QStringLiteral("tree/Genres/horror/65.vtq"))));
    QVERIFY(!QFileInfo::exists(
        workspace.path(QStringLiteral("tree/Genres/skazka/.9.vtq.vorta-new-Ab12Cd"))));
}

QTEST_GUILESS_MAIN(AuthorFaultsTest)
#include "tst_author_faults.moc"
