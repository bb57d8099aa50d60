// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QWidget>

namespace vorta::ui {

// The countdown's place in the window: a status bar around the countdown label, which the
// keyboard reaches and a screen reader finds with its status-bar command. The label inside
// changes every second; the bar, which takes the focus, keeps its name, so a screen reader
// presents the countdown when asked and does not read out every second. A click on it pauses the
// countdown or resumes it, as the key P does.
class CountdownBar : public QWidget
{
    Q_OBJECT
public:
    explicit CountdownBar(QWidget *parent);

Q_SIGNALS:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};

} // namespace vorta::ui
