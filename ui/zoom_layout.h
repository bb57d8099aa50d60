// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QPointer>
#include <QRect>
#include <QWidget>

namespace vorta::ui {

// How large the windows are drawn, in percent of their designed size: the reader zooms in and
// out in steps, the desktop's own scale factor coming on top.
constexpr int kZoomNormal = 100;
constexpr int kZoomMax = 300;
constexpr int kZoomStep = 25;

// A zoom within the range, on a step.
int boundedZoom(int zoom);

// The largest zoom on a step, from kZoomNormal to kZoomMax, at which a window of `normal` size
// at kZoomNormal, with a `frame` around it that does not grow, fits `room`; kZoomNormal when
// even that does not fit.
int largestZoomFitting(const QSize &normal, const QSize &frame, const QSize &room);

// A window's frame moved as little as it takes to stand within `room`, its top left corner
// first.
QRect keptWithin(QRect frame, const QRect &room);

// The zoom asked for, or less where the window would not fit the available area of its screen.
int zoomOnScreen(int zoom, const QWidget *window, const QSize &normal,
                 const QSize &frame = QSize());

// Where each control of a window stands as designed, in twips, and its font in points, so the
// whole window can be laid out again at any zoom with its proportions kept.
class ZoomLayout
{
public:
    // A control at a rectangle in twips within its parent; or, given `frame`, within the
    // rectangle in which `frame` (the parent's own place) is measured too, so that edges which
    // meet in the design meet on the screen.
    void place(QWidget *widget, const QRect &twips, const QRect &frame = QRect());
    // A window or area whose size is fixed.
    void fixSize(QWidget *widget, const QSize &twips);
    // The story's monospaced face. With `fitCharacters`, a size smaller where needed, so that
    // this many characters fit the control's width at every zoom, as they do at 100 %.
    void monoFont(QWidget *widget, qreal points, bool bold, int fitCharacters = 0);
    // The desktop's default dialog font.
    void dialogFont(QWidget *widget);

    void apply(int zoom) const;

private:
    struct Place
    {
        QPointer<QWidget> widget;
        QRect twips;
        QRect frame;
        bool fixed;
    };
    struct Font
    {
        QPointer<QWidget> widget;
        qreal points;
        bool bold;
        bool mono;
        int fitCharacters;
    };
    QList<Place> m_places;
    QList<Font> m_fonts;
};

} // namespace vorta::ui
