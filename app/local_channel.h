// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>
#include <map>
#include <memory>

class QSocketNotifier;

namespace vorta::app {

// The longest request or answer on a channel: one short line.
constexpr qsizetype kLongestChannelLine = 16;

// One request line to the program listening at `path`, and its answer line; empty when none
// answers within `timeoutMs`.
QByteArray askOnChannel(const QString &path, const QByteArray &request, int timeoutMs);

// A Unix socket at `path` on which the program answers one request line per connection. Plain
// sockets watched by the event loop: every start opens one, and a network library would be
// loaded at every start for it.
class ChannelListener : public QObject
{
    Q_OBJECT
public:
    using Answer = std::function<QByteArray(const QByteArray &request)>;

    explicit ChannelListener(Answer answer, QObject *parent = nullptr);
    ~ChannelListener() override;

    // Listens at `path`, replacing a socket left there by a program that ended without closing
    // it: the caller has found that none answers there. Only the user's own programs may connect.
    bool listen(const QString &path);

private:
    struct Caller;

    void acceptCallers();
    void readFrom(int fd);
    void hangUp(int fd);

    Answer m_answer;
    int m_fd = -1;
    QString m_path;
    QSocketNotifier *m_notifier = nullptr;
    std::map<int, std::unique_ptr<Caller>> m_callers;
};

} // namespace vorta::app
