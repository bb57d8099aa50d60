// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "menu_keys.h"

#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QScopedValueRollback>

#include <utility>

namespace vorta::ui {

MenuKeys::MenuKeys(QMenuBar *bar) : QObject(bar), m_bar(bar)
{
    bar->installEventFilter(this);
}

bool MenuKeys::isActive() const
{
    return m_bar->hasFocus() && m_bar->activeAction();
}

void MenuKeys::toggle()
{
    if (isActive())
        leave();
    else
        enter();
}

void MenuKeys::enter()
{
    const QList<QAction *> actions = m_bar->actions();
    if (actions.isEmpty() || !m_bar->isEnabled())
        return;
    m_back = m_bar->window()->focusWidget();
    m_bar->setFocus(Qt::MenuBarFocusReason);
    m_bar->setActiveAction(actions.constFirst());
}

void MenuKeys::leave()
{
    // Alt enters the bar's own keyboard mode, which only its own Escape ends: left behind, it
    // would make the next Alt leave the bar instead of entering it.
    {
        const QScopedValueRollback passing(m_passingOn, true);
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(m_bar, &escape);
    }
    m_bar->setActiveAction(nullptr);
    if (const QPointer<QWidget> back = std::exchange(m_back, nullptr))
        back->setFocus(Qt::MenuBarFocusReason);
    else if (m_bar->hasFocus())
        m_bar->clearFocus();
}

void MenuKeys::move(int step)
{
    const QList<QAction *> actions = m_bar->actions();
    const qsizetype count = actions.size();
    const qsizetype at = actions.indexOf(m_bar->activeAction());
    m_bar->setActiveAction(actions.at(((at + step) % count + count) % count));
}

bool MenuKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_bar || m_passingOn)
        return false;
    if (event->type() == QEvent::FocusOut) {
        // A click elsewhere leaves the menu bar; nothing stays highlighted.
        if (m_bar->activeAction() && !m_bar->hasFocus())
            m_bar->setActiveAction(nullptr);
        return false;
    }
    if (event->type() != QEvent::KeyPress || !isActive())
        return false;
    switch (static_cast<QKeyEvent *>(event)->key()) {
    case Qt::Key_Left:
    case Qt::Key_Backtab:
        move(-1);
        return true;
    case Qt::Key_Right:
    case Qt::Key_Tab:
        move(1);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
    case Qt::Key_Down: {
        QAction *command = m_bar->activeAction();
        leave();
        command->trigger();
        return true;
    }
    case Qt::Key_Escape:
        leave();
        return true;
    default:
        // Any other key leaves the menu bar and does what it does in the window.
        leave();
        return false;
    }
}

} // namespace vorta::ui
