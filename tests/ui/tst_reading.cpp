// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/ui/window_story.h"
#include "ui/choice_label.h"
#include "ui/main_window.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScrollBar>
#include <QWheelEvent>
#include <QtTest>

namespace {

// A shown window whose first move tells `lines` lines at once.
struct Reading : WindowStory
{
    explicit Reading(int lines = 40, int waitingPeriod = 1) : WindowStory(waitingPeriod)
    {
        QStringList text;
        for (int i = 1; i <= lines; ++i)
            text << line(i);
        tree.writeFragment(QStringLiteral("beta"), 1, {text});
    }

    static QString line(int n) { return QStringLiteral("строка %1").arg(n); }

    // The first start with the first genre, then the move to the second one (which tells the
    // long first step), in a shown, active window.
    void start(bool firstMove = true)
    {
        random.push({0.0});
        form->Form_Load();
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        if (firstMove)
            form->Label2_Click();
    }

    QScrollBar *scroll() const { return control<QScrollBar>(QStringLiteral("VScroll1")); }
    const vorta::StoryState &state() const { return form->state(); }
    QString row(int r) const { return control(QStringLiteral("Label%1").arg(12 + r))->text(); }

    // The engine, the scroll bar and the rows all show position p.
    void expectView(int p) const
    {
        QCOMPARE(state().topLine, p);
        QCOMPARE(scroll()->value(), p);
        QCOMPARE(scroll()->sliderPosition(), p);
        QCOMPARE(row(0), p < state().nextLine ? line(p) : QString());
    }
};

// A wheel event where the reader's pointer is, delivered to whatever stands there.
void wheelAt(QWidget *over, QPoint pixels, QPoint angle)
{
    QWidget *window = over->window();
    const QPoint at = over->mapTo(window, over->rect().center());
    QWidget *target = window->childAt(at);
    QVERIFY(target);
    QWheelEvent wheel(target->mapFrom(window, at), window->mapToGlobal(at), pixels, angle,
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &wheel);
    QVERIFY(wheel.isAccepted());
}

// A key as the reader types it: to the widget that has the focus.
void type(Reading &story, const QKeySequence &key)
{
    QWidget *focus = story.form->focusWidget();
    QVERIFY(focus);
    QTest::keyClick(focus, key[0].key(), key[0].keyboardModifiers());
}

} // namespace

class ReadingTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void heldThumbStaysAcrossTicksAndBlinks_data();
    void heldThumbStaysAcrossTicksAndBlinks();
    void wheelAndKeysMoveTheScrollBarAsTheReaderWould_data();
    void wheelAndKeysMoveTheScrollBarAsTheReaderWould();
    void elidedChoiceKeepsItsGenreName_data();
    void elidedChoiceKeepsItsGenreName();
    void accessiblePressIsTheReadersMove_data();
    void accessiblePressIsTheReadersMove();
    void savingWritesEveryToldLine_data();
    void savingWritesEveryToldLine();
    void saveDialogTakesTheNameAsTyped_data();
    void saveDialogTakesTheNameAsTyped();
};

void ReadingTest::initTestCase()
{
    QApplication::setWheelScrollLines(3);
}

void ReadingTest::heldThumbStaysAcrossTicksAndBlinks_data()
{
    QTest::addColumn<QString>("event");
    QTest::addColumn<int>("waitingPeriod");
    QTest::newRow("countdown ticks") << QStringLiteral("tick") << 1;
    QTest::newRow("the program's moves") << QStringLiteral("tick") << 0;
    QTest::newRow("blinks after the finale") << QStringLiteral("blink") << 1;
}

void ReadingTest::heldThumbStaysAcrossTicksAndBlinks()
{
    QFETCH(QString, event);
    QFETCH(int, waitingPeriod);
    Reading story(40, waitingPeriod);
    story.start();
    if (event == QStringLiteral("blink")) {
        while (story.state().stepNumber < 65)
            story.form->Label2_Click();
    }
    const int end = story.state().topLine;
    QVERIFY(end > 5);

    // Held and dragged: the position is the thumb's; the view waits for the release.
    QScrollBar *scroll = story.scroll();
    scroll->setSliderDown(true);
    scroll->setSliderPosition(3);
    QCOMPARE(story.state().topLine, end);
    for (int i = 0; i < 3; ++i) {
        if (event == QStringLiteral("blink"))
            story.form->Timer2_Timer();
        else
            story.form->Timer1_Timer();
        QVERIFY(scroll->isSliderDown());
        QCOMPARE(scroll->sliderPosition(), 3);
    }
    // The program's own move still took the view to the end of the text.
    QCOMPARE(story.state().topLine, qMax(end, story.state().nextLine - 14));

    scroll->setSliderDown(false);
    story.expectView(3);
}

void ReadingTest::wheelAndKeysMoveTheScrollBarAsTheReaderWould_data()
{
    // Forty lines told: the view follows the end at 27, the scroll bar runs 1 .. 41.
    QTest::addColumn<QStringList>("input");
    QTest::addColumn<int>("expected");
    QTest::newRow("a notch back") << QStringList{QStringLiteral("wheel 120")} << 24;
    QTest::newRow("two half notches")
        << QStringList{QStringLiteral("wheel 60"), QStringLiteral("wheel 60")} << 24;
    QTest::newRow("a notch on") << QStringList{QStringLiteral("wheel -120")} << 30;
    QTest::newRow("a notch over the scroll bar") << QStringList{QStringLiteral("bar 120")} << 24;
    QTest::newRow("touchpad, 40 pixels") << QStringList{QStringLiteral("pixels 40")} << 25;
    QTest::newRow("touchpad, 10 and 10 pixels")
        << QStringList{QStringLiteral("pixels 10"), QStringLiteral("pixels 10")} << 26;
    QTest::newRow("up") << QStringList{QStringLiteral("key Up")} << 26;
    QTest::newRow("down") << QStringList{QStringLiteral("key Down")} << 28;
    QTest::newRow("page up") << QStringList{QStringLiteral("key PgUp")} << 13;
    QTest::newRow("page up past the start")
        << QStringList{QStringLiteral("key PgUp"), QStringLiteral("key PgUp")} << 1;
    QTest::newRow("page down past the end") << QStringList{QStringLiteral("key PgDown")} << 41;
    QTest::newRow("ctrl+home") << QStringList{QStringLiteral("key Ctrl+Home")} << 1;
    QTest::newRow("ctrl+end back to where the story follows")
        << QStringList{QStringLiteral("key Ctrl+Home"), QStringLiteral("key Ctrl+End")} << 27;
    QTest::newRow("home without ctrl") << QStringList{QStringLiteral("key Home")} << 27;
}

void ReadingTest::wheelAndKeysMoveTheScrollBarAsTheReaderWould()
{
    QFETCH(QStringList, input);
    QFETCH(int, expected);
    Reading story;
    story.start();
    story.expectView(27);
    QSignalSpy changes(story.scroll(), &QScrollBar::valueChanged);
    for (const QString &step : input) {
        const QString how = step.section(QLatin1Char(' '), 0, 0);
        const QString what = step.section(QLatin1Char(' '), 1);
        QWidget *over = how == QStringLiteral("bar") ? static_cast<QWidget *>(story.scroll())
                                                     : story.control(QStringLiteral("Label18"));
        if (how == QStringLiteral("key"))
            type(story, QKeySequence::fromString(what));
        else if (how == QStringLiteral("pixels"))
            wheelAt(over, QPoint(0, what.toInt()), QPoint(0, what.toInt()));
        else
            wheelAt(over, QPoint(), QPoint(0, what.toInt()));
    }
    story.expectView(expected);
    // Every move went through the scroll bar's own change, once per move at most.
    QVERIFY(changes.count() <= input.size());

    // The scroll bar itself, moved to the same place, shows the very same state.
    const vorta::StoryState reached = story.state();
    story.scroll()->setValue(27);
    story.scroll()->setValue(expected);
    QCOMPARE(story.state(), reached);
}

void ReadingTest::elidedChoiceKeepsItsGenreName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("cut");
    QTest::newRow("short") << QStringLiteral("Бета") << false;
    QTest::newRow("seventeen characters, as many as fit")
        << QStringLiteral("Приключения героя") << false;
    QTest::newRow("longer than the label") << QStringLiteral("Любовно-авантюрный роман") << true;
}

void ReadingTest::elidedChoiceKeepsItsGenreName()
{
    QFETCH(QString, name);
    QFETCH(bool, cut);
    Reading story(3);
    story.tree.writeCatalogue({kWindowGenres[0], {name, QStringLiteral("beta")}, kWindowGenres[2]});
    story.start(false);
    auto *label = story.control<vorta::ui::ChoiceLabel>(QStringLiteral("Label2"));
    QCOMPARE(label->text(), name);
    QCOMPARE(label->accessibleName(), name);
    QVERIFY(label->toolTip().startsWith(name));
    QVERIFY(label->toolTip().contains(QStringLiteral("клавиша 1")));
    QCOMPARE(label->cursor().shape(), Qt::PointingHandCursor);

    // Cut at the end only, so the name's start is always seen, and never wider than the box.
    const QString shown = label->shownText();
    QCOMPARE(shown != name, cut);
    if (cut) {
        QVERIFY(shown.endsWith(QChar(0x2026)));
        QVERIFY(name.startsWith(shown.chopped(1)));
        QVERIFY(shown.size() > 10);
    }
    QVERIFY(label->fontMetrics().horizontalAdvance(shown) <= label->width());

    clickAt(label);
    QCOMPARE(story.state().currentGenre, 2);
    QCOMPARE(story.row(0), Reading::line(1));
}

void ReadingTest::accessiblePressIsTheReadersMove_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<bool>("dialogOpen");
    QTest::addColumn<int>("genre"); // the genre told, 0 for none
    QTest::newRow("first choice") << QStringLiteral("Label2") << false << 2;
    QTest::newRow("second choice") << QStringLiteral("Label3") << false << 3;
    QTest::newRow("hidden choice") << QStringLiteral("Label4") << false << 0;
    QTest::newRow("while a dialog is open") << QStringLiteral("Label2") << true << 0;
}

void ReadingTest::accessiblePressIsTheReadersMove()
{
    QFETCH(QString, label);
    QFETCH(bool, dialogOpen);
    QFETCH(int, genre);
    Reading story(3);
    story.start(false);
    if (dialogOpen)
        story.form->about_Click();
    QLabel *widget = story.control(label);
    QAccessibleInterface *choice = QAccessible::queryAccessibleInterface(widget);
    QVERIFY(choice);
    QCOMPARE(choice->role(), QAccessible::Button);
    QCOMPARE(choice->text(QAccessible::Name), widget->text());
    QCOMPARE(choice->state().invisible, widget->isHidden());
    QAccessibleActionInterface *actions = choice->actionInterface();
    QVERIFY(actions);
    QCOMPARE(actions->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});
    if (!widget->isHidden()) {
        const QString key = QString::number(label.mid(5).toInt() - 1);
        QCOMPARE(choice->text(QAccessible::Description), QStringLiteral("Клавиша ") + key);
        QCOMPARE(actions->keyBindingsForAction(QAccessibleActionInterface::pressAction()),
                 QStringList{key});
    }

    actions->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(story.state().stepNumber, genre ? 1 : 0);
    if (genre) {
        QCOMPARE(story.state().currentGenre, genre);
        // The second genre's first step is the long one of these stories.
        QCOMPARE(story.row(0),
                 genre == 2 ? Reading::line(1) : windowStoryLine(kWindowGenres[genre - 1], 1));
    }
}

void ReadingTest::savingWritesEveryToldLine_data()
{
    QTest::addColumn<QString>("target"); // in the test's folder; empty: the reader cancels
    QTest::addColumn<bool>("written");
    QTest::newRow("a new file") << QStringLiteral("рассказ.txt") << true;
    QTest::newRow("over an old file") << QStringLiteral("old.txt") << true;
    QTest::newRow("cancelled") << QString() << false;
    QTest::newRow("into a missing folder") << QStringLiteral("missing/рассказ.txt") << false;
    QTest::newRow("over a folder") << QStringLiteral("Genres") << false;
}

void ReadingTest::savingWritesEveryToldLine()
{
    QFETCH(QString, target);
    QFETCH(bool, written);
    Reading story(20);
    story.tree.writeFragment(QStringLiteral("alpha"), 2,
                             {{QString(), QStringLiteral("Ёж, «ёлка»")}});
    story.tree.writeBytes(QStringLiteral("old.txt"), "old\r\n");
    story.start();
    story.form->Label2_Click();
    const QString path = target.isEmpty() ? QString() : story.tree.path(target);
    QString suggested;
    story.form->setSavePathPicker(
        [&](QWidget *, const QString &offered, const std::function<void(const QString &)> &chosen) {
            suggested = offered;
            chosen(path);
        });
    const vorta::StoryState before = story.state();

    type(story, QKeySequence::Save);
    QVERIFY(QFileInfo(suggested).fileName().contains(
        QRegularExpression(QStringLiteral("^рассказ-\\d{4}-\\d\\d-\\d\\d-\\d{4}\\.txt$"))));
    QCOMPARE(story.state(), before);
    QPointer<QMessageBox> message = story.form->openMessage();
    QCOMPARE(bool(message), !written && !target.isEmpty());
    if (written) {
        QByteArray expected;
        for (int i = 1; i <= 20; ++i)
            expected += Reading::line(i).toUtf8() + '\n';
        expected += "\n" + QStringLiteral("Ёж, «ёлка»").toUtf8() + '\n';
        QCOMPARE(story.tree.readBytes(target), expected);
        // Copying gives the same text.
        type(story, QKeySequence::Copy);
        QCOMPARE(QApplication::clipboard()->text().toUtf8(), expected);
    } else if (message) {
        QVERIFY(message->text().contains(path));
        message->button(QMessageBox::Ok)->click();
        flushDeletes();
    }
    QCOMPARE(story.tree.readBytes(QStringLiteral("old.txt")) == "old\r\n",
             target != QStringLiteral("old.txt"));
}

void ReadingTest::saveDialogTakesTheNameAsTyped_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("written"); // at the name as typed; else refused with a message
    QTest::newRow("a plain name") << QStringLiteral("рассказ.txt") << true;
    // Qt's own dialog would take these as the list of names ["y"], and replace y.
    QTest::newRow("a quoted word in the name") << QStringLiteral("x \"y\".txt") << false;
    QTest::newRow("a name in quotes") << QStringLiteral("\"y\"") << false;
}

void ReadingTest::saveDialogTakesTheNameAsTyped()
{
    QFETCH(QString, typed);
    QFETCH(bool, written);
    Reading story(3);
    story.tree.writeBytes(QStringLiteral("y"), "old\r\n");
    story.start();
    const QStringList before = story.tree.dir().entryList(QDir::Files | QDir::Hidden);

    type(story, QKeySequence::Save);
    auto *dialog = story.form->findChild<QFileDialog *>(QStringLiteral("saveStoryDialog"));
    QVERIFY(dialog);
    dialog->setDirectory(story.tree.path());
    auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    QVERIFY(name);
    // Typed as the reader types: into the name field, which has the focus.
    dialog->activateWindow();
    QTRY_VERIFY(dialog->isActiveWindow());
    name->setFocus();
    name->setText(typed);
    QTest::keyClick(name, Qt::Key_Return);

    QCOMPARE(story.tree.readBytes(QStringLiteral("y")), QByteArray("old\r\n"));
    if (written) {
        QVERIFY(story.tree.readBytes(typed).startsWith(Reading::line(1).toUtf8() + '\n'));
        return;
    }
    QCOMPARE(story.tree.dir().entryList(QDir::Files | QDir::Hidden), before);
    QVERIFY(dialog->isVisible());
    auto *refusal = dialog->findChild<QMessageBox *>(QStringLiteral("nameRefused"));
    QVERIFY(refusal);
    QVERIFY(refusal->text().contains(QStringLiteral("кавычек")));
    // A second try while the message is open adds no second message.
    QTest::keyClick(name, Qt::Key_Return);
    QCOMPARE(dialog->findChildren<QMessageBox *>().size(), 1);
    dialog->reject();
}

QTEST_MAIN(ReadingTest)
#include "tst_reading.moc"
