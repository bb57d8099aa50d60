// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/story_launch.h"
#include "tests/support/scripted_random.h"
#include "ui/main_window.h"

#include <QProcess>
#include <QtTest>

class StoryLaunchTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void packedStoryOpensAndTells();
    void storyFileThatCannotOpen_data();
    void storyFileThatCannotOpen();
};

// The sample story file, unpacked onto a shelf, opens in the window and tells its first step;
// a second start finds it unpacked.
void StoryLaunchTest::packedStoryOpensAndTells()
{
    QTemporaryDir home;
    const vorta::app::StoryShelf shelf(home.filePath(QStringLiteral("stories")));
    const auto story =
        vorta::app::storyToRead(shelf, QStringLiteral(VORTA_SAMPLE_STORY_FILE), QString());
    QVERIFY(story.notice.isEmpty());
    ScriptedRandom random;
    MainWindow form(random, QDir(story.folder));
    form.Form_Load();
    QVERIFY(form.storyMetadata());
    QCOMPARE(form.windowTitle(), form.storyMetadata()->title);
    // The first genre on offer tells the first step.
    form.Label2_Click();
    QCOMPARE(form.state().stepNumber, 1);
    QVERIFY(form.state().nextLine > 1);
    QVERIFY(!vorta::storyLine(form.state(), 1).empty());
    const QDateTime unpacked =
        QFileInfo(QDir(story.folder).filePath(vorta::app::kShelfStampFile)).lastModified();
    QCOMPARE(
        vorta::app::storyToRead(shelf, QStringLiteral(VORTA_SAMPLE_STORY_FILE), QString()).folder,
        story.folder);
    QCOMPARE(QFileInfo(QDir(story.folder).filePath(vorta::app::kShelfStampFile)).lastModified(),
             unpacked);
}

void StoryLaunchTest::storyFileThatCannotOpen_data()
{
    QTest::addColumn<QByteArray>("bytes"); // empty: no file at all
    QTest::newRow("missing") << QByteArray();
    QTest::newRow("not an archive") << QByteArray("just text\n");
}

// Before the window: the error names the story file, and the program ends with a failure.
void StoryLaunchTest::storyFileThatCannotOpen()
{
    QFETCH(QByteArray, bytes);
    QTemporaryDir home;
    const QString file = home.filePath(QStringLiteral("broken.vorta"));
    if (!bytes.isEmpty()) {
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(home.path());
    program.start(QStringLiteral(VORTA_PROGRAM), {file});
    QVERIFY(program.waitForFinished(60000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 1);
    const QString err = QString::fromUtf8(program.readAllStandardError());
    QVERIFY2(err.contains(file), qPrintable(err));
    QVERIFY(!QFileInfo::exists(home.filePath(QStringLiteral("data/vorta/stories/broken"))));
}

QTEST_MAIN(StoryLaunchTest)
#include "tst_story_launch.moc"
