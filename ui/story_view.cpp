// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "story_view.h"

#include "format/qt_text.h"

#include "core/story_facts.h"

#include <QAccessible>
#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

namespace vorta::ui {

namespace {

// One notch of a common wheel, in eighths of a degree.
constexpr int kNotch = 120;

} // namespace

StoryView::StoryView(int rowPitch, QWidget *parent) : QWidget(parent), m_rowPitch(rowPitch)
{
    setFocusPolicy(Qt::StrongFocus);
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

StoryView::Change StoryView::showStory(const std::vector<std::u16string> &storyLines, int toldLines,
                                       int topLine)
{
    Change change;
    const int known = lineCount();
    const auto lineAt = [&storyLines](int entry) {
        return entry >= 0 && std::size_t(entry) < storyLines.size()
                   ? toQString(storyLines[std::size_t(entry)])
                   : QString();
    };
    // Lines once told never change; a story with fewer lines, or another last line, is new.
    change.restarted = toldLines < known || (known > 0 && lineAt(known) != m_lines.constLast());
    if (change.restarted && !m_text.isEmpty()) {
        const QString removed = m_text;
        m_lines.clear();
        m_starts.clear();
        m_text.clear();
        m_caret = 0;
        QAccessibleTextRemoveEvent event(this, 0, removed);
        QAccessible::updateAccessibility(&event);
    }
    const int from = lineCount() + 1;
    for (int entry = from; entry <= toldLines; ++entry)
        change.told.append(lineAt(entry));
    if (!change.told.isEmpty()) {
        const int at = int(m_text.size());
        for (const QString &line : std::as_const(change.told)) {
            if (!m_lines.isEmpty())
                m_text += QLatin1Char('\n');
            m_starts.append(int(m_text.size()));
            m_lines.append(line);
            m_text += line;
        }
        QAccessibleTextInsertEvent event(this, at, m_text.mid(at));
        QAccessible::updateAccessibility(&event);
    }
    m_top = topLine;
    setCaretLine(change.told.isEmpty() ? m_caret : from, topLine);
    return change;
}

int StoryView::lineStart(int line) const
{
    return line >= 1 && line <= lineCount() ? m_starts.at(line - 1) : 0;
}

int StoryView::lineEnd(int line) const
{
    return lineStart(line) + int(m_lines.value(line - 1).size());
}

int StoryView::lineAt(int offset) const
{
    // The last line that starts at or before the offset.
    return int(std::upper_bound(m_starts.cbegin(), m_starts.cend(), offset) - m_starts.cbegin());
}

QRect StoryView::characterRect(int offset) const
{
    const int line = lineAt(offset);
    const int row = line - m_top;
    if (line < 1 || row < 0 || row >= m_rows.size())
        return {};
    const QLabel *label = m_rows.at(row);
    const QFontMetrics metrics(label->font());
    const QString text = m_lines.at(line - 1);
    const int column = offset - lineStart(line);
    const int x = metrics.horizontalAdvance(text.left(column));
    const int width = column < text.size() ? metrics.horizontalAdvance(text.at(column)) : 1;
    return QRect(label->mapToGlobal(QPoint(x, 0)), QSize(width, label->height()));
}

int StoryView::offsetAt(const QPoint &globalPoint) const
{
    for (int row = 0; row < m_rows.size(); ++row) {
        const QLabel *label = m_rows.at(row);
        const QPoint at = label->mapFromGlobal(globalPoint);
        const int line = m_top + row;
        if (!label->rect().contains(at) || line < 1 || line > lineCount())
            continue;
        const QFontMetrics metrics(label->font());
        const QString text = m_lines.at(line - 1);
        int column = 0;
        while (column < text.size() && metrics.horizontalAdvance(text.left(column + 1)) <= at.x())
            ++column;
        return column < text.size() ? lineStart(line) + column : -1;
    }
    return -1;
}

void StoryView::setCaretLine(int line, int top)
{
    const int last = std::min(lineCount(), top + int(m_rows.size()) - 1);
    const int caret = last < 1 ? 0 : std::clamp(line, std::max(1, std::min(top, last)), last);
    if (caret == m_caret)
        return;
    m_caret = caret;
    reportCaret();
}

void StoryView::reportCaret()
{
    QAccessibleTextCursorEvent event(this, lineStart(m_caret));
    QAccessible::updateAccessibility(&event);
}

void StoryView::wheelEvent(QWheelEvent *event)
{
    event->accept();
    int rows = 0;
    // A touchpad says how far the content moves; a wheel says how far it turned.
    if (const int pixels = event->pixelDelta().y(); pixels != 0) {
        m_pixelRest += pixels;
        rows = m_pixelRest / m_rowPitch;
        m_pixelRest -= rows * m_rowPitch;
    } else if (const int angle = event->angleDelta().y(); angle != 0) {
        m_angleRest += angle * QApplication::wheelScrollLines();
        rows = m_angleRest / kNotch;
        m_angleRest -= rows * kNotch;
    }
    // Turning the wheel away from the reader goes back towards the start.
    if (rows != 0 && m_bar)
        scrollTo(m_bar->value() - rows);
}

void StoryView::setScrollBar(QScrollBar *bar)
{
    m_bar = bar;
    bar->installEventFilter(this);
}

bool StoryView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_bar && event->type() == QEvent::Wheel) {
        QCoreApplication::sendEvent(this, event);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void StoryView::scrollTo(int top)
{
    // The held thumb belongs to the reader's hand.
    if (!m_bar->isSliderDown())
        m_bar->setValue(top);
}

bool StoryView::scrollKey(const QKeyEvent *event)
{
    if (!m_bar)
        return false;
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const int now = m_bar->value();
    // A page is the rows in view but one, so the line at the edge is seen again.
    const int page = kViewportRows - 1;
    // The caret moves with the view, line for line.
    int step = 0;
    int target = 0;
    int caret = 0;
    if (modifiers == Qt::NoModifier) {
        switch (event->key()) {
        case Qt::Key_Up:
            step = -1;
            break;
        case Qt::Key_Down:
            step = 1;
            break;
        case Qt::Key_PageUp:
            step = -page;
            break;
        case Qt::Key_PageDown:
            step = page;
            break;
        default:
            return false;
        }
        target = now + step;
        caret = caretLine() + step;
    } else if (modifiers == Qt::ControlModifier) {
        switch (event->key()) {
        case Qt::Key_Home:
            target = m_bar->minimum();
            caret = 1;
            break;
        case Qt::Key_End:
            // The end as the story's own moves show it: the last line in the last row but one.
            target = qMax(m_bar->minimum(), m_bar->maximum() - page);
            caret = lineCount();
            break;
        default:
            return false;
        }
    } else {
        return false;
    }
    moveCaretAndView(caret, target);
    return true;
}

void StoryView::moveCaretAndView(int line, int top)
{
    // The view goes where the scroll bar can go, and the caret is put in that view before the
    // view moves, so that moving it does not move the caret again.
    if (!m_bar->isSliderDown())
        top = qBound(m_bar->minimum(), top, m_bar->maximum());
    else
        top = m_bar->value();
    setCaretLine(line, top);
    scrollTo(top);
}

void StoryView::showCaretLine(int line)
{
    if (!m_bar)
        return;
    // A line out of view is brought in at the nearer edge, the bottom one being the row where
    // the newest line stands.
    const int top = m_bar->value();
    const int lastRow = kViewportRows - 2;
    if (line < top)
        moveCaretAndView(line, line);
    else if (line > top + lastRow)
        moveCaretAndView(line, line - lastRow);
    else
        moveCaretAndView(line, top);
}

} // namespace vorta::ui
