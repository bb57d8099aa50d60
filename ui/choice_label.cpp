// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "choice_label.h"

#include <QKeyEvent>
#include <QPainter>

namespace vorta::ui {

namespace {

const QColor kHoverBack = QColor::fromRgb(255, 255, 255);
const QColor kHoverEdge = QColor::fromRgb(128, 128, 128);

} // namespace

ChoiceLabel::ChoiceLabel(QWidget *parent) : ClickLabel(parent)
{
    setCursor(Qt::PointingHandCursor);
}

void ChoiceLabel::setChoice(const QString &caption, int key)
{
    m_key = key;
    const QString keyText = key > 0 ? QStringLiteral("Клавиша %1").arg(key) : QString();
    const QString tip =
        key > 0 ? QStringLiteral("%1 (%2)").arg(caption, keyText.toLower()) : caption;
    // The window shows its state at every tick: only a change is told to assistive tools.
    if (text() != caption)
        setText(caption);
    if (accessibleName() != caption)
        setAccessibleName(caption);
    if (accessibleDescription() != keyText)
        setAccessibleDescription(keyText);
    if (toolTip() != tip)
        setToolTip(tip);
}

QString ChoiceLabel::shownText() const
{
    return fontMetrics().elidedText(text(), Qt::ElideRight, width());
}

void ChoiceLabel::press()
{
    if (isVisible() && isEnabled())
        Q_EMIT clicked();
}

void ChoiceLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (underMouse() && isEnabled()) {
        painter.fillRect(rect(), kHoverBack);
        painter.setPen(kHoverEdge);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(rect(), int(alignment()), shownText());
    if (hasFocus())
        drawFocusFrame(this, painter, 0);
}

void ChoiceLabel::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        press();
        break;
    default:
        ClickLabel::keyPressEvent(event);
    }
}

void ChoiceLabel::enterEvent(QEnterEvent *event)
{
    ClickLabel::enterEvent(event);
    update();
}

void ChoiceLabel::leaveEvent(QEvent *event)
{
    ClickLabel::leaveEvent(event);
    update();
}

} // namespace vorta::ui
