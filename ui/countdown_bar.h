// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QWidget>

namespace vorta::ui {

// The countdown's place in the window: a status bar around the countdown label, which the
// keyboard reaches and a screen reader finds with its status-bar command. The label inside
// changes every second; the bar, which takes the focus, keeps its name, so a screen reader
// presents the countdown when asked and does not read out every second.
class CountdownBar : public QWidget
{
    Q_OBJECT
public:
    explicit CountdownBar(QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace vorta::ui
