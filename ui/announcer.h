// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QWidget>

namespace vorta::ui {

// The window's voice for screen readers: what it announces is spoken at once, unasked, the way a
// desktop notification is. It draws nothing; assistive technologies see a notification, shown
// afresh with each text.
class Announcer : public QWidget
{
    Q_OBJECT
public:
    explicit Announcer(QWidget *parent);

    void announce(const QString &text);
    // What was announced last.
    const QString &text() const { return m_text; }

Q_SIGNALS:
    void announced(const QString &text);

private:
    QString m_text;
};

} // namespace vorta::ui
