#include "story_view.h"

#include <QApplication>
#include <QWheelEvent>

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
    if (rows != 0)
        Q_EMIT scrollRequested(-rows);
}

} // namespace vorta::ui
