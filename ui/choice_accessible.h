// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QAccessibleWidget>

namespace vorta::ui {

class ChoiceLabel;

// What assistive technologies see of a choice label: a button named by its genre, with its
// key in the description, whose Press action makes the reader's move as a click does.
class ChoiceAccessible : public QAccessibleWidget
{
public:
    explicit ChoiceAccessible(ChoiceLabel *label);

    QString text(QAccessible::Text t) const override;
    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;
    QStringList keyBindingsForAction(const QString &actionName) const override;

private:
    ChoiceLabel *label() const;
};

} // namespace vorta::ui
