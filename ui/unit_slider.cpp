// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "unit_slider.h"

namespace vorta::ui {

UnitSlider::UnitSlider(int (*amountOf)(int position), QString (*words)(int amount), QWidget *parent)
    : QSlider(Qt::Horizontal, parent), m_amount(amountOf), m_words(words)
{
    setAccessibleDescription(valueText());
    connect(this, &QSlider::valueChanged, this, [this] {
        if (accessibleDescription() != valueText())
            setAccessibleDescription(valueText());
    });
}

} // namespace vorta::ui
