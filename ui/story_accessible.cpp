// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "story_accessible.h"

#include "ui/story_view.h"

namespace vorta::ui {

StoryAccessible::StoryAccessible(StoryView *view)
    : QAccessibleWidget(view, QAccessible::EditableText)
{}

StoryView *StoryAccessible::view() const
{
    return static_cast<StoryView *>(widget());
}

void *StoryAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

QAccessible::State StoryAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.readOnly = true;
    state.multiLine = true;
    state.selectableText = true;
    return state;
}

void StoryAccessible::selection(int, int *startOffset, int *endOffset) const
{
    *startOffset = 0;
    *endOffset = 0;
}

int StoryAccessible::cursorPosition() const
{
    return view()->lineStart(view()->caretLine());
}

void StoryAccessible::setCursorPosition(int position)
{
    view()->showCaretLine(view()->lineAt(position));
}

QString StoryAccessible::text(int startOffset, int endOffset) const
{
    const QString &all = view()->text();
    if (endOffset < 0 || endOffset > all.size())
        endOffset = int(all.size());
    startOffset = qBound(0, startOffset, endOffset);
    return all.mid(startOffset, endOffset - startOffset);
}

QString StoryAccessible::lineText(int line, int *startOffset, int *endOffset) const
{
    if (line < 1 || line > view()->lineCount()) {
        *startOffset = *endOffset = line < 1 ? 0 : characterCount();
        return {};
    }
    *startOffset = view()->lineStart(line);
    *endOffset = line < view()->lineCount() ? view()->lineStart(line + 1) : characterCount();
    return text(*startOffset, *endOffset);
}

// Lines are looked up directly, at any length of the story; the other boundaries are Qt's.
QString StoryAccessible::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                          int *startOffset, int *endOffset) const
{
    if (boundaryType != QAccessible::LineBoundary)
        return QAccessibleTextInterface::textBeforeOffset(offset, boundaryType, startOffset,
                                                          endOffset);
    return lineText(view()->lineAt(offset) - 1, startOffset, endOffset);
}

QString StoryAccessible::textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                         int *startOffset, int *endOffset) const
{
    if (boundaryType != QAccessible::LineBoundary)
        return QAccessibleTextInterface::textAfterOffset(offset, boundaryType, startOffset,
                                                         endOffset);
    return lineText(view()->lineAt(offset) + 1, startOffset, endOffset);
}

QString StoryAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                      int *startOffset, int *endOffset) const
{
    if (boundaryType != QAccessible::LineBoundary)
        return QAccessibleTextInterface::textAtOffset(offset, boundaryType, startOffset, endOffset);
    return lineText(view()->lineAt(offset), startOffset, endOffset);
}

int StoryAccessible::characterCount() const
{
    return int(view()->text().size());
}

QRect StoryAccessible::characterRect(int offset) const
{
    return view()->characterRect(offset);
}

int StoryAccessible::offsetAtPoint(const QPoint &point) const
{
    return view()->offsetAt(point);
}

void StoryAccessible::scrollToSubstring(int startIndex, int)
{
    view()->showCaretLine(view()->lineAt(startIndex));
}

QString StoryAccessible::attributes(int, int *startOffset, int *endOffset) const
{
    *startOffset = 0;
    *endOffset = characterCount();
    return {};
}

} // namespace vorta::ui
