// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/saved_story.h"
#include "core/tree_paths.h"
#include "tests/support/core_text.h"
#include "tests/support/no_file_growth.h"
#include "tests/support/scripted_random.h"
#include "tests/support/story_tree.h"
#include "tests/ui/window_story.h"
#include "ui/about_dialog.h"
#include "ui/controls.h"
#include "ui/main_window.h"
#include "ui/settings_dialog.h"

#include <QAction>
#include <QFontMetricsF>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <chrono>
#include <memory>

using Genre = StoryTree::Genre;

namespace {

// A story tree in a temporary folder and a main window over it.
struct Story : WindowStory
{
    using WindowStory::WindowStory;

    // The first start, with the starting genre drawn as the first one.
    void load()
    {
        random.push({0.0});
        form->Form_Load();
    }

    void showWindow()
    {
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }

    QString row(int r) const { return control(QStringLiteral("Label%1").arg(12 + r))->text(); }
    QAction *action(const QString &name) const { return control<QAction>(name); }
};

const QString kCountdown = QStringLiteral("До активничания программы осталось:");

QRgb buttonFace(QPushButton *button)
{
    return button->grab().toImage().pixel(4, button->height() / 2);
}

bool near(QRgb a, QRgb b)
{
    return qAbs(qRed(a) - qRed(b)) < 12 && qAbs(qGreen(a) - qGreen(b)) < 12 &&
           qAbs(qBlue(a) - qBlue(b)) < 12;
}

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void controlStartsAtItsPlaceWithItsCaption_data();
    void controlStartsAtItsPlaceWithItsCaption();
    void windowIsFixedWithTitleCloseButtonMenuAndTimers();
    void iconIsTheStarOnGreen();
    void clientAreaIsLightBlueAllOver();
    void rowHolds46CharactersOfItsFont();
    void loadOffersTheOtherGenresAndShowsTheCountdown();
    void choiceClickTellsTheNextStepAndRestartsTheCountdown();
    void storyTextIsShownVerbatim();
    void digitKeysPickTheShownChoices();
    void scrollBarMovesOneRowForArrowAndTrough();
    void showingTheScrollRangeDoesNotCallBack();
    void menuCommandOpensItsDialogAndDisablesTheWindow_data();
    void menuCommandOpensItsDialogAndDisablesTheWindow();
    void disabledWindowLooksTheSame();
    void ticksWhileADialogIsOpenStillTellSteps();
    void finaleMakesTheButtonBlinkAtEachTimer2Tick();
    void missingFragmentShowsOneMessageAndKeepsTheStory();
    void settingsDialogThatCannotReadItsFileDoesNotOpen();
    void storySetAsideAndFailedSaveAreToldOnce();
    void everyNoticeOfOneEventIsShown_data();
    void everyNoticeOfOneEventIsShown();
    void newStoryAsksInTheMiddleOfAStory_data();
    void newStoryAsksInTheMiddleOfAStory();
};

void MainWindowTest::controlStartsAtItsPlaceWithItsCaption_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("shown");
    const QString none;
    QTest::newRow("countdown") << QStringLiteral("Label11") << QRect(16, 8, 329, 25) << none
                               << true;
    QTest::newRow("heading") << QStringLiteral("Label1") << QRect(360, 8, 177, 25)
                             << QStringLiteral("ДЕЙСТВИЯ") << true;
    QTest::newRow("rule") << QStringLiteral("Line1") << QRect(360, 32, 176, 1) << none << true;
    QTest::newRow("margin") << QStringLiteral("Label27") << QRect(6, 40, 5, 241) << none << true;
    for (int n = 12; n <= 26; ++n)
        QTest::addRow("row %d", n) << QStringLiteral("Label%1").arg(n)
                                   << QRect(11, 40 + 16 * (n - 12), 325, 17) << none << true;
    QTest::newRow("scroll bar") << QStringLiteral("VScroll1") << QRect(336, 40, 17, 241) << none
                                << true;
    for (int n = 2; n <= 10; ++n)
        QTest::addRow("choice %d", n)
            << QStringLiteral("Label%1").arg(n) << QRect(360, 40 + 24 * (n - 2), 177, 17)
            << QStringLiteral("Выдоконтрапупить") << false;
    QTest::newRow("new story") << QStringLiteral("Command1") << QRect(360, 264, 177, 25)
                               << QStringLiteral("Начать новый рассказ") << true;
    QTest::newRow("normal colour")
        << QStringLiteral("Label28") << QRect(360, 288, 9, 9) << QStringLiteral("Label28") << false;
    QTest::newRow("blink colour") << QStringLiteral("Label29") << QRect(376, 288, 9, 9)
                                  << QStringLiteral("Label29") << false;
}

void MainWindowTest::controlStartsAtItsPlaceWithItsCaption()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, caption);
    QFETCH(bool, shown);
    Story story;
    QWidget *widget = story.control<QWidget>(name);
    // Places are measured in the client area, whatever groups the controls inside it.
    QWidget *client = story.form->centralWidget();
    QVERIFY(client->isAncestorOf(widget));
    QCOMPARE(QRect(widget->mapTo(client, QPoint()), widget->size()), geometry);
    QCOMPARE(!widget->isHidden(), shown);
    if (auto *label = qobject_cast<QLabel *>(widget))
        QCOMPARE(label->text(), caption);
    if (auto *button = qobject_cast<QPushButton *>(widget))
        QCOMPARE(button->text(), caption);
}

void MainWindowTest::windowIsFixedWithTitleCloseButtonMenuAndTimers()
{
    Story story;
    story.load();
    story.showWindow();
    MainWindow &form = *story.form;
    QCOMPARE(form.windowTitle(), QStringLiteral("Повесть о синем фонаре"));
    QCOMPARE(form.centralWidget()->size(), QSize(546, 297));
    QCOMPARE(form.minimumSize(), form.maximumSize());
    // What the window manager is told, so that it offers no resizing.
    QCOMPARE(form.windowHandle()->minimumSize(), form.size());
    QCOMPARE(form.windowHandle()->maximumSize(), form.size());
    QCOMPARE(form.size().width(), 546);
    const Qt::WindowFlags flags = form.windowFlags();
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));

    const QList<QAction *> commands = form.menuBar()->actions();
    QCOMPARE(commands.size(), 2);
    // The captions as shown; the letter marked for Alt is underlined in them.
    QCOMPARE(commands.at(0)->objectName(), QStringLiteral("option"));
    QCOMPARE(commands.at(0)->iconText(), QStringLiteral("Установки"));
    QCOMPARE(commands.at(1)->objectName(), QStringLiteral("about"));
    QCOMPARE(commands.at(1)->iconText(), QStringLiteral("О программе"));
    for (QAction *command : commands)
        QVERIFY(!command->menu());
    QVERIFY(story.timer(1)->isActive());
    QVERIFY(!story.timer(2)->isActive());
    QCOMPARE(story.designIntervals, QList<int>({1000, 500}));
    QVERIFY(form.close());
}

void MainWindowTest::iconIsTheStarOnGreen()
{
    Story story;
    const QImage icon = story.form->windowIcon().pixmap(32, 32).toImage();
    QCOMPARE(icon.size(), QSize(32, 32));
    QCOMPARE(QColor(icon.pixel(0, 0)), QColor(Qt::white));
    QCOMPARE(QColor(icon.pixel(1, 30)), QColor(Qt::white));
    QCOMPARE(QColor(icon.pixel(2, 2)), QColor(0, 128, 0));
    QCOMPARE(QColor(icon.pixel(15, 15)), QColor(255, 255, 0));
    QCOMPARE(QColor(icon.pixel(14, 8)), QColor(0, 255, 255));
    // Opposite quarters share a colour: green at top left, teal at top right.
    QCOMPARE(QColor(icon.pixel(11, 11)), QColor(0, 255, 0));
    QCOMPARE(QColor(icon.pixel(20, 11)), QColor(0, 128, 128));
    QCOMPARE(QColor(icon.pixel(20, 20)), QColor(0, 255, 0));
}

// A window manager that ignores the fixed size may stretch the window: what lies beyond the
// controls is the window's light blue too, not the desktop's grey.
void MainWindowTest::clientAreaIsLightBlueAllOver()
{
    Story story;
    story.load();
    story.showWindow();
    QWidget *client = story.form->centralWidget();
    story.form->windowHandle()->resize(story.form->width() + 60, story.form->height() + 40);
    QCoreApplication::processEvents();
    QVERIFY(story.form->width() > client->width());
    const QImage image = story.form->grab().toImage();
    const QColor blue(192, 192, 255);
    const QPoint below = client->geometry().bottomLeft() + QPoint(2, 20);
    const QPoint right = client->geometry().topRight() + QPoint(30, 2);
    QCOMPARE(image.pixelColor(below), blue);
    QCOMPARE(image.pixelColor(right), blue);
    QCOMPARE(image.pixelColor(client->geometry().topLeft() + QPoint(1, 1)), blue);
}

// The fragment files cut their lines to 46 characters: a row must show all of them.
void MainWindowTest::rowHolds46CharactersOfItsFont()
{
    Story story;
    QLabel *row = story.control(QStringLiteral("Label12"));
    const QFontMetricsF metrics(row->font());
    for (const QChar c : {QChar(u'W'), QChar(u'm'), QChar(u'Ж'), QChar(u'щ')}) {
        QCOMPARE(metrics.horizontalAdvance(c), 7.0);
        QVERIFY(metrics.horizontalAdvance(QString(46, c)) <= row->width());
    }
    // Drawn, the 46th character's ink stays inside the row.
    row->setText(QString(46, QLatin1Char('W')));
    const QImage image = row->grab().toImage();
    int rightmostInk = -1;
    for (int x = 0; x < image.width(); ++x) {
        for (int y = 0; y < image.height(); ++y) {
            if (qGray(image.pixel(x, y)) < 128)
                rightmostInk = x;
        }
    }
    QVERIFY(rightmostInk > 46 * 7 - 7);
    QVERIFY(rightmostInk < row->width());
}

void MainWindowTest::loadOffersTheOtherGenresAndShowsTheCountdown()
{
    Story story(2, 0);
    story.load();
    QCOMPARE(story.control(QStringLiteral("Label11"))->text(), kCountdown + QStringLiteral(" 10"));
    QCOMPARE(story.control(QStringLiteral("Label2"))->text(), QStringLiteral("Бета"));
    QCOMPARE(story.control(QStringLiteral("Label3"))->text(), QStringLiteral("Гамма"));
    QVERIFY(!story.control(QStringLiteral("Label2"))->isHidden());
    QVERIFY(!story.control(QStringLiteral("Label3"))->isHidden());
    QVERIFY(story.control(QStringLiteral("Label4"))->isHidden());
    auto *scroll = story.control<QScrollBar>(QStringLiteral("VScroll1"));
    QCOMPARE(scroll->minimum(), 1);
    QCOMPARE(scroll->maximum(), 1);
    for (int r = 0; r < 15; ++r)
        QCOMPARE(story.row(r), QString());
}

void MainWindowTest::choiceClickTellsTheNextStepAndRestartsTheCountdown()
{
    Story story;
    story.load();
    story.showWindow();
    story.form->Timer1_Timer();
    story.form->Timer1_Timer();
    QCOMPARE(story.control(QStringLiteral("Label11"))->text(), kCountdown + QStringLiteral(" 3"));

    clickAt(story.control(QStringLiteral("Label3")));
    QCOMPARE(story.row(0), windowStoryLine(kWindowGenres[2], 1));
    QCOMPARE(story.form->state().countdownMs, 5000);
    QCOMPARE(story.control(QStringLiteral("Label2"))->text(), QStringLiteral("Альфа"));
    QCOMPARE(story.control(QStringLiteral("Label3"))->text(), QStringLiteral("Бета"));
    QCOMPARE(story.control(QStringLiteral("Label3"))->accessibleName(), QStringLiteral("Бета"));
    // The caption waits for the next tick, which counts down from the full period.
    QCOMPARE(story.control(QStringLiteral("Label11"))->text(), kCountdown + QStringLiteral(" 3"));
    story.form->Timer1_Timer();
    QCOMPARE(story.control(QStringLiteral("Label11"))->text(), kCountdown + QStringLiteral(" 4"));

    // A hidden choice label takes no click: the click lands on the window behind it.
    clickAt(story.control(QStringLiteral("Label5")));
    QCOMPARE(story.form->state().stepNumber, 1);
}

void MainWindowTest::storyTextIsShownVerbatim()
{
    Story story;
    const QStringList lines = {QStringLiteral("<b>x</b>"), QStringLiteral("A & B"),
                               QStringLiteral("  отступ, \"кавычки\" "), QString()};
    story.tree.writeFragment(QStringLiteral("beta"), 1, {lines});
    story.load();
    story.form->Label2_Click();
    for (int r = 0; r < lines.size(); ++r) {
        QLabel *row = story.control(QStringLiteral("Label%1").arg(12 + r));
        QCOMPARE(row->text(), lines.at(r));
        QCOMPARE(row->textFormat(), Qt::PlainText);
    }
}

void MainWindowTest::digitKeysPickTheShownChoices()
{
    Story story;
    story.load();
    story.showWindow();
    // Only two choices are shown: 3 and 9 pick nothing.
    QTest::keyClick(story.form.get(), Qt::Key_3);
    QTest::keyClick(story.form.get(), Qt::Key_9);
    QCOMPARE(story.form->state().stepNumber, 0);
    QTest::keyClick(story.form.get(), Qt::Key_2);
    QCOMPARE(story.form->state().stepNumber, 1);
    QCOMPARE(story.form->state().currentGenre, 3);
    QCOMPARE(story.row(0), windowStoryLine(kWindowGenres[2], 1));
}

void MainWindowTest::scrollBarMovesOneRowForArrowAndTrough()
{
    Story story;
    QStringList lines;
    for (int i = 1; i <= 20; ++i)
        lines.append(QStringLiteral("строка %1").arg(i));
    story.tree.writeFragment(QStringLiteral("beta"), 1, {lines});
    story.load();
    story.form->Label2_Click();
    auto *scroll = story.control<QScrollBar>(QStringLiteral("VScroll1"));
    QCOMPARE(scroll->maximum(), 21);
    QCOMPARE(scroll->value(), 7);
    QCOMPARE(story.row(0), QStringLiteral("строка 7"));

    scroll->triggerAction(QAbstractSlider::SliderSingleStepSub);
    QCOMPARE(story.form->state().topLine, 6);
    QCOMPARE(story.row(0), QStringLiteral("строка 6"));
    scroll->triggerAction(QAbstractSlider::SliderPageStepSub);
    QCOMPARE(story.form->state().topLine, 5);
    QCOMPARE(story.row(0), QStringLiteral("строка 5"));
    scroll->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(story.row(0), QStringLiteral("строка 6"));
}

// The engine has followed its scroll bar already; showing its range must not do it again.
void MainWindowTest::showingTheScrollRangeDoesNotCallBack()
{
    Story story;
    QStringList lines;
    for (int i = 1; i <= 20; ++i)
        lines.append(QString::number(i));
    story.tree.writeFragment(QStringLiteral("beta"), 1, {lines});
    story.load();
    auto *scroll = story.control<QScrollBar>(QStringLiteral("VScroll1"));
    QSignalSpy changes(scroll, &QScrollBar::valueChanged);
    story.form->Label2_Click();
    story.form->startNewStory();
    QCOMPARE(changes.count(), 0);
    QCOMPARE(scroll->maximum(), 1);
    QCOMPARE(story.row(0), QString());
}

void MainWindowTest::menuCommandOpensItsDialogAndDisablesTheWindow_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("closer");
    QTest::newRow("settings, cancel") << QStringLiteral("option") << QStringLiteral("Command1");
    QTest::newRow("settings, ok") << QStringLiteral("option") << QStringLiteral("Command2");
    QTest::newRow("about, a text") << QStringLiteral("about") << QStringLiteral("Label3");
    QTest::newRow("about, the frame") << QStringLiteral("about") << QStringLiteral("Frame1");
}

void MainWindowTest::menuCommandOpensItsDialogAndDisablesTheWindow()
{
    QFETCH(QString, command);
    QFETCH(QString, closer);
    Story story;
    story.load();
    story.showWindow();
    story.action(command)->trigger();
    QPointer<QWidget> dialog = story.form->openDialog();
    QVERIFY(dialog);
    QVERIFY(dialog->isVisible());
    QCOMPARE(bool(qobject_cast<SettingsDialog *>(dialog)), command == QStringLiteral("option"));
    QCOMPARE(bool(qobject_cast<AboutDialog *>(dialog)), command == QStringLiteral("about"));
    QVERIFY(!story.form->isEnabled());

    // Nothing of the main window reacts: a choice, a digit, the close button, another command.
    clickAt(story.control(QStringLiteral("Label2")));
    QTest::ignoreMessage(QtWarningMsg, "Keyboard event not accepted by receiving widget");
    QTest::ignoreMessage(QtWarningMsg, "Keyboard event not accepted by receiving widget");
    QTest::keyClick(story.form.get(), Qt::Key_1);
    QCOMPARE(story.form->state().stepNumber, 0);
    QVERIFY(!story.form->close());
    story.form->option_Click();
    story.form->about_Click();
    QCOMPARE(story.form->openDialog(), dialog.data());

    QWidget *target = dialog->findChild<QWidget *>(closer);
    QVERIFY(target);
    if (closer == QStringLiteral("Frame1"))
        QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(3, target->height() - 3));
    else
        clickAt(target);
    flushDeletes();
    QVERIFY(!dialog);
    QVERIFY(story.form->isEnabled());
    clickAt(story.control(QStringLiteral("Label2")));
    QCOMPARE(story.form->state().stepNumber, 1);
}

void MainWindowTest::disabledWindowLooksTheSame()
{
    Story story;
    story.load();
    story.form->Label2_Click();
    story.showWindow();
    story.form->centralWidget()->setFocus();
    const QImage enabled = story.form->grab().toImage();
    story.form->disableMainWindow();
    QCOMPARE(story.form->grab().toImage(), enabled);
    story.form->enableMainWindow();
}

void MainWindowTest::ticksWhileADialogIsOpenStillTellSteps()
{
    // A waiting period of 0 is one second: the program moves at every tick.
    Story story(0, 0);
    story.load();
    story.showWindow();
    story.action(QStringLiteral("option"))->trigger();
    QVERIFY(story.form->openDialog());
    QVERIFY(story.timer(1)->isActive());
    story.form->Timer1_Timer();
    story.form->Timer1_Timer();
    QCOMPARE(story.row(0), windowStoryLine(kWindowGenres[0], 1));
    QCOMPARE(story.row(1), windowStoryLine(kWindowGenres[0], 2));
    QCOMPARE(story.control(QStringLiteral("Label11"))->text(), kCountdown + QStringLiteral(" 0"));
    QVERIFY(!story.form->isEnabled());
    QVERIFY(story.form->openDialog()->isVisible());
}

void MainWindowTest::finaleMakesTheButtonBlinkAtEachTimer2Tick()
{
    Story story;
    story.load();
    story.showWindow();
    auto *button = story.control<QPushButton>(QStringLiteral("Command1"));
    const QRgb normal = qRgb(255, 192, 192);
    const QRgb blink = qRgb(255, 128, 128);
    QVERIFY(near(buttonFace(button), normal));
    // Always the first offered genre: genres alternate 2, 1, 2, ... and step 37 draws IQ 80.
    for (int move = 1; move <= 64; ++move)
        story.form->Label2_Click();
    QCOMPARE(story.form->state().stepNumber, 65);
    QVERIFY(!story.timer(1)->isActive());
    QVERIFY(story.timer(2)->isActive());
    QVERIFY(story.control(QStringLiteral("Label11"))->isHidden());
    for (int n = 2; n <= 10; ++n)
        QVERIFY(story.control(QStringLiteral("Label%1").arg(n))->isHidden());
    QVERIFY(toldLines(story.form->state()).contains(QStringLiteral("Конец 3 2")));
    QVERIFY(toldLines(story.form->state()).contains(QStringLiteral("ИТОГ: 80")));

    for (const QRgb expected : {blink, normal, blink, normal}) {
        story.form->Timer2_Timer();
        QCOMPARE(button->palette().color(QPalette::Button).rgb(), expected);
        QVERIFY(near(buttonFace(button), expected));
    }
    story.form->Timer2_Timer();
    clickAt(button);
    QCOMPARE(button->palette().color(QPalette::Button).rgb(), normal);
    QVERIFY(story.timer(1)->isActive());
    QVERIFY(!story.timer(2)->isActive());
    QVERIFY(!story.control(QStringLiteral("Label11"))->isHidden());
    QCOMPARE(story.row(0), QString());
}

void MainWindowTest::missingFragmentShowsOneMessageAndKeepsTheStory()
{
    Story story(0, 0);
    QVERIFY(story.tree.remove(QStringLiteral("Genres/alpha/3.vtq")));
    story.load();
    story.showWindow();
    story.form->Timer1_Timer();
    story.form->Timer1_Timer();
    const vorta::StoryState before = story.form->state();
    QVERIFY(!story.form->openMessage());

    story.form->Timer1_Timer();
    QPointer<QMessageBox> message = story.form->openMessage();
    QVERIFY(message);
    QVERIFY(message->isVisible());
    QVERIFY(message->text().contains(QStringLiteral("Genres/alpha/3.vtq")));
    QCOMPARE(story.row(0), windowStoryLine(kWindowGenres[0], 1));
    QCOMPARE(story.row(1), windowStoryLine(kWindowGenres[0], 2));
    QCOMPARE(story.form->state().stepNumber, before.stepNumber);
    QCOMPARE(story.form->state().storyLines, before.storyLines);
    // No countdown while the message is shown, and a second failure opens no second message.
    QVERIFY(!story.timer(1)->isActive());
    story.form->Timer1_Timer();
    QCOMPARE(story.form->openMessage(), message.data());
    int shown = 0;
    for (QWidget *window : QApplication::topLevelWidgets())
        shown += qobject_cast<QMessageBox *>(window) && window->isVisible();
    QCOMPARE(shown, 1);

    message->button(QMessageBox::Ok)->click();
    flushDeletes();
    QVERIFY(!message);
    QVERIFY(!story.form->openMessage());
    QVERIFY(story.timer(1)->isActive());
    QVERIFY(story.form->isEnabled());
}

void MainWindowTest::settingsDialogThatCannotReadItsFileDoesNotOpen()
{
    Story story;
    story.load();
    story.showWindow();
    QVERIFY(story.tree.remove(QStringLiteral("vorta.cfg")));
    story.action(QStringLiteral("option"))->trigger();
    QVERIFY(!story.form->openDialog());
    QVERIFY(story.form->isEnabled());
    QPointer<QMessageBox> message = story.form->openMessage();
    QVERIFY(message);
    QVERIFY(message->text().contains(QStringLiteral("vorta.cfg")));
    message->button(QMessageBox::Ok)->click();
    flushDeletes();
    QVERIFY(!story.form->openMessage());
}

// A saved story set aside is told once the window shows, a save that fails once; the story goes
// on, and is found again when the window opens again.
void MainWindowTest::storySetAsideAndFailedSaveAreToldOnce()
{
    Story story;
    story.tree.writeText(vorta::toQString(vorta::kSavedStoryFile), QStringLiteral("не рассказ"));
    story.load();
    QVERIFY(!story.form->openMessage());
    story.showWindow();
    QTRY_VERIFY(story.form->openMessage());
    QVERIFY(
        story.form->openMessage()->text().contains(QStringLiteral("story.journal.unreadable-")));
    story.form->openMessage()->button(QMessageBox::Ok)->click();
    flushDeletes();
    for (int i = 0; i < 2; ++i) {
        const NoFileGrowth fullDisk;
        story.form->Label2_Click();
        QCOMPARE(bool(story.form->openMessage()), i == 0);
        if (QMessageBox *message = story.form->openMessage()) {
            QVERIFY(message->text().contains(QStringLiteral("\nФайл: story.journal")));
            message->button(QMessageBox::Ok)->click();
            flushDeletes();
        }
    }
    QCOMPARE(story.form->state().stepNumber, 2);
    QVERIFY(story.timer(1)->isActive());

    // Saved again at the next step, the story is where the window opened again finds it.
    story.form->Label2_Click();
    const QStringList rows = {story.row(0), story.row(1), story.row(2), story.row(3)};
    story.form = std::make_unique<MainWindow>(story.random, story.tree.dir());
    story.load();
    story.showWindow();
    QCOMPARE(QStringList({story.row(0), story.row(1), story.row(2), story.row(3)}), rows);
    QCOMPARE(story.form->state().stepNumber, 3);
    QVERIFY(!story.form->openMessage());
}

void MainWindowTest::everyNoticeOfOneEventIsShown_data()
{
    QTest::addColumn<bool>("atStart");     // otherwise at a tick on which the program moves
    QTest::addColumn<QStringList>("told"); // how each message begins, in the order shown
    using vorta::ErrorKind;
    const auto kind = [](ErrorKind k) {
        return vorta::toQString(vorta::StoryError(k).kindText());
    };
    QTest::newRow("a saved story set aside, and a full disk")
        << true
        << QStringList{kind(ErrorKind::SavedStoryUnreadable), kind(ErrorKind::FileNotWritten)};
    QTest::newRow("settings gone, and a full disk")
        << false << QStringList{kind(ErrorKind::FileNotFound), kind(ErrorKind::FileNotWritten)};
}

// One event can have more than one thing to tell: each message shows when the one before it is
// closed.
void MainWindowTest::everyNoticeOfOneEventIsShown()
{
    QFETCH(bool, atStart);
    QFETCH(QStringList, told);
    Story story(0, 0);
    if (atStart) {
        story.tree.writeText(vorta::toQString(vorta::kSavedStoryFile),
                             QStringLiteral("не рассказ"));
        const NoFileGrowth fullDisk;
        story.load();
        story.showWindow();
    } else {
        story.load();
        story.showWindow();
        QVERIFY(story.tree.remove(QStringLiteral("vorta.cfg")));
        const NoFileGrowth fullDisk;
        story.form->Timer1_Timer();
    }
    QStringList shown;
    while (QPointer<QMessageBox> message = story.form->openMessage()) {
        QCOMPARE(message->windowTitle(), story.form->windowTitle());
        shown.append(message->text());
        message->button(QMessageBox::Ok)->click();
        flushDeletes();
        QTRY_VERIFY(!message);
    }
    QCOMPARE(shown.size(), told.size());
    for (qsizetype i = 0; i < told.size(); ++i)
        QVERIFY2(shown.at(i).startsWith(told.at(i)), qPrintable(shown.at(i)));
    QVERIFY(story.timer(1)->isActive());
}

void MainWindowTest::newStoryAsksInTheMiddleOfAStory_data()
{
    QTest::addColumn<int>("moves");    // the reader's moves before the button
    QTest::addColumn<bool>("bySpace"); // Space on the button that has the focus; else a click
    QTest::addColumn<int>("answer");   // the key that answers the question; 0: none is asked
    QTest::addColumn<int>("step");     // the step after
    QTest::newRow("in the middle, Return starts anew") << 5 << false << int(Qt::Key_Return) << 0;
    QTest::newRow("in the middle, Escape keeps the story")
        << 5 << false << int(Qt::Key_Escape) << 5;
    QTest::newRow("Space on the button, Return") << 5 << true << int(Qt::Key_Return) << 0;
    QTest::newRow("before the first step, at once") << 0 << false << 0 << 0;
    QTest::newRow("after the finale, at once") << 64 << false << 0 << 0;
}

// A story under way is never lost to one click; while the reader is asked, the program makes no
// move of its own.
void MainWindowTest::newStoryAsksInTheMiddleOfAStory()
{
    QFETCH(int, moves);
    QFETCH(bool, bySpace);
    QFETCH(int, answer);
    QFETCH(int, step);
    Story story(0, 0);
    story.load();
    story.showWindow();
    for (int move = 0; move < moves; ++move)
        story.form->Label2_Click();
    const QStringList told = toldLines(story.form->state());
    auto *button = story.control<QPushButton>(QStringLiteral("Command1"));
    if (bySpace) {
        button->setFocus(Qt::TabFocusReason);
        QTest::keyClick(button, Qt::Key_Space);
    } else {
        clickAt(button);
    }
    QMessageBox *question = story.form->openMessage();
    QCOMPARE(bool(question), answer != 0);
    if (question) {
        QCOMPARE(question->objectName(), QStringLiteral("newStoryQuestion"));
        QVERIFY(!story.timer(1)->isActive());
        story.form->Timer1_Timer();
        QCOMPARE(toldLines(story.form->state()), told);
        answerNewStoryQuestion(*story.form, Qt::Key(answer));
        QVERIFY(!story.form->openMessage());
    }
    QCOMPARE(story.form->state().stepNumber, step);
    QVERIFY(story.timer(1)->isActive());
}

QTEST_MAIN(MainWindowTest)
#include "tst_main_window.moc"
