// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "controls.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QStyleOptionSlider>
#include <qdrawutil.h>

#include <cmath>

namespace vorta::ui {

namespace {

int twipsToPixels(int twips, int zoom)
{
    return int(std::lround(twips * zoom / 1500.0));
}

bool releasedInside(QWidget *widget, QMouseEvent *event)
{
    return event->button() == Qt::LeftButton &&
           widget->rect().contains(event->position().toPoint());
}

} // namespace

QRect twipsRect(int left, int top, int width, int height, int zoom)
{
    const int x = twipsToPixels(left, zoom);
    const int y = twipsToPixels(top, zoom);
    return QRect(x, y, twipsToPixels(left + width, zoom) - x,
                 twipsToPixels(top + height, zoom) - y);
}

QRect twipsRect(const QRect &twips, int zoom)
{
    return twipsRect(twips.x(), twips.y(), twips.width(), twips.height(), zoom);
}

QString monoFamily()
{
    static const QString family = QFontDatabase::hasFamily(QStringLiteral("Courier New"))
                                      ? QStringLiteral("Courier New")
                                      : QStringLiteral("Liberation Mono");
    return family;
}

QFont monoFont(qreal points, bool bold, int zoom)
{
    QFont font(monoFamily());
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(int(std::lround(points * 96.0 / 72.0 * zoom / 100.0)));
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

QFont dialogFont(int zoom)
{
    QFont font = QGuiApplication::font();
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * zoom / 100.0);
    else
        font.setPixelSize(int(std::lround(font.pixelSize() * zoom / 100.0)));
    return font;
}

QColor rgbColour(quint32 rgb)
{
    return QColor::fromRgb(int((rgb >> 16) & 0xFF), int((rgb >> 8) & 0xFF), int(rgb & 0xFF));
}

void setRoleColour(QWidget *widget, QPalette::ColorRole role, const QColor &colour)
{
    QPalette palette = widget->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, role, colour);
    widget->setPalette(palette);
}

void makeLabel(QLabel *label, const QString &name, const QRect &geometry, Qt::Alignment align)
{
    label->setObjectName(name);
    label->setGeometry(geometry);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    label->setAlignment(align | Qt::AlignTop);
    label->setMargin(0);
    label->setIndent(0);
}

void setTextIfChanged(QLabel *label, const QString &text)
{
    if (label->text() != text)
        label->setText(text);
}

void setAccessibleNameIfChanged(QWidget *widget, const QString &name)
{
    if (widget->accessibleName() != name)
        widget->setAccessibleName(name);
}

void drawFocusFrame(QWidget *widget, QPainter &painter, int inset)
{
    QStyleOptionFocusRect focus;
    focus.initFrom(widget);
    focus.rect = widget->rect().adjusted(inset, inset, -inset, -inset);
    widget->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, widget);
}

void centreOnScreen(QWidget *window)
{
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

void ClickLabel::mousePressEvent(QMouseEvent *event)
{
    event->setAccepted(event->button() == Qt::LeftButton);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (releasedInside(this, event))
        Q_EMIT clicked();
}

int EtchedFrame::borderTop() const
{
    return title().isEmpty() ? 0 : fontMetrics().height() / 2;
}

QRect EtchedFrame::captionRect() const
{
    if (title().isEmpty())
        return {};
    // The caption starts a little in from the corner, with a blank either side of it that
    // breaks the border.
    const QFontMetrics metrics = fontMetrics();
    return QRect(6, 0, metrics.horizontalAdvance(title()) + 4, metrics.height());
}

void EtchedFrame::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const int top = borderTop();
    qDrawShadeRect(&painter, QRect(0, top, width(), height() - top), palette(), true, 1, 0);
    const QRect caption = captionRect();
    if (caption.isEmpty())
        return;
    painter.fillRect(caption, palette().brush(QPalette::Window));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(caption, Qt::AlignHCenter | Qt::AlignTop, title());
}

void ClickFrame::paintEvent(QPaintEvent *event)
{
    EtchedFrame::paintEvent(event);
    if (hasFocus()) {
        QPainter painter(this);
        drawFocusFrame(this, painter, 3);
    }
}

bool ClickFrame::event(QEvent *event)
{
    // Before the group box, which takes Space for a check box this frame has not.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
            click();
            return true;
        }
    }
    return EtchedFrame::event(event);
}

void ClickFrame::mousePressEvent(QMouseEvent *event)
{
    event->setAccepted(event->button() == Qt::LeftButton);
}

void ClickFrame::mouseReleaseEvent(QMouseEvent *event)
{
    if (releasedInside(this, event))
        Q_EMIT clicked();
}

void ColourButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QPalette colours = palette();
    const QBrush face = colours.brush(QPalette::Active, QPalette::Button);
    const bool sunken = isDown() || isChecked();
    qDrawWinButton(&painter, rect(), colours, sunken, &face);
    const QRect textRect = sunken ? rect().translated(1, 1) : rect();
    painter.setPen(colours.color(QPalette::Active, QPalette::ButtonText));
    painter.drawText(textRect, Qt::AlignCenter, text());
    if (hasFocus())
        drawFocusFrame(this, painter, 3);
}

ScaleLabel::ScaleLabel(const QString &caption, QSlider *slider, QWidget *parent)
    : QLabel(caption, parent), m_slider(slider)
{
    setTextFormat(Qt::PlainText);
}

QStringList ScaleLabel::numbers() const
{
    return text().split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

QList<int> ScaleLabel::tickCentres() const
{
    QList<int> centres;
    if (!m_slider)
        return centres;
    // The tick of a position stands where the middle of the handle stands at that position.
    QStyleOptionSlider option;
    option.initFrom(m_slider);
    option.subControls = QStyle::SC_None;
    option.activeSubControls = QStyle::SC_None;
    option.orientation = m_slider->orientation();
    option.maximum = m_slider->maximum();
    option.minimum = m_slider->minimum();
    option.tickPosition = QSlider::TickPosition(m_slider->tickPosition());
    option.tickInterval = m_slider->tickInterval();
    option.upsideDown = m_slider->invertedAppearance();
    option.direction = m_slider->layoutDirection();
    option.singleStep = m_slider->singleStep();
    option.pageStep = m_slider->pageStep();
    for (int value = m_slider->minimum(); value <= m_slider->maximum(); ++value) {
        option.sliderPosition = value;
        option.sliderValue = value;
        const QRect handle = m_slider->style()->subControlRect(QStyle::CC_Slider, &option,
                                                               QStyle::SC_SliderHandle, m_slider);
        const QPoint centre = m_slider->mapTo(window(), handle.center());
        centres.append(mapFrom(window(), centre).x());
    }
    return centres;
}

void ScaleLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    const QStringList texts = numbers();
    const QList<int> centres = tickCentres();
    const QFontMetrics metrics(font());
    for (qsizetype i = 0; i < texts.size() && i < centres.size(); ++i) {
        const int width = metrics.horizontalAdvance(texts.at(i));
        // A number at either end is kept inside the box rather than cut.
        const int left = qBound(0, centres.at(i) - width / 2, qMax(0, this->width() - width));
        painter.drawText(QRect(left, 0, width, height()), Qt::AlignLeft | Qt::AlignTop,
                         texts.at(i));
    }
}

} // namespace vorta::ui
