// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "countdown_bar.h"

#include "ui/controls.h"

#include <QMouseEvent>
#include <QPainter>

namespace vorta::ui {

CountdownBar::CountdownBar(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("countdown"));
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName(QStringLiteral("Отсчёт"));
    setAccessibleDescription(QStringLiteral("Щелчок или клавиша P (З): пауза и продолжение"));
    setToolTip(QStringLiteral("Щелчок или P: пауза и продолжение отсчёта"));
}

void CountdownBar::mousePressEvent(QMouseEvent *event)
{
    event->setAccepted(event->button() == Qt::LeftButton);
}

void CountdownBar::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
}

void CountdownBar::paintEvent(QPaintEvent *)
{
    if (hasFocus()) {
        QPainter painter(this);
        drawFocusFrame(this, painter, 0);
    }
}

} // namespace vorta::ui
