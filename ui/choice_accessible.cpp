// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "choice_accessible.h"

#include "ui/choice_label.h"

namespace vorta::ui {

ChoiceAccessible::ChoiceAccessible(ChoiceLabel *label)
    : QAccessibleWidget(label, QAccessible::Button)
{}

ChoiceLabel *ChoiceAccessible::label() const
{
    return static_cast<ChoiceLabel *>(widget());
}

QString ChoiceAccessible::text(QAccessible::Text t) const
{
    // The whole name, however the label has to cut it on the screen.
    if (t == QAccessible::Name)
        return label()->text();
    // Only the key: the tooltip, which would stand in for a missing description, repeats the name.
    if (t == QAccessible::Description)
        return label()->accessibleDescription();
    return QAccessibleWidget::text(t);
}

QStringList ChoiceAccessible::actionNames() const
{
    return {pressAction()};
}

void ChoiceAccessible::doAction(const QString &actionName)
{
    if (actionName == pressAction())
        label()->press();
}

QStringList ChoiceAccessible::keyBindingsForAction(const QString &actionName) const
{
    if (actionName == pressAction() && label()->key() > 0)
        return {QString::number(label()->key())};
    return {};
}

} // namespace vorta::ui
