// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "accessibility.h"

#include "ui/about_dialog.h"
#include "ui/announcer.h"
#include "ui/choice_accessible.h"
#include "ui/choice_label.h"
#include "ui/controls.h"
#include "ui/countdown_bar.h"
#include "ui/settings_dialog.h"
#include "ui/story_accessible.h"
#include "ui/story_view.h"
#include "ui/unit_slider.h"

#include <QAccessibleValueInterface>

namespace vorta::ui {

namespace {

// The about dialog's frame: a click anywhere on it closes the dialog, so it is a button.
class FrameAccessible : public QAccessibleWidget
{
public:
    explicit FrameAccessible(ClickFrame *frame) : QAccessibleWidget(frame, QAccessible::Button) {}

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString &actionName) override
    {
        if (actionName == pressAction())
            static_cast<ClickFrame *>(widget())->click();
    }
};

// A slider that tells the amount its position stands for.
class SliderAccessible : public QAccessibleWidget, public QAccessibleValueInterface
{
public:
    explicit SliderAccessible(UnitSlider *slider) : QAccessibleWidget(slider, QAccessible::Slider)
    {}

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Value ? slider()->valueText() : QAccessibleWidget::text(t);
    }
    QVariant currentValue() const override { return slider()->amount(slider()->value()); }
    // The reader moves the slider with the keys; a tool that sets a value sets the position
    // that stands for it, or the nearest one.
    void setCurrentValue(const QVariant &value) override
    {
        int nearest = slider()->minimum();
        for (int position = slider()->minimum(); position <= slider()->maximum(); ++position) {
            if (qAbs(slider()->amount(position) - value.toInt()) <
                qAbs(slider()->amount(nearest) - value.toInt()))
                nearest = position;
        }
        slider()->setValue(nearest);
    }
    QVariant maximumValue() const override { return slider()->amount(slider()->maximum()); }
    QVariant minimumValue() const override { return slider()->amount(slider()->minimum()); }
    QVariant minimumStepSize() const override { return 0; }

private:
    UnitSlider *slider() const { return static_cast<UnitSlider *>(widget()); }
};

template <typename Widget> Widget *as(const QString &className, QObject *object)
{
    return className == QLatin1String(Widget::staticMetaObject.className())
               ? qobject_cast<Widget *>(object)
               : nullptr;
}

QAccessibleInterface *factory(const QString &className, QObject *object)
{
    if (auto *view = as<StoryView>(className, object))
        return new StoryAccessible(view);
    if (auto *choice = as<ChoiceLabel>(className, object))
        return new ChoiceAccessible(choice);
    if (auto *frame = as<ClickFrame>(className, object))
        return new FrameAccessible(frame);
    if (auto *slider = as<UnitSlider>(className, object))
        return new SliderAccessible(slider);
    if (auto *bar = as<CountdownBar>(className, object))
        return new QAccessibleWidget(bar, QAccessible::StatusBar);
    if (auto *announcer = as<Announcer>(className, object))
        return new QAccessibleWidget(announcer, QAccessible::Notification);
    // Borderless windows, but dialogs: a screen reader reads out their texts when they open.
    if (auto *about = as<AboutDialog>(className, object))
        return new QAccessibleWidget(about, QAccessible::Dialog);
    if (auto *settings = as<SettingsDialog>(className, object))
        return new QAccessibleWidget(settings, QAccessible::Dialog);
    return nullptr;
}

} // namespace

void installAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(&factory);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace vorta::ui
