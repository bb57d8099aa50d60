// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/author/manuscript_folder.h"
#include "tests/support/story_tree.h"

#include "author/cli/build_watch.h"

#include <QSignalSpy>
#include <QTest>

#include <cstdio>

using namespace vorta::author;

namespace {

const QString kGenre = QStringLiteral("skazka");
constexpr int kWaitMs = 60000; // a bound for a stuck watch, not a pause

QString withStep9(const QString &line)
{
    return ManuscriptFolder::genreText(kGenre, 1).replace(QStringLiteral("skazka 9\n"),
                                                          line + QLatin1Char('\n'));
}

// Saves as editors do: written over in place, or written beside and renamed over the old file.
void save(const ManuscriptFolder &manuscript, const QString &text, bool byRename)
{
    const QString target = manuscript.path(kGenre + QStringLiteral(".txt"));
    if (!byRename) {
        manuscript.writeText(kGenre + QStringLiteral(".txt"), text);
        return;
    }
    manuscript.writeText(QStringLiteral(".skazka.txt.swp"), text);
    QVERIFY(std::rename(QFile::encodeName(manuscript.path(QStringLiteral(".skazka.txt.swp"))),
                        QFile::encodeName(target)) == 0);
}

} // namespace

class WatchTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rebuildsAfterEverySave_data();
    void rebuildsAfterEverySave();
    void followsTheFolderWhenItComesBack_data();
    void followsTheFolderWhenItComesBack();
};

void WatchTest::rebuildsAfterEverySave_data()
{
    QTest::addColumn<bool>("byRename");
    QTest::newRow("saved in place") << false;
    QTest::newRow("saved by rename") << true;
}

void WatchTest::rebuildsAfterEverySave()
{
    QFETCH(bool, byRename);

    ManuscriptFolder manuscript;
    manuscript.writeStory({{QStringLiteral("Сказка"), kGenre}});
    StoryTree tree;
    QString outText;
    QString errText;
    QTextStream out(&outText);
    QTextStream err(&errText);
    BuildWatcher watcher({manuscript.dir(), QStringLiteral("story"), tree.dir(), tree.path()}, out,
                         err, 0);
    QSignalSpy built(&watcher, &BuildWatcher::built);
    QCOMPARE(watcher.buildNow(), 0);
    const QString step9 = StoryTree::fragmentFile(kGenre, 9);
    QCOMPARE(tree.readBytes(step9), StoryTree::lineBytes(strings({"1", "1", "skazka 9"})));

    // Each save reaches the tree; the second proves the watch outlived the first.
    for (const char *line : {"Первая правка.", "Вторая правка."}) {
        save(manuscript, withStep9(QString::fromUtf8(line)), byRename);
        QTRY_COMPARE_WITH_TIMEOUT(tree.readBytes(step9),
                                  StoryTree::lineBytes(strings({"1", "1", line})), kWaitMs);
        QCOMPARE(built.last().at(0).toInt(), 0);
    }

    // A save with an error prints it and leaves the tree; the next good save builds again.
    const qsizetype before = built.size();
    save(manuscript, withStep9(QStringLiteral("## 99")), byRename);
    QTRY_VERIFY_WITH_TIMEOUT(built.size() > before && built.last().at(0).toInt() == 1, kWaitMs);
    QVERIFY2(outText.contains(QStringLiteral("story/skazka.txt:18: error: шага 99 нет")),
             qPrintable(outText));
    QCOMPARE(tree.readBytes(step9), StoryTree::lineBytes(strings({"1", "1", "Вторая правка."})));
    save(manuscript, withStep9(QStringLiteral("Третья правка.")), byRename);
    QTRY_COMPARE_WITH_TIMEOUT(tree.readBytes(step9),
                              StoryTree::lineBytes(strings({"1", "1", "Третья правка."})), kWaitMs);
    // After the first build only what changed is printed, and one line of summary.
    const QStringList last =
        outText.split(QLatin1Char('\n')).mid(outText.count(QLatin1Char('\n')) - 2);
    QCOMPARE(last.first(), QStringLiteral("исправлено: story/skazka.txt:18: error: шага 99 нет: "
                                          "шаги идут от 1 до 64, концовка — «## 65: L, M»"));
    QCOMPARE(last.at(1), QStringLiteral("записано: 1 файл из 66; 0 ошибок, 0 предупреждений"));
}

void WatchTest::followsTheFolderWhenItComesBack_data()
{
    QTest::addColumn<bool>("renamedAway"); // else deleted
    QTest::addColumn<bool>("movedBack");   // else made anew
    QTest::newRow("deleted and made again") << false << false;
    QTest::newRow("renamed away and moved back") << true << true;
    QTest::newRow("renamed away and made anew") << true << false;
}

void WatchTest::followsTheFolderWhenItComesBack()
{
    QFETCH(bool, renamedAway);
    QFETCH(bool, movedBack);

    ManuscriptFolder manuscript;
    manuscript.writeStory({{QStringLiteral("Сказка"), kGenre}});
    const QString folder = manuscript.path();
    const QString away = folder + QStringLiteral("-away");
    StoryTree tree;
    QString outText;
    QString errText;
    QTextStream out(&outText);
    QTextStream err(&errText);
    BuildWatcher watcher({manuscript.dir(), QStringLiteral("story"), tree.dir(), tree.path()}, out,
                         err, 0);
    QCOMPARE(watcher.buildNow(), 0);

    QVERIFY(renamedAway ? QDir().rename(folder, away) : QDir(folder).removeRecursively());
    QTRY_VERIFY_WITH_TIMEOUT(outText.contains(QStringLiteral("Папки рукописи story нет: жду")),
                             kWaitMs);
    if (movedBack) {
        QVERIFY(QDir().rename(away, folder));
    } else {
        QVERIFY(QDir().mkdir(folder));
        manuscript.writeStory({{QStringLiteral("Сказка"), kGenre}});
    }
    // Each save after the return reaches the tree: the folder's files are watched anew.
    const QString step9 = StoryTree::fragmentFile(kGenre, 9);
    for (const char *line : {"После возвращения.", "И ещё раз."}) {
        save(manuscript, withStep9(QString::fromUtf8(line)), false);
        QTRY_COMPARE_WITH_TIMEOUT(tree.readBytes(step9),
                                  StoryTree::lineBytes(strings({"1", "1", line})), kWaitMs);
    }
    QVERIFY2(outText.contains(QStringLiteral("Папка рукописи story снова на месте.")),
             qPrintable(outText));
    QDir(away).removeRecursively();
}

QTEST_GUILESS_MAIN(WatchTest)
#include "tst_watch.moc"
