// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "notice_queue.h"

#include "format/qt_text.h"
#include "ui/message_text.h"

#include <QMessageBox>
#include <QWidget>

#include <algorithm>
#include <utility>

namespace vorta::ui {

NoticeQueue::NoticeQueue(QWidget *window) : QObject(window), m_window(window) {}

NoticeQueue::~NoticeQueue()
{
    delete m_box;
}

void NoticeQueue::post(const QString &title, const QString &text, std::function<void()> seen)
{
    const auto same = [&](const Notice &notice) {
        return notice.title == title && notice.text == text;
    };
    if ((m_box && same(m_shown)) || std::any_of(m_waiting.cbegin(), m_waiting.cend(), same))
        return;
    m_waiting.append({title, text, std::move(seen)});
    showNext();
}

void NoticeQueue::showNext()
{
    if (m_box || m_waiting.isEmpty() || !m_window->isVisible())
        return;
    m_shown = m_waiting.takeFirst();
    auto *box = new QMessageBox(QMessageBox::Critical, m_shown.title, briefMessage(m_shown.text),
                                QMessageBox::Ok);
    box->setObjectName(QStringLiteral("errorMessage"));
    box->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::ApplicationModal);
    connect(box, &QMessageBox::finished, this, [this] {
        m_box = nullptr;
        if (const std::function<void()> seen = std::exchange(m_shown, {}).seen)
            seen();
        showNext();
        Q_EMIT changed();
    });
    m_box = box;
    box->show();
    Q_EMIT changed();
}

} // namespace vorta::ui
