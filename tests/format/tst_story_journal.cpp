// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/moves.h"
#include "core/random_source.h"
#include "core/saved_story.h"
#include "core/tree_paths.h"
#include "format/journal_records.h"
#include "format/story_journal.h"
#include "tests/support/core_text.h"
#include "tests/support/hostile_files.h"
#include "tests/support/no_file_growth.h"
#include "tests/support/story_tree.h"

#include <QFileInfo>
#include <QTest>
#include <QtEndian>

#include <functional>

using namespace vorta;
using Genre = StoryTree::Genre;

namespace {

const QDateTime kNow(QDate(2025, 3, 14), QTime(15, 9, 26));
const QString kJournal = toQString(kSavedStoryFile);

const QList<Genre> kGenres = {{QStringLiteral("Альфа"), QStringLiteral("alpha")},
                              {QStringLiteral("Бета"), QStringLiteral("beta")},
                              {QStringLiteral("Гамма"), QStringLiteral("gamma")},
                              {QStringLiteral("Дельта"), QStringLiteral("delta")}};

// A tree of four genres in which every tick is a program's move that draws a genre.
struct Tree : StoryTree
{
    Tree() { writeStory(kGenres, {.waitingPeriod = 0, .switchProbability = 10}); }
};

// The program started in a tree, saving after every event as the window does. Each letter of the
// script is an event: r a reader's move, t a tick, n a new story.
struct Program
{
    explicit Program(const StoryTree &folder, const QString &script = {})
        : tree(folder), data(folder.data()), journal(std::in_place, folder.dir())
    {
        firstStart(state, random, data);
        notice = journal->resume(state, kNow);
        if (const std::optional<StoryError> failure = journal->save(state); failure && !notice)
            notice = failure;
        for (const QChar c : script) {
            if (const std::optional<StoryError> failure = event(c))
                qFatal("%s", failure->what());
        }
    }

    // Runs the event (any other letter: none) and saves the story, as the window does; returns
    // the failure to tell.
    std::optional<StoryError> event(QChar kind)
    {
        if (kind == u'r' && state.stepNumber < kFinaleStep)
            readerMove(state, state.window.offered[0].caption, random, data);
        else if (kind == u't')
            countdownTick(state, random, data);
        else if (kind == u'n')
            newStory(state, random, data);
        return journal->save(state);
    }

    // The window closes, or the program is killed: the next one may keep the story.
    void end() { journal.reset(); }

    const StoryTree &tree;
    const DataTree data;
    SeededRandom random{[] {
        return quint64(7);
    }};
    StoryState state;
    std::optional<StoryJournal> journal;
    std::optional<StoryError> notice;
};

// A state as the reader knows it: a hidden choice's caption is nowhere to be seen, and after a
// restart the countdown starts in full.
StoryState seen(StoryState state)
{
    for (OfferedPlace &place : state.window.offered)
        place.caption = place.visible ? place.caption : std::u16string();
    state.countdownMs = state.autoPeriodMs;
    state.window.countdownText = countdownCaption(state.countdownMs);
    return state;
}

using Damage = std::function<void(Program &)>;

// The saved story written again from a state that `change` makes.
Damage savedAs(const std::function<void(StoryState &)> &change)
{
    return [change](Program &told) {
        StoryState state = told.state;
        change(state);
        told.tree.writeBytes(kJournal, freshJournal(state));
    };
}

} // namespace

Q_DECLARE_METATYPE(Damage)

class TestStoryJournal : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void storyThatDoesNotFitOrReadIsSetAside_data();
    void storyThatDoesNotFitOrReadIsSetAside();
    void failedSaveIsReportedEachTimeAndTheJournalKeepsTheLastStory();
    void savedStoryResumesAfterAKillAnywhere_data();
    void savedStoryResumesAfterAKillAnywhere();
    void damagedRecordSetsTheJournalAside_data();
    void damagedRecordSetsTheJournalAside();
    void secondWindowKeepsNothing();
};

void TestStoryJournal::storyThatDoesNotFitOrReadIsSetAside_data()
{
    QTest::addColumn<Damage>("damage");
    QTest::addColumn<QString>("asideAs");
    const QString fit = QStringLiteral("story.journal.does-not-fit-20250314-150926");
    const QString read = QStringLiteral("story.journal.unreadable-20250314-150926");

    // Told from another catalogue: one genre more, two in another order, one in another folder.
    QTest::newRow("a genre more") << savedAs([](StoryState &s) {
        s.genreNames[++s.genreCount] = u"Е";
    }) << fit;
    QTest::newRow("two genres swapped")
        << savedAs([](StoryState &s) { std::swap(s.genreNames[1], s.genreNames[2]); }) << fit;
    QTest::newRow("a genre's other folder")
        << savedAs([](StoryState &s) { s.genreDirs[2] = u"beta2"; }) << fit;

    QTest::newRow("empty") << Damage([](Program &t) { t.tree.writeBytes(kJournal, {}); }) << read;
    QTest::newRow("a byte of the head changed") << Damage([](Program &t) {
        QByteArray bytes = t.tree.readBytes(kJournal);
        bytes[30] = char(bytes[30] ^ 0x20);
        t.tree.writeBytes(kJournal, bytes);
    }) << read;
    QTest::newRow("lines out of order") << Damage([](Program &t) {
        const QByteArray again = eventRecord(t.state, t.state.nextLine - 2);
        t.tree.writeBytes(kJournal, freshJournal(t.state) + again);
    }) << read;

    QTest::newRow("step 66") << savedAs([](StoryState &s) { s.stepNumber = 66; }) << read;
    QTest::newRow("genre 5 of 4") << savedAs([](StoryState &s) { s.currentGenre = 5; }) << read;
    QTest::newRow("uses below 0") << savedAs([](StoryState &s) { s.genreUses[2] = -1; }) << read;
    QTest::newRow("more uses than steps")
        << savedAs([](StoryState &s) { s.genreUses[1] = s.stepNumber + 1; }) << read;
    QTest::newRow("choices the story does not offer")
        << savedAs([](StoryState &s) { s.window.offered[0].caption = u"Чужой"; }) << read;

    QTest::newRow("over the cap") << Damage([](Program &t) {
        hostile::makeSparseFile(t.tree.path(kJournal), kSavedStoryCap + 1);
    }) << read;
    QTest::newRow("a named pipe") << Damage([](Program &t) {
        hostile::makeFifo(t.tree.path(kJournal));
    }) << read;
    // Never followed: a journal written through a link could land outside the folder.
    QTest::newRow("a link") << Damage([](Program &t) {
        hostile::makeDeviceLink(t.tree.path(kJournal));
    }) << read;
}

// Nothing is lost: the saved story is set aside, the reader is told, and the fresh story is kept
// in its place.
void TestStoryJournal::storyThatDoesNotFitOrReadIsSetAside()
{
    QFETCH(Damage, damage);
    QFETCH(QString, asideAs);
    const Tree tree;
    Program told(tree, QString(12, u'r'));
    damage(told);
    told.end();

    Program restart(tree);
    restart.end();
    // The name it is set aside under says why: it does not fit, or does not read.
    QVERIFY(restart.notice);
    QVERIFY2(messageOf(*restart.notice).contains(QStringLiteral("\nОтложен как ") + asideAs),
             restart.notice->what());
    StoryState fresh;
    SeededRandom random([] { return quint64(7); });
    firstStart(fresh, random, tree.data());
    QVERIFY(restart.state == fresh);

    const QFileInfo aside(tree.path(asideAs));
    QVERIFY(aside.exists() || aside.isSymLink());
    const Program again(tree);
    QVERIFY(!again.notice);
    QVERIFY(seen(again.state) == seen(fresh));
}

void TestStoryJournal::failedSaveIsReportedEachTimeAndTheJournalKeepsTheLastStory()
{
    const Tree tree;
    Program told(tree, QStringLiteral("rrrrr"));
    const StoryState lastSaved = told.state;
    {
        const NoFileGrowth fullDisk;
        const std::optional<StoryError> failure = told.event(u'r');
        QVERIFY(failure && failure->kind() == ErrorKind::FileNotWritten &&
                failure->file() == kSavedStoryFile);
        QVERIFY(told.journal->lastSaveFailed());
        // Every failure is returned: the window decides when the reader has seen it.
        QVERIFY(told.event(u'n'));
        // An event that changes nothing to keep leaves the failure standing.
        QVERIFY(!told.event(u'x'));
        QVERIFY(told.journal->lastSaveFailed());
    }
    QCOMPARE(toQStringList(readJournal(tree.readBytes(kJournal)).story.lines),
             toldLines(lastSaved));

    // Written again, the journal holds the whole story, and a new failure is told again.
    QVERIFY(!told.event(u'r'));
    QVERIFY(!told.journal->lastSaveFailed());
    QCOMPARE(toQStringList(readJournal(tree.readBytes(kJournal)).story.lines),
             toldLines(told.state));
    const NoFileGrowth fullDisk;
    QVERIFY(told.event(u'r'));
}

void TestStoryJournal::savedStoryResumesAfterAKillAnywhere_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QChar>("event");
    const QString r(64, u'r');
    QTest::newRow("the first move") << QString() << QChar(u'r');
    QTest::newRow("a reader's move") << r.left(5) << QChar(u'r');
    QTest::newRow("program's moves switching genres") << QString(20, u't') << QChar(u't');
    QTest::newRow("the IQ step") << r.left(36) << QChar(u'r');
    QTest::newRow("the finale, blinking") << r.left(63) << QChar(u'r');
    QTest::newRow("a new story after the finale") << r << QChar(u'n');
}

// A kill cuts the journal anywhere in the record being appended: a restart resumes the story
// before the event or after it, never anything else, and says nothing. A new story replaces the
// journal whole.
void TestStoryJournal::savedStoryResumesAfterAKillAnywhere()
{
    QFETCH(QString, before);
    QFETCH(QChar, event);
    const Tree tree;
    Program told(tree, before);
    const StoryState previous = told.state;
    const QByteArray previousBytes = tree.readBytes(kJournal);
    QVERIFY(!told.event(event));
    told.end();
    const QByteArray bytes = tree.readBytes(kJournal);
    QVERIFY(event == u'n' ||
            (bytes.size() > previousBytes.size() && bytes.startsWith(previousBytes)));

    for (qsizetype cut = event == u'n' ? bytes.size() : previousBytes.size(); cut <= bytes.size();
         ++cut) {
        tree.writeBytes(kJournal, bytes.left(cut));
        const Program restart(tree);
        const StoryState &expected = cut == bytes.size() ? told.state : previous;
        QVERIFY2(!restart.notice && seen(restart.state) == seen(expected),
                 qPrintable(QStringLiteral("cut at %1 of %2").arg(cut).arg(bytes.size())));
    }

    // Resumed from a torn journal, the story goes on and is kept whole.
    tree.writeBytes(kJournal, bytes.left((previousBytes.size() + bytes.size()) / 2));
    Program restart(tree);
    QVERIFY(!restart.event(u'r'));
    restart.end();
    QVERIFY(seen(Program(tree).state) == seen(restart.state));
}

void TestStoryJournal::damagedRecordSetsTheJournalAside_data()
{
    QTest::addColumn<int>("record"); // from 0, the head; -1 is the last
    QTest::addColumn<int>("byte");   // into the record; -1 is its middle
    QTest::addColumn<bool>("setAside");
    QTest::newRow("the head") << 0 << -1 << true;
    QTest::newRow("the first event") << 1 << -1 << true;
    QTest::newRow("a move") << 2 << -1 << true;
    QTest::newRow("the move before the last") << -2 << -1 << true;
    QTest::newRow("a move's checksum") << 3 << 4 << true;
    // Its length then runs past the end, as a torn record's does.
    QTest::newRow("a move's length") << 2 << 2 << true;
    QTest::newRow("the last move, as if torn") << -1 << -1 << false;
}

// One flipped bit: a damaged record with whole ones after it sets the journal aside whole and
// says so; only the last record may be dropped, silently.
void TestStoryJournal::damagedRecordSetsTheJournalAside()
{
    QFETCH(int, record);
    QFETCH(int, byte);
    QFETCH(bool, setAside);
    const Tree tree;
    Program told(tree, QStringLiteral("rrr"));
    const StoryState beforeLast = told.state;
    QVERIFY(!told.event(u'r'));
    told.end();
    QByteArray bytes = tree.readBytes(kJournal);
    QList<qsizetype> starts{0};
    while (starts.last() < bytes.size())
        starts << starts.last() + 20 +
                      qFromLittleEndian<quint32>(bytes.constData() + starts.last());
    const qsizetype at = record < 0 ? starts.size() - 1 + record : record;
    const qsizetype flipped =
        starts.at(at) + (byte >= 0 ? byte : (starts.at(at + 1) - starts.at(at)) / 2);
    bytes[flipped] = char(bytes.at(flipped) ^ 0x01);
    tree.writeBytes(kJournal, bytes);

    const Program restart(tree);
    if (!setAside) {
        QVERIFY(!restart.notice);
        QVERIFY(seen(restart.state) == seen(beforeLast));
        return;
    }
    QVERIFY(restart.notice);
    const QString aside = QStringLiteral("story.journal.unreadable-20250314-150926");
    QVERIFY2(messageOf(*restart.notice).contains(aside), restart.notice->what());
    QCOMPARE(restart.state.stepNumber, 0);
    QCOMPARE(tree.readBytes(aside), bytes);
}

// Two windows on one folder would write into each other's journal: the second keeps nothing.
void TestStoryJournal::secondWindowKeepsNothing()
{
    const Tree tree;
    const Program first(tree, QStringLiteral("rr"));
    const QByteArray bytes = tree.readBytes(kJournal);
    const Program second(tree, QStringLiteral("rrr"));
    QVERIFY(second.notice && second.notice->kind() == ErrorKind::FileNotWritten);
    QCOMPARE(tree.readBytes(kJournal), bytes);
}

QTEST_GUILESS_MAIN(TestStoryJournal)
#include "tst_story_journal.moc"
