// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QStringList>
#include <QWidget>

namespace vorta::ui {
class ClickFrame;
class ClickLabel;
} // namespace vorta::ui

// The about dialog: a few lines about the program. A click anywhere on it closes it. From the
// keyboard, its frame holds the focus as a button that closes it, and Escape closes it too. A
// story other than the one the program comes with has its own lines beneath the program's.
class AboutDialog : public QWidget
{
    Q_OBJECT
public:
    // zoom: the size, in percent of the designed one, as the main window has it. storyLines:
    // the story's title, author and about-lines, a few at most.
    explicit AboutDialog(int zoom = 100, const QStringList &storyLines = {},
                         QWidget *parent = nullptr);

public Q_SLOTS:
    void Frame1_Click();
    void Label1_Click();
    void Label2_Click();
    void Label3_Click();
    void Label4_Click();
    void Label5_Click();

Q_SIGNALS:
    // The dialog has closed, whichever way.
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    // The margin around the frame closes the dialog too.
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    vorta::ui::ClickFrame *m_frame1 = nullptr;
    bool m_closed = false;
};
