// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "ui/controls.h"

namespace vorta::ui {

// A choice label: its caption is the genre's name exactly (the reader's move finds the genre
// by it), but a name wider than the box is drawn cut at the end with an ellipsis. It shows
// that it can be clicked, and names its key. Given the focus, Space or Return presses it like a
// click.
class ChoiceLabel : public ClickLabel
{
    Q_OBJECT
public:
    explicit ChoiceLabel(QWidget *parent);

    // The genre's name, and the digit key (1-9) that picks it; 0 while it has none.
    void setChoice(const QString &caption, int key);
    int key() const { return m_key; }

    // The text as drawn: the caption, cut at the end when it does not fit.
    QString shownText() const;

    // The click of an assistive technology: picks the choice as a mouse click does, while the
    // label can be clicked at all.
    void press();

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    int m_key = 0;
};

} // namespace vorta::ui
