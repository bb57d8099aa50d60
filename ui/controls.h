// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QColor>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRect>
#include <QSlider>
#include <QString>

class QPainter;

namespace vorta::ui {

// The windows are designed in twips at 96 dpi (15 twips to the pixel) and drawn at a zoom, in
// percent of that size. Each edge is rounded on its own, so controls that touch in the design
// touch on the screen at every zoom.
QRect twipsRect(int left, int top, int width, int height, int zoom = 100);
QRect twipsRect(const QRect &twips, int zoom);

// The story's monospaced face at a size given in points at 96 dpi, at a zoom. The layout is in
// pixels, so the size is too; full hinting gives whole-pixel advances, which is what lets a
// 325-pixel row hold 46 characters of the 9-point face.
QFont monoFont(qreal points, bool bold, int zoom = 100);

// The desktop's default dialog font at a zoom.
QFont dialogFont(int zoom);

// The family that monoFont uses: "Courier New" where installed, else a face of its metrics.
QString monoFamily();

// A colour in the 0xRRGGBB form.
QColor rgbColour(quint32 rgb);

// The new-story button's colour, and the one it blinks with after the finale; the hidden
// Label28 and Label29 hold them, as the design has it.
inline const QColor kButtonColour = QColor::fromRgb(255, 192, 192);
inline const QColor kBlinkColour = QColor::fromRgb(255, 128, 128);

// Sets a colour role in every colour group, so a disabled window keeps its look.
void setRoleColour(QWidget *widget, QPalette::ColorRole role, const QColor &colour);

// A label whose box is filled with its back colour, showing text as plain text at the top.
void makeLabel(QLabel *label, const QString &name, const QRect &geometry, Qt::Alignment align);

// Sets a label's text and a widget's accessible name only when they change: every change is
// told to assistive technologies, and the window shows its state at every tick.
void setTextIfChanged(QLabel *label, const QString &text);
void setAccessibleNameIfChanged(QWidget *widget, const QString &name);

// The dotted frame that shows the keyboard focus, inside a widget's edge.
void drawFocusFrame(QWidget *widget, QPainter &painter, int inset);

// Places a top-level window in the middle of its screen.
void centreOnScreen(QWidget *window);

// A label that reports a click of the left button released over it.
class ClickLabel : public QLabel
{
    Q_OBJECT
public:
    using QLabel::QLabel;

Q_SIGNALS:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};

// A group box drawn as the classic desktop drew it, the same under every style: an etched
// border from its top edge, or, with a caption, from half the caption's height, the caption
// standing in the top border.
class EtchedFrame : public QGroupBox
{
    Q_OBJECT
public:
    using QGroupBox::QGroupBox;

    // Where the border's top line runs, in the frame's own coordinates.
    int borderTop() const;
    // The caption's box inside the top border; empty without a caption.
    QRect captionRect() const;

protected:
    void paintEvent(QPaintEvent *event) override;
};

// A frame that reports a click on the part of it not covered by its children. Given the focus,
// it is a button: Space, Return and Enter press it.
class ClickFrame : public EtchedFrame
{
    Q_OBJECT
public:
    using EtchedFrame::EtchedFrame;

    // A press from the keyboard or an assistive technology, the same as a click.
    void click() { Q_EMIT clicked(); }

Q_SIGNALS:
    void clicked();

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};

// A push button whose face is painted in its palette's button colour, as the classic desktop
// drew it: the styles shade or ignore that colour. It looks the same when disabled.
class ColourButton : public QPushButton
{
    Q_OBJECT
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent *event) override;
};

// A slider's scale: keeps its caption (a line of numbers spaced with blanks) as its text, but
// draws each number centred under the slider's tick of the same rank, since the blanks only
// line up in the font they were counted for.
class ScaleLabel : public QLabel
{
    Q_OBJECT
public:
    ScaleLabel(const QString &caption, QSlider *slider, QWidget *parent);

    // The numbers of the caption, left to right.
    QStringList numbers() const;
    // Where the tick of each position of the slider stands, in this label's coordinates.
    QList<int> tickCentres() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPointer<QSlider> m_slider;
};

} // namespace vorta::ui
