// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QPointer>

class QMenuBar;
class QWidget;

namespace vorta::ui {

// The keyboard's way into a menu bar of commands without drop-down lists, as F10 opens menus on
// the desktop: toggle() highlights the first command, as Alt does through the bar itself; Left
// and Right (or Tab) move along, Return, Enter, Space or Down run the highlighted command, Escape
// or toggle() again leave. Whichever way the bar was entered, leaving it ends its keyboard mode
// and the focus goes back where it was.
class MenuKeys : public QObject
{
    Q_OBJECT
public:
    explicit MenuKeys(QMenuBar *bar);

    void toggle();
    bool isActive() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void enter();
    void leave();
    void move(int step);

    QMenuBar *m_bar;
    QPointer<QWidget> m_back;
    // While the bar is handed a key of its own, past this filter.
    bool m_passingOn = false;
};

} // namespace vorta::ui
