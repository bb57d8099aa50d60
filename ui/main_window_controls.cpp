// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "main_window_controls.h"

#include "ui/announcer.h"
#include "ui/choice_label.h"
#include "ui/controls.h"
#include "ui/countdown_bar.h"
#include "ui/menu_keys.h"
#include "ui/story_view.h"
#include "ui/zoom_layout.h"

#include <QAction>
#include <QLabel>
#include <QLayout>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

namespace vorta::ui {

namespace {

const QColor kWindowColour = QColor::fromRgb(192, 192, 255);
const QColor kWhite = QColor::fromRgb(255, 255, 255);
const QColor kBlack = QColor::fromRgb(0, 0, 0);
// The desktop's colour for the text of an inactive title bar, as the classic desktop had it.
const QColor kChoiceColour = QColor::fromRgb(212, 208, 200);

// A disabled window must look exactly like an enabled one: the disabled colours are the
// active ones.
void keepLookWhenDisabled(QWidget *widget)
{
    QPalette palette = widget->palette();
    for (int role = 0; role < QPalette::NColorRoles; ++role) {
        const auto r = QPalette::ColorRole(role);
        palette.setColor(QPalette::Disabled, r, palette.color(QPalette::Active, r));
    }
    widget->setPalette(palette);
}

void paintBox(QLabel *label, const QColor &back)
{
    label->setAutoFillBackground(true);
    setRoleColour(label, QPalette::Window, back);
    setRoleColour(label, QPalette::WindowText, kBlack);
}

QTimer *makeTimer(const QString &name, int intervalMs, QObject *parent)
{
    auto *timer = new QTimer(parent);
    timer->setObjectName(name);
    timer->setInterval(intervalMs);
    return timer;
}

// The white page: the margin and the rows, one row every 240 twips, beside the scroll bar.
void buildPage(MainWindowControls &c, QWidget *client, ZoomLayout &layout)
{
    const QRect page(90, 600, 5035 - 90, 3615);
    c.story = new StoryView(twipsRect(0, 0, 0, 240).height(), client);
    c.story->setObjectName(QStringLiteral("story"));
    layout.place(c.story, page);
    c.story->setAccessibleName(QStringLiteral("Рассказ"));

    auto *label27 = new QLabel(c.story);
    makeLabel(label27, QStringLiteral("Label27"), QRect(), Qt::AlignLeft);
    layout.place(label27, QRect(90, 600, 70, 3615), page);
    paintBox(label27, kWhite);

    QList<QLabel *> rows;
    for (int r = 0; r < kViewportRows; ++r) {
        auto *row = new QLabel(c.story);
        makeLabel(row, QStringLiteral("Label%1").arg(12 + r), QRect(), Qt::AlignLeft);
        layout.place(row, QRect(160, 600 + 240 * r, 4875, 255), page);
        // The fragment files cut their lines to fit the row at the normal size; at every other
        // size the row holds as many characters.
        layout.monoFont(row, 9, false, kRowWidth);
        paintBox(row, kWhite);
        c.rows[std::size_t(r)] = row;
        rows.append(row);
    }
    c.story->setRows(rows);
    // The page takes the wheel and the context menu over its rows.
    for (QLabel *label : c.story->findChildren<QLabel *>())
        label->setAttribute(Qt::WA_TransparentForMouseEvents);

    c.vscroll1 = new QScrollBar(Qt::Vertical, client);
    c.vscroll1->setObjectName(QStringLiteral("VScroll1"));
    layout.place(c.vscroll1, QRect(5040, 600, 255, 3615));
    // One row for an arrow and one for the trough; the view follows the thumb when it is let go.
    c.vscroll1->setSingleStep(1);
    c.vscroll1->setPageStep(1);
    c.vscroll1->setTracking(false);
    c.vscroll1->setAccessibleName(QStringLiteral("Прокрутка рассказа"));
    c.story->setScrollBar(c.vscroll1);
}

// The heading «ДЕЙСТВИЯ» with its rule.
void buildHeading(QWidget *client, ZoomLayout &layout)
{
    auto *label1 = new QLabel(QStringLiteral("ДЕЙСТВИЯ"), client);
    makeLabel(label1, QStringLiteral("Label1"), QRect(), Qt::AlignHCenter);
    layout.place(label1, QRect(5400, 120, 2655, 375));
    layout.monoFont(label1, 12, true);
    paintBox(label1, kWindowColour);
    label1->setAccessibleName(label1->text());

    // The rule lies inside the heading's box, so it is raised over the heading's back colour.
    auto *line1 = new QWidget(client);
    line1->setObjectName(QStringLiteral("Line1"));
    layout.place(line1, QRect(5400, 480, 8040 - 5400, 15));
    line1->setAutoFillBackground(true);
    setRoleColour(line1, QPalette::Window, kBlack);
    line1->raise();
}

// The genres on offer, and the new-story button with its two colours.
void buildChoices(MainWindowControls &c, QWidget *client, ZoomLayout &layout)
{
    for (int k = 0; k < kOfferedSlots; ++k) {
        auto *choice = new ChoiceLabel(client);
        makeLabel(choice, QStringLiteral("Label%1").arg(2 + k), QRect(), Qt::AlignHCenter);
        layout.place(choice, QRect(5400, 600 + 360 * k, 2655, 255));
        layout.monoFont(choice, 12, true);
        paintBox(choice, kChoiceColour);
        // The keyboard's, not the mouse's: a click makes the move and leaves the focus where it
        // was.
        choice->setFocusPolicy(Qt::TabFocus);
        c.choiceLabels[std::size_t(k)] = choice;
    }

    c.command1 = new ColourButton(QStringLiteral("Начать новый рассказ"), client);
    c.command1->setObjectName(QStringLiteral("Command1"));
    layout.place(c.command1, QRect(5400, 3960, 2655, 375));
    layout.monoFont(c.command1, 9.75, true);
    c.command1->setAutoDefault(false);
    setRoleColour(c.command1, QPalette::ButtonText, kBlack);
    c.command1->setAccessibleName(c.command1->text());

    c.label28 = new QLabel(QStringLiteral("Label28"), client);
    makeLabel(c.label28, QStringLiteral("Label28"), QRect(), Qt::AlignLeft);
    layout.place(c.label28, QRect(5400, 4320, 135, 135));
    c.label29 = new QLabel(QStringLiteral("Label29"), client);
    makeLabel(c.label29, QStringLiteral("Label29"), QRect(), Qt::AlignLeft);
    layout.place(c.label29, QRect(5640, 4320, 135, 135));
    paintBox(c.label28, kButtonColour);
    paintBox(c.label29, kBlinkColour);
    for (QLabel *holder : {c.label28, c.label29}) {
        holder->setAccessibleName(holder->text());
        holder->hide();
    }
}

} // namespace

MainWindowControls buildMainWindowControls(QMainWindow *window, ZoomLayout &layout)
{
    MainWindowControls c;
    // The mnemonics open the commands with Alt; F10 reaches them too, through the menu keys.
    QMenuBar *menu = window->menuBar();
    c.option = menu->addAction(QStringLiteral("&Установки"));
    c.option->setObjectName(QStringLiteral("option"));
    c.about = menu->addAction(QStringLiteral("&О программе"));
    c.about->setObjectName(QStringLiteral("about"));
    c.menuKeys = new MenuKeys(menu);
    layout.dialogFont(menu);
    // The menu bar keeps the desktop's colour; the rest of the window, also where it reaches
    // beyond the controls, is the light blue.
    setRoleColour(menu, QPalette::Window, menu->palette().color(QPalette::Window));
    setRoleColour(window, QPalette::Window, kWindowColour);

    auto *client = new QWidget(window);
    client->setObjectName(QStringLiteral("client"));
    layout.fixSize(client, QSize(8190, 4455));
    client->setAutoFillBackground(true);
    setRoleColour(client, QPalette::Window, kWindowColour);
    window->setCentralWidget(client);
    window->layout()->setSizeConstraint(QLayout::SetFixedSize);
    c.announcer = new Announcer(client);

    // The countdown label stands in a bar of its own size, which takes the focus.
    const QRect countdown(240, 120, 4935, 375);
    c.countdown = new CountdownBar(client);
    layout.place(c.countdown, countdown);
    c.countdown->setAutoFillBackground(true);
    setRoleColour(c.countdown, QPalette::Window, kWindowColour);
    c.label11 = new QLabel(c.countdown);
    makeLabel(c.label11, QStringLiteral("Label11"), QRect(), Qt::AlignLeft);
    layout.place(c.label11, countdown, countdown);
    layout.monoFont(c.label11, 9.75, true);
    setRoleColour(c.label11, QPalette::WindowText, kBlack);
    // A click on the countdown is the bar's.
    c.label11->setAttribute(Qt::WA_TransparentForMouseEvents);

    buildHeading(client, layout);
    buildPage(c, client, layout);
    buildChoices(c, client, layout);

    // Tab goes from the story through the genres on offer to the new-story button, then to
    // the countdown.
    QWidget *previous = c.story;
    for (ChoiceLabel *choice : c.choiceLabels) {
        QWidget::setTabOrder(previous, choice);
        previous = choice;
    }
    QWidget::setTabOrder(previous, c.command1);
    QWidget::setTabOrder(c.command1, c.countdown);
    c.story->setFocus();

    c.timer1 = makeTimer(QStringLiteral("Timer1"), 1000, window);
    c.timer2 = makeTimer(QStringLiteral("Timer2"), 500, window);
    keepLookWhenDisabled(window);
    keepLookWhenDisabled(menu);
    return c;
}

} // namespace vorta::ui
