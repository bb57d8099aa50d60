// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QSlider>

namespace vorta::ui {

// A slider whose positions stand for amounts of a unit. Assistive technologies are told the
// amount, and in the description the amount with its unit in words («10 секунд»), which a
// screen reader speaks as the slider moves.
class UnitSlider : public QSlider
{
    Q_OBJECT
public:
    // amountOf: what a position stands for; words: an amount with its unit, as spoken.
    UnitSlider(int (*amountOf)(int position), QString (*words)(int amount), QWidget *parent);

    int amount(int position) const { return m_amount(position); }
    // The value spoken: the amount at the current position with its unit.
    QString valueText() const { return m_words(amount(value())); }

private:
    int (*m_amount)(int position);
    QString (*m_words)(int amount);
};

} // namespace vorta::ui
