// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "zoom_layout.h"

#include "ui/controls.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace vorta::ui {

int boundedZoom(int zoom)
{
    // Bounded first, so that no value read from a file can overflow the step.
    const int bounded = qBound(kZoomNormal, zoom, kZoomMax);
    return kZoomNormal + (bounded - kZoomNormal) / kZoomStep * kZoomStep;
}

int largestZoomFitting(const QSize &normal, const QSize &frame, const QSize &room)
{
    const auto grown = [](int pixels, int zoom) {
        return int(std::ceil(pixels * zoom / double(kZoomNormal)));
    };
    for (int zoom = kZoomMax; zoom > kZoomNormal; zoom -= kZoomStep) {
        if (grown(normal.width(), zoom) + frame.width() <= room.width() &&
            grown(normal.height(), zoom) + frame.height() <= room.height())
            return zoom;
    }
    return kZoomNormal;
}

QRect keptWithin(QRect frame, const QRect &room)
{
    frame.moveRight(qMin(frame.right(), room.right()));
    frame.moveBottom(qMin(frame.bottom(), room.bottom()));
    frame.moveLeft(qMax(frame.left(), room.left()));
    frame.moveTop(qMax(frame.top(), room.top()));
    return frame;
}

int zoomOnScreen(int zoom, const QWidget *window, const QSize &normal, const QSize &frame)
{
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return zoom;
    return qMin(zoom, largestZoomFitting(normal, frame, screen->availableGeometry().size()));
}

void ZoomLayout::place(QWidget *widget, const QRect &twips, const QRect &frame)
{
    m_places.append({widget, twips, frame, false});
}

void ZoomLayout::fixSize(QWidget *widget, const QSize &twips)
{
    m_places.append({widget, QRect(QPoint(), twips), QRect(), true});
}

void ZoomLayout::monoFont(QWidget *widget, qreal points, bool bold, int fitCharacters)
{
    m_fonts.append({widget, points, bold, true, fitCharacters});
}

void ZoomLayout::dialogFont(QWidget *widget)
{
    m_fonts.append({widget, 0, false, false, 0});
}

void ZoomLayout::apply(int zoom) const
{
    for (const Place &place : m_places) {
        if (!place.widget)
            continue;
        QRect pixels = twipsRect(place.twips, zoom);
        if (place.frame.isValid())
            pixels.translate(-twipsRect(place.frame, zoom).topLeft());
        if (place.fixed)
            place.widget->setFixedSize(pixels.size());
        else
            place.widget->setGeometry(pixels);
    }
    for (const Font &wanted : m_fonts) {
        if (!wanted.widget)
            continue;
        if (!wanted.mono) {
            wanted.widget->setFont(vorta::ui::dialogFont(zoom));
            continue;
        }
        QFont font = vorta::ui::monoFont(wanted.points, wanted.bold, zoom);
        // Whole-pixel advances do not grow exactly with the size: one pixel less where the
        // rounding would push the last character out of the box.
        const QString widest(wanted.fitCharacters, QLatin1Char('W'));
        while (wanted.fitCharacters > 0 && font.pixelSize() > 1 &&
               QFontMetricsF(font).horizontalAdvance(widest) > wanted.widget->width())
            font.setPixelSize(font.pixelSize() - 1);
        wanted.widget->setFont(font);
    }
}

} // namespace vorta::ui
