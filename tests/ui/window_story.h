// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "tests/support/scripted_random.h"
#include "tests/support/story_tree.h"
#include "ui/main_window.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

#include <chrono>
#include <memory>

// The three genres of the window tests.
inline const QList<StoryTree::Genre> kWindowGenres = {
    {QStringLiteral("Альфа"), QStringLiteral("alpha")},
    {QStringLiteral("Бета"), QStringLiteral("beta")},
    {QStringLiteral("Гамма"), QStringLiteral("gamma")}};

// The line every step but 37 tells in the window tests' stories.
inline QString windowStoryLine(const StoryTree::Genre &genre, int step)
{
    return QStringLiteral("%1, шаг %2").arg(genre.name).arg(step);
}

// A story tree in a temporary folder and a main window over it.
struct WindowStory
{
    explicit WindowStory(int waitingPeriod = 1, int switchProbability = 0)
    {
        // Step 37 carries the IQ marker; every pair of genres has its finale line.
        tree.writeStory(kWindowGenres, {.waitingPeriod = waitingPeriod,
                                        .switchProbability = switchProbability,
                                        .stepLine = QStringLiteral("{name}, шаг {step}"),
                                        .iqLine = QStringLiteral("ИТОГ:(IQ)"),
                                        .finaleLine = QStringLiteral("Конец {least} {most}"),
                                        .selfPairedEndings = true});
        form = std::make_unique<MainWindow>(random, tree.dir());
        // The tests call the tick handlers themselves; a real tick in between would make them
        // depend on the machine's speed.
        designIntervals = {timer(1)->interval(), timer(2)->interval()};
        timer(1)->setInterval(std::chrono::hours(1));
        timer(2)->setInterval(std::chrono::hours(1));
    }

    template <typename T = QLabel> T *control(const QString &name) const
    {
        T *widget = form->findChild<T *>(name);
        if (!widget)
            qFatal("no control %s", qPrintable(name));
        return widget;
    }

    QTimer *timer(int n) const { return control<QTimer>(QStringLiteral("Timer%1").arg(n)); }

    StoryTree tree;
    ScriptedRandom random;
    std::unique_ptr<MainWindow> form;
    QList<int> designIntervals;
};

// A click as the reader makes it: at a point of the window, wherever that lands.
inline void clickAt(QWidget *widget)
{
    QWidget *window = widget->window();
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
                      widget->mapTo(window, widget->rect().center()));
}

inline void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Answers the question a new story asks in the middle of one, if it is asked, with a key: Return
// starts the new story, Escape keeps the old one.
inline void answerNewStoryQuestion(const MainWindow &form, Qt::Key key = Qt::Key_Return)
{
    QMessageBox *question = form.openMessage();
    if (!question || question->objectName() != QStringLiteral("newStoryQuestion"))
        return;
    QTest::keyClick(question, key);
    flushDeletes();
}
