// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "format/story_metadata.h"

#include <QWidget>

#include <optional>

class QScrollArea;

namespace vorta::ui {
class ClickFrame;
class ClickLabel;
} // namespace vorta::ui

// The about dialog: a few lines about the program. A click anywhere on it closes it. From the
// keyboard, its frame holds the focus as a button that closes it, and Escape closes it too. A
// story other than the one the program comes with has a part of its own beneath the program's,
// «Рассказ»: its title, author, version and about-lines, each whole, wrapped; what the screen
// cannot hold scrolls, with the wheel or Up, Down, PageUp, PageDown, Home and End.
class AboutDialog : public QWidget
{
    Q_OBJECT
public:
    // zoom: the size, in percent of the designed one, as the main window has it, or as large as
    // the screen holds. story: what the story says of itself, for a story of its own.
    explicit AboutDialog(int zoom = 100, const std::optional<vorta::StoryMetadata> &story = {},
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
    // The story's part beneath the program's, at the zoom; the dialog grows to hold it.
    void addStoryPart(const vorta::StoryMetadata &story, int zoom);

    vorta::ui::ClickFrame *m_frame1 = nullptr;
    QScrollArea *m_storyLines = nullptr;
    bool m_closed = false;
};
