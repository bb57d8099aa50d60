// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QStringList>

#include <QWidget>
#include <string>
#include <vector>

class QKeyEvent;
class QLabel;
class QScrollBar;

namespace vorta::ui {

// The white page of the story rows. It takes the focus, turns the wheel and the keys that
// scroll into whole rows, and offers its actions as a context menu. Every way the reader
// scrolls moves the scroll bar, whose change the window hands to the story; the view shows
// what the story then holds.
//
// For assistive technologies it is the whole story as one read-only text, every line told and
// not only the rows in view, with a caret on one line: the line that a screen reader reads and
// reads on from. The caret always stands on a line in view.
class StoryView : public QWidget
{
    Q_OBJECT
public:
    // rowPitch: the pixels from one row to the next, the unit of a touchpad's pixel deltas.
    StoryView(int rowPitch, QWidget *parent);

    // The scroll bar beside the page; the wheel over it scrolls as over the rows.
    void setScrollBar(QScrollBar *bar);
    // Up and Down move the view and the caret a line, PageUp and PageDown a page, Ctrl+Home and
    // Ctrl+End to the story's start and end. False for any other key.
    bool scrollKey(const QKeyEvent *event);

    void setRowPitch(int rowPitch) { m_rowPitch = rowPitch; }
    // The rows that show the story, top to bottom, for where a line stands on the screen.
    void setRows(const QList<QLabel *> &rows) { m_rows = rows; }

    // What showing the story changed: the lines told since it was last shown, or a new story.
    struct Change
    {
        bool restarted = false;
        QStringList told;
    };
    // Shows the story told so far, entries 1 .. toldLines of storyLines, with line topLine in
    // the first row. The caret goes to the first line just told, and stays in view.
    Change showStory(const std::vector<std::u16string> &storyLines, int toldLines, int topLine);

    // The story as one text, its lines joined by line feeds.
    const QString &text() const { return m_text; }
    int lineCount() const { return int(m_lines.size()); }
    // Lines count from 1. Where a line starts, and where it ends, before its line feed.
    int lineStart(int line) const;
    int lineEnd(int line) const;
    // The line an offset of the text falls on; 0 in an empty story.
    int lineAt(int offset) const;
    int topLine() const { return m_top; }
    // Where a character stands on the screen, in global coordinates; empty out of view.
    QRect characterRect(int offset) const;
    // The character at a point on the screen; -1 where there is none.
    int offsetAt(const QPoint &globalPoint) const;

    // The caret's line; 0 while nothing has been told.
    int caretLine() const { return m_caret; }
    // Puts the caret on `line`, kept within the story and within the rows shown from `top`.
    void setCaretLine(int line, int top);
    // Puts the caret on a line, scrolling to it where it lies out of view.
    void showCaretLine(int line);

protected:
    void wheelEvent(QWheelEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void reportCaret();
    void scrollTo(int top);
    // Puts the caret on a story line and the view at `top`, so that a screen reader hears of
    // the caret once, on the line in view.
    void moveCaretAndView(int line, int top);

    int m_rowPitch;
    QScrollBar *m_bar = nullptr;
    QList<QLabel *> m_rows;
    QStringList m_lines;
    QList<int> m_starts;
    QString m_text;
    int m_top = 1;
    int m_caret = 0;
    // What is left of the deltas that did not make a whole row, so slow touchpads and fine
    // wheels still scroll.
    int m_pixelRest = 0;
    int m_angleRest = 0;
};

} // namespace vorta::ui
