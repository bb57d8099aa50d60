// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/story_state.h"

#include <array>

class QAction;
class QLabel;
class QMainWindow;
class QPushButton;
class QScrollBar;
class QTimer;

namespace vorta::ui {

class Announcer;
class ChoiceLabel;
class CountdownBar;
class MenuKeys;
class StoryView;
class ZoomLayout;

// The main window's controls that change as the story goes on, each named as the design names
// it. The heading, its rule and the page's margin are built with them and never change.
struct MainWindowControls
{
    QAction *option = nullptr; // the menu command «Установки»
    QAction *about = nullptr;  // the menu command «О программе»
    MenuKeys *menuKeys = nullptr;
    CountdownBar *countdown = nullptr; // the status bar that holds Label11
    QLabel *label11 = nullptr;
    Announcer *announcer = nullptr;
    std::array<ChoiceLabel *, kOfferedSlots> choiceLabels{}; // Label2 .. Label10
    StoryView *story = nullptr;                              // the page of the rows
    std::array<QLabel *, kViewportRows> rows{};              // Label12 .. Label26
    QScrollBar *vscroll1 = nullptr;
    QPushButton *command1 = nullptr;
    QLabel *label28 = nullptr; // the new-story button's two colours, never shown
    QLabel *label29 = nullptr;
    QTimer *timer1 = nullptr; // the countdown's second
    QTimer *timer2 = nullptr; // the blink after the finale
};

// Builds the window's controls at the design's measures, in twips, each placed through `layout`
// so that the zoom lays the whole window out again. Nothing is connected to the story yet.
MainWindowControls buildMainWindowControls(QMainWindow *window, ZoomLayout &layout);

} // namespace vorta::ui
