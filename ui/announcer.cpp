// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "announcer.h"

#include "ui/controls.h"

#include <QAccessible>

namespace vorta::ui {

Announcer::Announcer(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("announcer"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(0, 0, 1, 1);
    lower();
    hide();
}

void Announcer::announce(const QString &text)
{
    m_text = text;
    // The name is what the reader is told; a screen reader keeps the one it read last until it
    // hears of a change.
    setAccessibleNameIfChanged(this, text);
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    QAccessibleAnnouncementEvent event(this, text);
    QAccessible::updateAccessibility(&event);
#else
    // Screen readers speak a notification when it comes into view.
    hide();
    show();
#endif
    Q_EMIT announced(text);
}

} // namespace vorta::ui
