// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "countdown_bar.h"

#include "ui/controls.h"

#include <QPainter>

namespace vorta::ui {

CountdownBar::CountdownBar(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("countdown"));
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName(QStringLiteral("Отсчёт"));
    setAccessibleDescription(QStringLiteral("Клавиша P (З): пауза и продолжение"));
    setToolTip(QStringLiteral("P: пауза и продолжение отсчёта"));
}

void CountdownBar::paintEvent(QPaintEvent *)
{
    if (hasFocus()) {
        QPainter painter(this);
        drawFocusFrame(this, painter, 0);
    }
}

} // namespace vorta::ui
