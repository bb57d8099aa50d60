// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QWidget;

namespace vorta::ui {

// What the window has to tell the reader, in message boxes shown one at a time in the order
// they came: the next shows when the reader closes the one shown, so no message is lost to
// another. Each box holds the whole program (it is modal to the application) and has no
// parent, so that a dialog that disables the window does not disable the box.
class NoticeQueue : public QObject
{
    Q_OBJECT
public:
    // Messages show only while `window` is on the screen; those that come before it is wait.
    explicit NoticeQueue(QWidget *window);
    ~NoticeQueue() override;

    // Adds a message under a title. `seen` runs once the reader has closed it. A message the
    // same as one shown or waiting is not added again.
    void post(const QString &title, const QString &text, std::function<void()> seen = {});
    // Shows the first message waiting, unless one is shown or the window is not on the screen.
    void showNext();
    // The message shown, if any.
    QMessageBox *shown() const { return m_box; }

Q_SIGNALS:
    // A message was shown or closed.
    void changed();

private:
    struct Notice
    {
        QString title;
        QString text;
        std::function<void()> seen;
    };

    QWidget *m_window;
    QList<Notice> m_waiting;
    Notice m_shown;
    QPointer<QMessageBox> m_box;
};

} // namespace vorta::ui
