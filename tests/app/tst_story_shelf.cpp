// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/story_shelf.h"
#include "format/atomic_write.h"
#include "format/qt_text.h"

#include <QtTest>

#include <atomic>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using vorta::StoryFile;
using vorta::app::ShelfStamp;
using vorta::app::StoryShelf;

namespace {

const QString kId = QStringLiteral("tale");

// A story whose every file says which version it is, so a test sees which copy stands.
StoryFile story(const QString &version)
{
    StoryFile file;
    file.metadata = {kId, version, QStringLiteral("Сказка"), QStringLiteral("Автор"), {}};
    const QByteArray mark = version.toLatin1();
    file.files = {{QStringLiteral("vorta.cfg"), "cfg " + mark},
                  {QStringLiteral("Genres/genres.vtq"), "genres " + mark},
                  {QStringLiteral("Genres/a/1.vtq"), "step " + mark}};
    return file;
}

ShelfStamp stampOf(const QString &version, qint64 size = 100)
{
    return {kId, version, size, 1000};
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
}

void write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Places a story, counting the times its file is read whole.
struct Shelf
{
    QTemporaryDir home;
    StoryShelf shelf{home.filePath(QStringLiteral("stories"))};
    int reads = 0;

    QString folder() const { return home.filePath(QStringLiteral("stories/") + kId); }
    QString file(const QString &name) const { return folder() + QLatin1Char('/') + name; }
    vorta::app::ShelvedStory place(const QString &version, qint64 size = 100)
    {
        return shelf.place(
            stampOf(version, size),
            [this, version] {
                ++reads;
                return story(version);
            },
            QStringLiteral("tale.vorta"));
    }
    QStringList leftovers() const
    {
        return QDir(home.filePath(QStringLiteral("stories")))
            .entryList({QStringLiteral(".tale.*-*")}, QDir::AllEntries | QDir::Hidden);
    }
};

} // namespace

class StoryShelfTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void versions_data();
    void versions();
    void faults_data();
    void faults();
    void concurrentOpens();
};

void StoryShelfTest::versions_data()
{
    QTest::addColumn<QString>("onShelf"); // empty: nothing yet
    QTest::addColumn<QString>("opened");
    QTest::addColumn<qint64>("size");
    QTest::addColumn<bool>("earlier");        // settings from before the shelf, beside it
    QTest::addColumn<QByteArray>("tree");     // the version whose tree stands after
    QTest::addColumn<QByteArray>("settings"); // vorta.cfg after
    QTest::addColumn<int>("reads");
    QTest::addColumn<bool>("notice");
    QTest::newRow("first start") << ""
                                 << "1.0" << 100LL << false << QByteArray("1.0")
                                 << QByteArray("cfg 1.0") << 1 << false;
    QTest::newRow("same file: no unpacking")
        << "1.0"
        << "1.0" << 100LL << false << QByteArray("1.0") << QByteArray("mine") << 0 << false;
    QTest::newRow("newer keeps the settings")
        << "1.9"
        << "1.10" << 100LL << false << QByteArray("1.10") << QByteArray("mine") << 1 << false;
    QTest::newRow("same version rebuilt")
        << "1.0"
        << "1.0" << 200LL << false << QByteArray("1.0") << QByteArray("mine") << 1 << false;
    QTest::newRow("older does not replace")
        << "2.0"
        << "1.9" << 200LL << false << QByteArray("2.0") << QByteArray("mine") << 0 << true;
    QTest::newRow("settings from before the shelf")
        << ""
        << "1.0" << 100LL << true << QByteArray("1.0") << QByteArray("earlier") << 1 << false;
}

void StoryShelfTest::versions()
{
    QFETCH(QString, onShelf);
    QFETCH(QString, opened);
    QFETCH(qint64, size);
    QFETCH(bool, earlier);
    QFETCH(QByteArray, tree);
    QFETCH(QByteArray, settings);
    QFETCH(int, reads);
    QFETCH(bool, notice);
    Shelf shelf;
    if (!onShelf.isEmpty()) {
        shelf.place(onShelf);
        write(shelf.file(QStringLiteral("vorta.cfg")), "mine");
        write(shelf.file(QStringLiteral("story.journal")), "journal");
        shelf.reads = 0;
    }
    if (earlier) {
        shelf.shelf.setEarlierFolder(kId, shelf.home.path());
        write(shelf.home.filePath(QStringLiteral("vorta.cfg")), "earlier");
        write(shelf.home.filePath(QStringLiteral("story.journal")), "journal");
    }
    const auto placed = shelf.place(opened, size);
    QCOMPARE(placed.folder, shelf.folder());
    QCOMPARE(shelf.reads, reads);
    QCOMPARE(!placed.notice.isEmpty(), notice);
    QCOMPARE(contents(shelf.file(QStringLiteral("Genres/a/1.vtq"))), "step " + tree);
    QCOMPARE(contents(shelf.file(QStringLiteral("vorta.cfg"))), settings);
    if (!onShelf.isEmpty() || earlier)
        QCOMPARE(contents(shelf.file(QStringLiteral("story.journal"))), QByteArray("journal"));
    QVERIFY(shelf.leftovers().isEmpty());
    // Opened again, the copy is fresh.
    shelf.reads = 0;
    shelf.place(opened, size);
    QCOMPARE(shelf.reads, 0);
}

void StoryShelfTest::faults_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("fails");
    QTest::newRow("stamp is a link") << "stamp link" << false;
    QTest::newRow("folder is a link") << "folder link" << false;
    QTest::newRow("temporary folder left by a killed start") << "leftover" << false;
    QTest::newRow("copy set aside by a killed start") << "set aside" << false;
    QTest::newRow("disk full at a tree file") << "full disk" << true;
    QTest::newRow("interrupted at the settings") << "interrupt" << true;
    QTest::newRow("story file unreadable") << "unreadable" << true;
    QTest::newRow("story open in a window") << "window" << true;
}

// Each fault either leaves the reader's copy as it was, with a message naming the story file,
// or is set right; nothing outside the shelf is touched, and no temporary stays.
void StoryShelfTest::faults()
{
    QFETCH(QString, fault);
    QFETCH(bool, fails);
    Shelf shelf;
    shelf.place(QStringLiteral("1.0"));
    write(shelf.file(QStringLiteral("vorta.cfg")), "mine");
    const QString outside = shelf.home.filePath(QStringLiteral("outside"));
    write(outside + QStringLiteral("/.unpacked"), stampOf(QStringLiteral("2.0")).text());
    const QString stories = shelf.home.filePath(QStringLiteral("stories/"));
    int lockFd = -1;
    if (fault == QLatin1String("stamp link")) {
        QFile::remove(shelf.file(QStringLiteral(".unpacked")));
        QVERIFY(QFile::link(outside + QStringLiteral("/.unpacked"),
                            shelf.file(QStringLiteral(".unpacked"))));
    } else if (fault == QLatin1String("folder link")) {
        QVERIFY(QDir(shelf.folder()).removeRecursively());
        QVERIFY(QFile::link(outside, shelf.folder()));
    } else if (fault == QLatin1String("leftover")) {
        write(stories + QStringLiteral(".tale.new-Ab12Cd/Genres/genres.vtq"), "half");
    } else if (fault == QLatin1String("set aside")) {
        QVERIFY(QDir().rename(shelf.folder(), stories + QStringLiteral(".tale.old-Ab12Cd")));
    } else if (fault == QLatin1String("full disk") || fault == QLatin1String("interrupt")) {
        const QString at = fault == QLatin1String("full disk") ? QStringLiteral("1.vtq")
                                                               : QStringLiteral("vorta.cfg");
        vorta::setStagingHook([at](const QString &path) {
            if (path.endsWith(at))
                throw vorta::StoryError(vorta::ErrorKind::FileNotWritten, path, 0,
                                        QStringLiteral("нет места"));
        });
    } else if (fault == QLatin1String("window")) {
        lockFd = ::open(QFile::encodeName(shelf.folder()).constData(), O_RDONLY | O_DIRECTORY);
        QVERIFY(::flock(lockFd, LOCK_EX | LOCK_NB) == 0);
    }
    const QString version = QStringLiteral("2.0");
    QString message;
    try {
        if (fault == QLatin1String("unreadable"))
            shelf.shelf.place(
                stampOf(version),
                []() -> StoryFile {
                    throw vorta::StoryError(vorta::ErrorKind::ReadError,
                                            QStringLiteral("tale.vorta"));
                },
                QStringLiteral("tale.vorta"));
        else
            shelf.place(version);
    } catch (const vorta::StoryError &error) {
        message = error.message();
    }
    vorta::setStagingHook({});
    if (lockFd >= 0)
        ::close(lockFd);
    QCOMPARE(!message.isEmpty(), fails);
    const QByteArray tree = fails ? "1.0" : "2.0";
    QCOMPARE(contents(shelf.file(QStringLiteral("Genres/a/1.vtq"))), "step " + tree);
    if (fault != QLatin1String("folder link"))
        QCOMPARE(contents(shelf.file(QStringLiteral("vorta.cfg"))), QByteArray("mine"));
    if (fails)
        QVERIFY2(message.contains(QStringLiteral("tale.vorta")), qPrintable(message));
    QVERIFY(!QFileInfo(shelf.file(QStringLiteral(".unpacked"))).isSymLink());
    QVERIFY(!QFileInfo(shelf.folder()).isSymLink());
    QCOMPARE(QDir(outside).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral(".unpacked")});
    QCOMPARE(contents(outside + QStringLiteral("/.unpacked")), stampOf(version).text());
    QVERIFY2(shelf.leftovers().isEmpty(), qPrintable(shelf.leftovers().join(u' ')));
}

// Two starts on one story at once: one unpacks, and both find the whole copy.
void StoryShelfTest::concurrentOpens()
{
    Shelf shelf;
    std::atomic<int> reads = 0;
    QString folders[2];
    const auto open = [&](int i) {
        folders[i] = shelf.shelf
                         .place(
                             stampOf(QStringLiteral("1.0")),
                             [&] {
                                 ++reads;
                                 return story(QStringLiteral("1.0"));
                             },
                             QStringLiteral("tale.vorta"))
                         .folder;
    };
    std::thread first(open, 0);
    std::thread second(open, 1);
    first.join();
    second.join();
    QCOMPARE(reads.load(), 1);
    QCOMPARE(folders[0], folders[1]);
    QCOMPARE(contents(shelf.file(QStringLiteral("Genres/genres.vtq"))), QByteArray("genres 1.0"));
    QVERIFY(shelf.leftovers().isEmpty());
}

QTEST_GUILESS_MAIN(StoryShelfTest)
#include "tst_story_shelf.moc"
