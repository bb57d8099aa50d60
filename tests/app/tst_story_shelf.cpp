// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/story_shelf.h"
#include "core/windows1251.h"
#include "format/atomic_write.h"
#include "format/journal_records.h"
#include "format/qt_text.h"
#include "format/story_file_writer.h"
#include "format/story_journal.h"
#include "tests/support/no_file_growth.h"

#include <QtTest>

#include <atomic>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using vorta::StoryFile;
using vorta::app::ShelvedStory;
using vorta::app::StoryShelf;

namespace {

const QString kId = QStringLiteral("tale");
const QString kFileName = QStringLiteral("tale.vorta");
const QString kAuthor = QStringLiteral("Автор");

// A story whose every file says which version it is (or the mark given), so a test sees which
// copy stands. A second genre makes a catalogue that no story in progress of the first fits.
StoryFile story(const QString &version, const QString &mark = {}, const QString &author = kAuthor,
                bool secondGenre = false)
{
    StoryFile file;
    file.metadata = {kId, version, QStringLiteral("Сказка"), author, {}};
    const std::string said = (mark.isEmpty() ? version : mark).toStdString();
    const std::u16string_view genres = secondGenre ? u"Жанр,a\r\nДругой,b\r\n" : u"Жанр,a\r\n";
    file.contents.files = {{u"vorta.cfg", "cfg " + said},
                           {u"Genres/genres.vtq", vorta::encodeWindows1251(genres)},
                           {u"Genres/a/1.vtq", "step " + said}};
    return file;
}

// A story in progress told from the one-genre catalogue: only its head is ever looked at.
const QByteArray kJournal = vorta::journalHead({u"Жанр"}, {u"a"}) + "events";

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

// Places story files written into a home folder, counting the times one is read whole.
struct Shelf
{
    QTemporaryDir home;
    StoryShelf shelf{home.filePath(QStringLiteral("stories"))};
    std::atomic<int> reads = 0;

    QString folder() const { return home.filePath(QStringLiteral("stories/") + kId); }
    QString file(const QString &name) const { return folder() + QLatin1Char('/') + name; }
    QByteArray step() const { return contents(file(QStringLiteral("Genres/a/1.vtq"))); }

    // The story file at `name` in the home folder, as it stands.
    ShelvedStory open(const QString &name = kFileName)
    {
        const QString path = home.filePath(name);
        return shelf.place(
            path, vorta::readStoryFileDirectory(path, name),
            [this, path, name] {
                ++reads;
                return vorta::readStoryFile(path, name);
            },
            name);
    }
    ShelvedStory place(const StoryFile &told, const QString &name = kFileName)
    {
        vorta::writeStoryFile(home.filePath(name), name, told.metadata, told.contents.files);
        return open(name);
    }
    ShelvedStory place(const QString &version) { return place(story(version)); }
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
    void mostEntriesUnpack();
    void readersCopyIsKept_data();
    void readersCopyIsKept();
};

void StoryShelfTest::versions_data()
{
    QTest::addColumn<QString>("onShelf"); // empty: nothing yet
    QTest::addColumn<QString>("opened");
    QTest::addColumn<QString>("mark");    // what the opened file's files say, if not its version
    QTest::addColumn<bool>("earlier");    // settings from before the shelf, beside it
    QTest::addColumn<QByteArray>("tree"); // what the tree that stands after says
    QTest::addColumn<QByteArray>("settings"); // vorta.cfg after
    QTest::addColumn<int>("reads");
    QTest::addColumn<bool>("notice");
    QTest::newRow("first start") << ""
                                 << "1.0" << QString() << false << QByteArray("1.0")
                                 << QByteArray("cfg 1.0") << 1 << false;
    QTest::newRow("same file: no unpacking")
        << "1.0"
        << "1.0" << QString() << false << QByteArray("1.0") << QByteArray("mine") << 0 << false;
    QTest::newRow("newer keeps the settings")
        << "1.9"
        << "1.10" << QString() << false << QByteArray("1.10") << QByteArray("mine") << 1 << false;
    QTest::newRow("same version rebuilt")
        << "1.0"
        << "1.0" << QStringLiteral("rebuilt") << false << QByteArray("rebuilt")
        << QByteArray("mine") << 1 << false;
    QTest::newRow("older does not replace")
        << "2.0"
        << "1.9" << QString() << false << QByteArray("2.0") << QByteArray("mine") << 0 << true;
    QTest::newRow("settings from before the shelf")
        << ""
        << "1.0" << QString() << true << QByteArray("1.0") << QByteArray("earlier") << 1 << false;
}

void StoryShelfTest::versions()
{
    QFETCH(QString, onShelf);
    QFETCH(QString, opened);
    QFETCH(QString, mark);
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
    const ShelvedStory placed = shelf.place(story(opened, mark));
    QCOMPARE(placed.folder, shelf.folder());
    QCOMPARE(shelf.reads, reads);
    QCOMPARE(!placed.notice.isEmpty(), notice);
    QVERIFY(placed.hold && placed.hold->held());
    QCOMPARE(shelf.step(), "step " + tree);
    QCOMPARE(contents(shelf.file(QStringLiteral("vorta.cfg"))), settings);
    if (!onShelf.isEmpty() || earlier)
        QCOMPARE(contents(shelf.file(QStringLiteral("story.journal"))), QByteArray("journal"));
    QVERIFY(shelf.leftovers().isEmpty());
    // Opened again, the copy is fresh.
    shelf.reads = 0;
    shelf.open();
    QCOMPARE(shelf.reads, 0);
}

void StoryShelfTest::faults_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("fails");
    QTest::newRow("stamp is a link") << "stamp link" << false;
    // Never replaced: what it leads to lies outside the shelf.
    QTest::newRow("folder is a link") << "folder link" << true;
    QTest::newRow("temporary folder left by a killed start") << "leftover" << false;
    QTest::newRow("copy set aside by a killed start") << "set aside" << false;
    QTest::newRow("disk full at a tree file") << "full disk" << true;
    QTest::newRow("interrupted at the last file") << "interrupt" << true;
    QTest::newRow("story file unreadable") << "unreadable" << true;
    QTest::newRow("story open in a window") << "window" << true;
    // Said as what it is, not as another program at work.
    QTest::newRow("shelf that cannot be written") << "unwritable" << true;
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
    write(outside + QStringLiteral("/.unpacked"), "outside");
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
                                                               : QStringLiteral(".unpacked");
        vorta::setStagingHook([at](const QString &path) {
            if (path.endsWith(at))
                throw vorta::storyError(vorta::ErrorKind::FileNotWritten, kFileName, 0,
                                        QStringLiteral("нет места"));
        });
    } else if (fault == QLatin1String("window")) {
        lockFd = ::open(QFile::encodeName(shelf.folder()).constData(), O_RDONLY | O_DIRECTORY);
        QVERIFY(::flock(lockFd, LOCK_SH | LOCK_NB) == 0);
    }
    const QString version = QStringLiteral("2.0");
    QString message;
    try {
        if (fault == QLatin1String("unreadable")) {
            const StoryFile newer = story(version);
            const QString path = shelf.home.filePath(kFileName);
            vorta::writeStoryFile(path, kFileName, newer.metadata, newer.contents.files);
            shelf.shelf.place(
                path, vorta::readStoryFileDirectory(path, kFileName),
                []() -> StoryFile {
                    throw vorta::storyError(vorta::ErrorKind::ReadError, kFileName);
                },
                kFileName);
        } else if (fault == QLatin1String("unwritable")) {
            const StoryFile newer = story(version);
            vorta::writeStoryFile(shelf.home.filePath(kFileName), kFileName, newer.metadata,
                                  newer.contents.files);
            const NoFileGrowth fullDisk;
            shelf.open();
        } else {
            shelf.place(version);
        }
    } catch (const vorta::StoryError &error) {
        message = vorta::messageOf(error);
    }
    vorta::setStagingHook({});
    if (lockFd >= 0)
        ::close(lockFd);
    QCOMPARE(!message.isEmpty(), fails);
    if (fault != QLatin1String("folder link")) {
        QCOMPARE(shelf.step(), fails ? QByteArray("step 1.0") : QByteArray("step 2.0"));
        QCOMPARE(contents(shelf.file(QStringLiteral("vorta.cfg"))), QByteArray("mine"));
        QVERIFY(!QFileInfo(shelf.folder()).isSymLink());
    }
    if (fails)
        QVERIFY2(message.contains(kFileName), qPrintable(message));
    QVERIFY(!message.contains(QStringLiteral(".new-")));
    QVERIFY(!message.contains(QStringLiteral("другая программа")));
    QVERIFY(!QFileInfo(shelf.file(QStringLiteral(".unpacked"))).isSymLink());
    QCOMPARE(QDir(outside).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral(".unpacked")});
    QCOMPARE(contents(outside + QStringLiteral("/.unpacked")), QByteArray("outside"));
    QVERIFY2(shelf.leftovers().isEmpty(), qPrintable(shelf.leftovers().join(u' ')));
}

// Two starts on one story at once: one unpacks, and both find the whole copy.
void StoryShelfTest::concurrentOpens()
{
    Shelf shelf;
    const StoryFile told = story(QStringLiteral("1.0"));
    vorta::writeStoryFile(shelf.home.filePath(kFileName), kFileName, told.metadata,
                          told.contents.files);
    QString folders[2];
    const auto open = [&](int i) {
        folders[i] = shelf.open().folder;
    };
    std::thread first(open, 0);
    std::thread second(open, 1);
    first.join();
    second.join();
    QCOMPARE(shelf.reads.load(), 1);
    QCOMPARE(folders[0], folders[1]);
    QCOMPARE(shelf.step(), QByteArray("step 1.0"));
    QVERIFY(shelf.leftovers().isEmpty());
}

// As many entries as a story file may hold (with its type and story.json) unpack whole.
void StoryShelfTest::mostEntriesUnpack()
{
    Shelf shelf;
    StoryFile told = story(QStringLiteral("1.0"));
    const int last = int(vorta::kMostEntries) - 4; // beside mimetype, story.json and two files
    for (int entry = 2; entry <= last; ++entry)
        told.contents.files.push_back(
            {u"Genres/a/" + vorta::toU16(QString::number(entry)) + u".vtq", "x"});
    QCOMPARE(shelf.place(told).folder, shelf.folder());
    QCOMPARE(contents(shelf.file(QStringLiteral("Genres/a/%1.vtq").arg(last))), QByteArray("x"));
    QVERIFY(shelf.leftovers().isEmpty());
}

void StoryShelfTest::readersCopyIsKept_data()
{
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<bool>("fails");
    QTest::addColumn<QByteArray>("tree"); // the version whose copy stands after
    QTest::addColumn<int>("reads");       // of the file opened
    QTest::addColumn<bool>("notice");
    const QByteArray old("1.0");
    const QByteArray newer("2.0");
    QTest::newRow("another author's file with the identifier")
        << "author" << true << old << 0 << false;
    QTest::newRow("a stranger claiming the installed story")
        << "claim" << true << old << 0 << false;
    QTest::newRow("the installed file's newer version")
        << "installed" << false << newer << 1 << false;
    QTest::newRow("a newer version that does not fit: finish the old")
        << "keep" << false << old << 1 << false;
    QTest::newRow("a newer version that does not fit: open the new")
        << "replace" << false << newer << 1 << false;
    QTest::newRow("a newer version that does not fit, nobody to ask")
        << "unasked" << false << old << 1 << true;
    QTest::newRow("a fragment deleted") << "deleted" << false << old << 1 << false;
    QTest::newRow("a fragment cut short") << "truncated" << false << old << 1 << false;
    QTest::newRow("a folder linked back: opened") << "linked" << false << old << 0 << false;
    QTest::newRow("a folder linked back: not replaced")
        << "linked newer" << true << old << 0 << false;
    QTest::newRow("a set-aside journal over the cap") << "large" << false << newer << 1 << false;
    QTest::newRow("two windows and a newer version") << "windows" << true << old << 1 << false;
    QTest::newRow("a stamp edited by hand") << "stamp" << false << newer << 1 << false;
    QTest::newRow("a byte-identical copy, in a window") << "copy" << false << old << 0 << false;
    QTest::newRow("a relative XDG_DATA_HOME") << "xdg" << false << old << 0 << false;
}

// A story's copy is the reader's: a stranger's file never takes its place, a new version that
// would lose the story in progress asks first, a damaged copy is made whole again, and every
// start finds it by its content while it is read. The reader's settings and story in progress
// stay as they were, and set-aside stories come along unread.
void StoryShelfTest::readersCopyIsKept()
{
    QFETCH(QString, scenario);
    QFETCH(bool, fails);
    QFETCH(QByteArray, tree);
    QFETCH(int, reads);
    QFETCH(bool, notice);
    Shelf shelf;
    shelf.place(QStringLiteral("1.0"));
    write(shelf.file(QStringLiteral("vorta.cfg")), "mine");
    write(shelf.file(QStringLiteral("story.journal")), kJournal);
    shelf.reads = 0;
    QStringList asked;
    shelf.shelf.setQuestion([&asked, scenario](const QString &question) {
        asked << question;
        return scenario == QLatin1String("replace");
    });
    const QString elsewhere = shelf.home.filePath(QStringLiteral("moved"));
    const QString setAside = shelf.file(QStringLiteral("story.journal.unreadable-20250314"));
    std::optional<ShelvedStory> windows[2];
    StoryFile opened = story(QStringLiteral("2.0"));
    QString name = kFileName;
    if (scenario == QLatin1String("author")) {
        opened = story(QStringLiteral("2.0"), {}, QStringLiteral("Чужой"));
    } else if (scenario == QLatin1String("claim") || scenario == QLatin1String("installed")) {
        shelf.shelf.setInstalledStory(kId, shelf.home.filePath(kFileName));
        if (scenario == QLatin1String("claim"))
            name = QStringLiteral("stranger.vorta");
    } else if (scenario == QLatin1String("keep") || scenario == QLatin1String("replace") ||
               scenario == QLatin1String("unasked")) {
        opened = story(QStringLiteral("2.0"), {}, kAuthor, true);
        if (scenario == QLatin1String("unasked"))
            shelf.shelf.setQuestion({});
    } else if (scenario == QLatin1String("deleted") || scenario == QLatin1String("truncated")) {
        opened = story(QStringLiteral("1.0"));
        if (scenario == QLatin1String("deleted"))
            QVERIFY(QFile::remove(shelf.file(QStringLiteral("Genres/a/1.vtq"))));
        else
            QVERIFY(QFile::resize(shelf.file(QStringLiteral("Genres/a/1.vtq")), 2));
    } else if (scenario.startsWith(QLatin1String("linked"))) {
        QVERIFY(QDir().rename(shelf.folder(), elsewhere));
        QVERIFY(QFile::link(elsewhere, shelf.folder()));
        if (scenario == QLatin1String("linked"))
            opened = story(QStringLiteral("1.0"));
    } else if (scenario == QLatin1String("large")) {
        write(setAside, {});
        QVERIFY(QFile::resize(setAside, vorta::kSavedStoryCap + 1));
    } else if (scenario == QLatin1String("windows")) {
        windows[0] = shelf.open();
        windows[1] = shelf.open();
    } else if (scenario == QLatin1String("stamp")) {
        QByteArray stamp = contents(shelf.file(QStringLiteral(".unpacked")));
        stamp.replace("version=1.0", "version=abc");
        write(shelf.file(QStringLiteral(".unpacked")), stamp);
    } else if (scenario == QLatin1String("copy")) {
        windows[0] = shelf.open();
        name = QStringLiteral("Загрузки (1).vorta");
        QVERIFY(QFile::copy(shelf.home.filePath(kFileName), shelf.home.filePath(name)));
        QFile file(shelf.home.filePath(name));
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addDays(3),
                                 QFileDevice::FileModificationTime));
    }

    QString message;
    std::optional<ShelvedStory> placed;
    try {
        if (scenario == QLatin1String("xdg")) {
            const QByteArray was = qgetenv("XDG_DATA_HOME");
            qputenv("XDG_DATA_HOME", "relative/share");
            QCOMPARE(StoryShelf::defaultPath(),
                     QDir::homePath() + QStringLiteral("/.local/share/vorta/stories"));
            qputenv("XDG_DATA_HOME", was);
        } else if (scenario == QLatin1String("copy")) {
            placed = shelf.open(name);
        } else {
            placed = shelf.place(opened, name);
        }
    } catch (const vorta::StoryError &error) {
        message = vorta::messageOf(error);
    }
    QCOMPARE(!message.isEmpty(), fails);
    QVERIFY2(message.isEmpty() || message.contains(name), qPrintable(message));
    QCOMPARE(shelf.reads, reads);
    QCOMPARE(placed && !placed->notice.isEmpty(), notice);
    QCOMPARE(asked.size(),
             scenario == QLatin1String("keep") || scenario == QLatin1String("replace") ? 1 : 0);
    QCOMPARE(shelf.step(), "step " + tree);
    QCOMPARE(contents(shelf.file(QStringLiteral("story.journal"))), kJournal);
    QCOMPARE(contents(shelf.file(QStringLiteral("vorta.cfg"))), QByteArray("mine"));
    if (scenario.startsWith(QLatin1String("linked")))
        QVERIFY(QFileInfo(shelf.folder()).isSymLink());
    if (scenario == QLatin1String("large"))
        QCOMPARE(QFileInfo(setAside).size(), vorta::kSavedStoryCap + 1);
    QVERIFY(shelf.leftovers().isEmpty());
}

QTEST_GUILESS_MAIN(StoryShelfTest)
#include "tst_story_shelf.moc"
