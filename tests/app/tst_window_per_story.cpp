// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/window_per_story.h"
#include "tests/ui/window_story.h"

#include <QProcess>
#include <QSignalSpy>
#include <QtTest>

class WindowPerStoryTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void secondStartBringsTheWindowForward_data();
    void secondStartBringsTheWindowForward();
};

void WindowPerStoryTest::secondStartBringsTheWindowForward_data()
{
    QTest::addColumn<bool>("throughALink"); // the second start reads the folder by another path
    QTest::newRow("the story's folder") << false;
    QTest::newRow("the same folder through a link") << true;
}

// The program started again on a story that a window reads opens no second window: the open
// one comes forward, and the start ends well.
void WindowPerStoryTest::secondStartBringsTheWindowForward()
{
    QFETCH(bool, throughALink);
    WindowStory story;
    story.random.push({0.0});
    story.form->Form_Load();
    vorta::app::WindowPerStory windows(story.tree.dir().path());
    QVERIFY(!windows.bringForwardOpenWindow());
    windows.serve(story.form.get());
    story.form->show();
    // Another window has the focus, as the desktop does when the reader starts the program.
    QWidget elsewhere;
    elsewhere.show();
    elsewhere.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&elsewhere));

    QTemporaryDir home;
    QString folder = story.tree.dir().path();
    if (throughALink) {
        const QString link = home.filePath(QStringLiteral("link"));
        QVERIFY(QFile::link(folder, link));
        folder = link;
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(folder);
    QSignalSpy ended(&program, &QProcess::finished);
    QSignalSpy forward(&windows, &vorta::app::WindowPerStory::broughtForward);
    program.start(QStringLiteral(VORTA_PROGRAM), {});
    // A second window would wait for its reader: the start must end by itself.
    if (!ended.wait(30000)) {
        program.kill();
        QFAIL("the second start opened a window of its own");
    }
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    QCOMPARE(forward.count(), 1);
    QTRY_COMPARE(QApplication::activeWindow(), story.form.get());
}

QTEST_MAIN(WindowPerStoryTest)
#include "tst_window_per_story.moc"
