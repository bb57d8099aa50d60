// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/ui/window_story.h"
#include "ui/announcer.h"
#include "ui/main_window.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QSignalSpy>
#include <QtTest>

namespace {

// A shown, active window over three genres, whose second genre's first step tells `lines`
// numbered lines.
struct Reader : WindowStory
{
    explicit Reader(int lines = 3, int waitingPeriod = 1) : WindowStory(waitingPeriod)
    {
        for (int i = 1; i <= lines; ++i)
            told.append(QStringLiteral("строка %1").arg(i));
        tree.writeFragment(QStringLiteral("beta"), 1, {told});
        random.push({0.0});
        form->Form_Load();
        form->show();
        if (!QTest::qWaitForWindowActive(form.get()))
            qFatal("the window is not active");
    }

    // Keys as the reader types them, each to the widget with the focus.
    void type(const QString &keys) const
    {
        const QKeySequence sequence = QKeySequence::fromString(keys);
        for (int i = 0; i < sequence.count(); ++i) {
            QWidget *focus = QApplication::focusWidget();
            const Qt::Key key = sequence[i].key();
            // A letter beyond ASCII comes with its text, as the keyboard gives it.
            const QString text = key > 0x7f && key < 0xffff ? QString(QChar(key)) : QString();
            for (const auto action : {QTest::Press, QTest::Release})
                QTest::sendKeyEvent(action, focus ? focus : form.get(), key, text,
                                    sequence[i].keyboardModifiers());
        }
    }

    static QAccessibleInterface *of(QObject *object)
    {
        return QAccessible::queryAccessibleInterface(object);
    }
    QAccessibleTextInterface *story() const
    {
        return of(control<QWidget>(QStringLiteral("story")))->textInterface();
    }
    const vorta::StoryState &state() const { return form->state(); }

    QStringList told;
};

} // namespace

class AccessibilityTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void eachEventIsAnnouncedOnce_data();
    void eachEventIsAnnouncedOnce();
    void storyIsOneTextWithACaretLine_data();
    void storyIsOneTextWithACaretLine();
    void tabReachesEveryControlInOrder();
    void menuCommandsOpenFromTheKeyboard_data();
    void menuCommandsOpenFromTheKeyboard();
    void menuOpensFromTheKeyboardEveryTime_data();
    void menuOpensFromTheKeyboardEveryTime();
    void countdownPausesAndResumesWithP();
    void countdownPausesByMouse_data();
    void countdownPausesByMouse();
};

void AccessibilityTest::eachEventIsAnnouncedOnce_data()
{
    QTest::addColumn<int>("waitingPeriod");
    QTest::addColumn<int>("movesBefore");
    QTest::addColumn<QString>("event");
    QTest::addColumn<QString>("announced"); // empty: nothing
    QTest::newRow("the reader's key")
        << 1 << 0 << QStringLiteral("key") << QStringLiteral("строка 1\nстрока 2\nстрока 3");
    QTest::newRow("the program's move")
        << 0 << 0 << QStringLiteral("tick") << windowStoryLine(kWindowGenres[0], 1);
    QTest::newRow("a tick that tells nothing") << 1 << 0 << QStringLiteral("tick") << QString();
    QTest::newRow("a blink") << 1 << 64 << QStringLiteral("blink") << QString();
    QTest::newRow("the finale")
        << 1 << 63 << QStringLiteral("key")
        << QStringLiteral(
               "Конец 3 2\nРассказ окончен. Новый начнёт кнопка «Начать новый рассказ».");
    QTest::newRow("a new story") << 1 << 5 << QStringLiteral("new story")
                                 << QStringLiteral("Начат новый рассказ.");
}

// A screen reader speaks a notification shown with its text: one for every event that tells.
void AccessibilityTest::eachEventIsAnnouncedOnce()
{
    QFETCH(int, waitingPeriod);
    QFETCH(int, movesBefore);
    QFETCH(QString, event);
    QFETCH(QString, announced);
    Reader reader(3, waitingPeriod);
    for (int move = 0; move < movesBefore; ++move)
        reader.form->Label2_Click();
    auto *announcer = reader.control<vorta::ui::Announcer>(QStringLiteral("announcer"));
    QSignalSpy spy(announcer, &vorta::ui::Announcer::announced);
    if (event == QStringLiteral("key"))
        reader.type(QStringLiteral("1"));
    else if (event == QStringLiteral("tick"))
        reader.form->Timer1_Timer();
    else if (event == QStringLiteral("blink"))
        reader.form->Timer2_Timer();
    else
        reader.form->startNewStory();
    QCOMPARE(spy.count(), announced.isEmpty() ? 0 : 1);
    if (announced.isEmpty())
        return;
    QCOMPARE(spy.at(0).at(0).toString(), announced);
    QAccessibleInterface *notification = Reader::of(announcer);
    QCOMPARE(notification->role(), QAccessible::Notification);
    QCOMPARE(notification->text(QAccessible::Name), announced);
    QVERIFY(!notification->state().invisible);
}

void AccessibilityTest::storyIsOneTextWithACaretLine_data()
{
    // Twenty lines told: the view follows the end at line 7, where the caret is put.
    QTest::addColumn<QString>("keys"); // "at N": a screen reader puts the caret on line N
    QTest::addColumn<int>("caret");
    QTest::addColumn<int>("top");
    QTest::newRow("after the step") << QString() << 7 << 7;
    QTest::newRow("up") << QStringLiteral("Up") << 6 << 6;
    QTest::newRow("down, up") << QStringLiteral("Down, Up") << 7 << 7;
    QTest::newRow("page up past the start") << QStringLiteral("PgUp") << 1 << 1;
    QTest::newRow("ctrl+home, down") << QStringLiteral("Ctrl+Home, Down") << 2 << 2;
    QTest::newRow("ctrl+end: the last line") << QStringLiteral("Ctrl+Home, Ctrl+End") << 20 << 7;
    QTest::newRow("down past the end") << QStringLiteral("Ctrl+End, Down") << 20 << 8;
    QTest::newRow("a screen reader, out of view") << QStringLiteral("at 3") << 3 << 3;
    QTest::newRow("a screen reader, in view") << QStringLiteral("at 12") << 12 << 7;
}

namespace {

// Where line n (from 1) starts in the lines joined by line feeds.
int startOf(const QStringList &lines, int n)
{
    int offset = 0;
    for (int i = 0; i < n - 1; ++i)
        offset += int(lines.at(i).size()) + 1;
    return offset;
}

} // namespace

void AccessibilityTest::storyIsOneTextWithACaretLine()
{
    QFETCH(QString, keys);
    QFETCH(int, caret);
    QFETCH(int, top);
    Reader reader(20);
    reader.form->Label2_Click();
    QAccessibleTextInterface *story = reader.story();
    const QString all = reader.told.join(QLatin1Char('\n'));
    if (keys.startsWith(QStringLiteral("at ")))
        story->setCursorPosition(startOf(reader.told, keys.mid(3).toInt()) + 2);
    else if (!keys.isEmpty())
        reader.type(keys);

    QCOMPARE(reader.state().topLine, top);
    // The whole story, not only the rows in view, for reading it through.
    QCOMPARE(story->characterCount(), all.size());
    QCOMPARE(story->text(0, story->characterCount()), all);
    const int at = story->cursorPosition();
    QCOMPARE(at, startOf(reader.told, caret));
    int start = -1;
    int end = -1;
    const QString line = story->textAtOffset(at, QAccessible::LineBoundary, &start, &end);
    // A line with its line feed, but for the last.
    QCOMPARE(line, reader.told.at(caret - 1) + (caret < 20 ? QStringLiteral("\n") : QString()));
    QCOMPARE(all.mid(start, end - start), line);
    if (caret > 1) {
        QCOMPARE(story->textBeforeOffset(at, QAccessible::LineBoundary, &start, &end),
                 reader.told.at(caret - 2) + QLatin1Char('\n'));
    }
}

void AccessibilityTest::tabReachesEveryControlInOrder()
{
    Reader reader;
    const QList<QPair<QAccessible::Role, QString>> order = {
        {QAccessible::Button, QStringLiteral("Бета")},
        {QAccessible::Button, QStringLiteral("Гамма")},
        {QAccessible::Button, QStringLiteral("Начать новый рассказ")},
        {QAccessible::StatusBar, QStringLiteral("Отсчёт")},
        {QAccessible::EditableText, QStringLiteral("Рассказ")},
    };
    QAccessibleInterface *focused = Reader::of(QApplication::focusWidget());
    QCOMPARE(focused->role(), QAccessible::EditableText);
    for (const auto &[role, name] : order) {
        reader.type(QStringLiteral("Tab"));
        focused = Reader::of(QApplication::focusWidget());
        QCOMPARE(focused->role(), role);
        QCOMPARE(focused->text(QAccessible::Name), name);
    }
    // Space and Return press the genre that has the focus.
    reader.type(QStringLiteral("Tab, Space"));
    QCOMPARE(reader.state().stepNumber, 1);
    QCOMPARE(reader.state().currentGenre, 2);
    reader.type(QStringLiteral("Return"));
    QCOMPARE(reader.state().stepNumber, 2);
}

void AccessibilityTest::menuCommandsOpenFromTheKeyboard_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("dialog"); // empty: none
    QTest::newRow("F10, Return") << QStringLiteral("F10, Return") << QStringLiteral("Form3");
    QTest::newRow("F10, Right, Return")
        << QStringLiteral("F10, Right, Return") << QStringLiteral("Form2");
    QTest::newRow("F10, Escape") << QStringLiteral("F10, Escape") << QString();
    QTest::newRow("F10 twice") << QStringLiteral("F10, F10") << QString();
    QTest::newRow("Alt+У") << QStringLiteral("Alt+У") << QStringLiteral("Form3");
    QTest::newRow("Alt+О") << QStringLiteral("Alt+О") << QStringLiteral("Form2");
}

void AccessibilityTest::menuCommandsOpenFromTheKeyboard()
{
    QFETCH(QString, keys);
    QFETCH(QString, dialog);
    Reader reader;
    reader.type(keys);
    QWidget *open = reader.form->openDialog();
    QCOMPARE(open ? open->objectName() : QString(), dialog);
    if (open) {
        // Escape closes either dialog, as its cancel does.
        QVERIFY(QTest::qWaitForWindowActive(open));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        flushDeletes();
        QVERIFY(!reader.form->openDialog());
        QVERIFY(reader.form->isEnabled());
    } else {
        QCOMPARE(QApplication::focusWidget(), reader.control<QWidget>(QStringLiteral("story")));
    }
}

void AccessibilityTest::menuOpensFromTheKeyboardEveryTime_data()
{
    QTest::addColumn<int>("menuKey");
    QTest::newRow("Alt, Return") << int(Qt::Key_Alt);
    QTest::newRow("F10, Return") << int(Qt::Key_F10);
}

// Closing a dialog opened from the menu bar leaves nothing of the bar's keyboard mode behind:
// the same keys open it again, every time.
void AccessibilityTest::menuOpensFromTheKeyboardEveryTime()
{
    QFETCH(int, menuKey);
    Reader reader;
    const auto key = Qt::Key(menuKey);
    for (int time = 1; time <= 3; ++time) {
        // Alt is held down while pressed, and let go alone.
        QTest::sendKeyEvent(QTest::Press, QApplication::focusWidget(), key, QString(),
                            key == Qt::Key_Alt ? Qt::AltModifier : Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, QApplication::focusWidget(), key, QString(),
                            Qt::NoModifier);
        reader.type(QStringLiteral("Return"));
        QWidget *open = reader.form->openDialog();
        QVERIFY2(open, qPrintable(QStringLiteral("time %1").arg(time)));
        QCOMPARE(open->objectName(), QStringLiteral("Form3"));
        QVERIFY(QTest::qWaitForWindowActive(open));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        flushDeletes();
        QVERIFY(QTest::qWaitForWindowActive(reader.form.get()));
    }
}

void AccessibilityTest::countdownPausesAndResumesWithP()
{
    Reader reader(3, 1);
    reader.form->Timer1_Timer();
    const QString running = reader.control(QStringLiteral("Label11"))->text();
    reader.type(QStringLiteral("P"));
    QVERIFY(reader.form->countdownPaused());
    QVERIFY(!reader.timer(1)->isActive());
    QCOMPARE(reader.control(QStringLiteral("Label11"))->text(),
             QStringLiteral("Отсчёт на паузе, осталось 4 с"));
    // No tick counts while paused, however it comes; the reader's own moves go on.
    const vorta::StoryState before = reader.state();
    for (int tick = 0; tick < 6; ++tick)
        reader.form->Timer1_Timer();
    QCOMPARE(reader.state(), before);
    reader.type(QStringLiteral("1"));
    QCOMPARE(reader.state().stepNumber, 1);
    QVERIFY(!reader.timer(1)->isActive());

    // The same key in the Russian layout.
    reader.type(QStringLiteral("З"));
    QVERIFY(!reader.form->countdownPaused());
    QVERIFY(reader.timer(1)->isActive());
    QCOMPARE(reader.control(QStringLiteral("Label11"))->text(), running);
    reader.form->Timer1_Timer();
    QCOMPARE(reader.state().countdownMs, 4000);
    // After the finale there is no countdown to pause, nor one to resume, even if it was paused
    // when the finale came.
    reader.type(QStringLiteral("P"));
    while (reader.state().stepNumber < 65)
        reader.form->Label2_Click();
    auto *announcer = reader.control<vorta::ui::Announcer>(QStringLiteral("announcer"));
    QSignalSpy spoken(announcer, &vorta::ui::Announcer::announced);
    reader.type(QStringLiteral("P"));
    QVERIFY(!reader.form->countdownPaused());
    QCOMPARE(spoken.count(), 0);
}

void AccessibilityTest::countdownPausesByMouse_data()
{
    QTest::addColumn<bool>("fromMenu"); // the story's context menu; else a click on the countdown
    QTest::newRow("a click on the countdown") << false;
    QTest::newRow("the story's context menu") << true;
}

// The mouse does what P does, and the countdown says so.
void AccessibilityTest::countdownPausesByMouse()
{
    QFETCH(bool, fromMenu);
    Reader reader(3, 1);
    auto *countdown = reader.control<QWidget>(QStringLiteral("countdown"));
    QVERIFY(countdown->toolTip().startsWith(QStringLiteral("Щелчок")));
    auto *pause = reader.control<QAction>(QStringLiteral("pauseCountdown"));
    QVERIFY(reader.control<QWidget>(QStringLiteral("story"))->actions().contains(pause));
    for (const bool paused : {true, false}) {
        if (fromMenu)
            pause->trigger();
        else
            clickAt(reader.control(QStringLiteral("Label11")));
        QCOMPARE(reader.form->countdownPaused(), paused);
        QCOMPARE(reader.timer(1)->isActive(), !paused);
        QCOMPARE(pause->isChecked(), paused);
    }
}

QTEST_MAIN(AccessibilityTest)
#include "tst_accessibility.moc"
