#pragma once

#include <QWidget>

namespace vorta::ui {

// The white page of the story rows. It takes the focus, so the keys that scroll reach it,
// turns the wheel into whole rows and offers its actions as a context menu. It scrolls nothing
// itself: the window moves the scroll bar, which the view follows.
class StoryView : public QWidget
{
    Q_OBJECT
public:
    // rowPitch: the pixels from one row to the next, the unit of a touchpad's pixel deltas.
    StoryView(int rowPitch, QWidget *parent);

Q_SIGNALS:
    // Rows to move the view by: negative towards the start of the story.
    void scrollRequested(int rows);

protected:
    void wheelEvent(QWheelEvent *event) override;

private:
    int m_rowPitch;
    // What is left of the deltas that did not make a whole row, so slow touchpads and fine
    // wheels still scroll.
    int m_pixelRest = 0;
    int m_angleRest = 0;
};

} // namespace vorta::ui
