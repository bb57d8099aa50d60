// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/local_channel.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QScopeGuard>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <optional>

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace vorta::app {

namespace {

// Callers served at once; a further one is hung up on. Every caller is one of the user's own
// starts, which ask one line and go.
constexpr std::size_t kMostCallers = 32;

std::optional<sockaddr_un> addressOf(const QString &path)
{
    sockaddr_un address{};
    const QByteArray name = QFile::encodeName(path);
    if (name.isEmpty() || name.size() >= qsizetype(sizeof address.sun_path))
        return std::nullopt;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, name.constData(), std::size_t(name.size()));
    return address;
}

const sockaddr *asSocketAddress(const sockaddr_un &address)
{
    return reinterpret_cast<const sockaddr *>(&address);
}

// Waits until the socket can be read, at most until the deadline.
bool waitReadable(int fd, const QDeadlineTimer &deadline)
{
    for (;;) {
        pollfd watched{fd, POLLIN, 0};
        const int ready = ::poll(&watched, 1, int(deadline.remainingTime()));
        if (ready > 0)
            return true;
        if (ready == 0 || errno != EINTR)
            return false;
    }
}

} // namespace

QByteArray askOnChannel(const QString &path, const QByteArray &request, int timeoutMs)
{
    const std::optional<sockaddr_un> address = addressOf(path);
    if (!address)
        return {};
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return {};
    const auto closing = qScopeGuard([fd] { ::close(fd); });
    // A listener whose queue is full keeps a connect waiting: no longer than the answer may take.
    const timeval limit{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    if (::connect(fd, asSocketAddress(*address), sizeof *address) != 0)
        return {};
    if (::send(fd, request.constData(), std::size_t(request.size()), MSG_NOSIGNAL) !=
        ssize_t(request.size()))
        return {};
    const QDeadlineTimer deadline(timeoutMs);
    QByteArray answer;
    while (!answer.endsWith('\n') && answer.size() < kLongestChannelLine) {
        if (!waitReadable(fd, deadline))
            return {};
        char bytes[kLongestChannelLine];
        const ssize_t got =
            ::recv(fd, bytes, std::size_t(kLongestChannelLine - answer.size()), MSG_DONTWAIT);
        if (got <= 0 && !(got < 0 && (errno == EAGAIN || errno == EINTR)))
            return {};
        if (got > 0)
            answer.append(bytes, got);
    }
    return answer.endsWith('\n') ? answer : QByteArray();
}

struct ChannelListener::Caller
{
    QSocketNotifier *notifier = nullptr;
    QByteArray line;
};

ChannelListener::ChannelListener(Answer answer, QObject *parent)
    : QObject(parent), m_answer(std::move(answer))
{}

ChannelListener::~ChannelListener()
{
    while (!m_callers.empty())
        hangUp(m_callers.begin()->first);
    if (m_fd >= 0) {
        ::close(m_fd);
        ::unlink(QFile::encodeName(m_path).constData());
    }
}

bool ChannelListener::listen(const QString &path)
{
    const std::optional<sockaddr_un> address = addressOf(path);
    if (m_fd >= 0 || !address)
        return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return false;
    const QByteArray name = QFile::encodeName(path);
    bool bound = ::bind(fd, asSocketAddress(*address), sizeof *address) == 0;
    if (!bound && errno == EADDRINUSE && ::unlink(name.constData()) == 0)
        bound = ::bind(fd, asSocketAddress(*address), sizeof *address) == 0;
    // Connecting takes the right to write the socket: the user's alone.
    if (!bound || ::chmod(name.constData(), S_IRUSR | S_IWUSR) != 0 ||
        ::listen(fd, int(kMostCallers)) != 0) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    m_path = path;
    m_notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &ChannelListener::acceptCallers);
    return true;
}

void ChannelListener::acceptCallers()
{
    for (;;) {
        const int fd = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0)
            return;
        if (m_callers.size() >= kMostCallers) {
            ::close(fd);
            continue;
        }
        auto caller = std::make_unique<Caller>();
        caller->notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        connect(caller->notifier, &QSocketNotifier::activated, this, [this, fd] { readFrom(fd); });
        m_callers.emplace(fd, std::move(caller));
    }
}

void ChannelListener::readFrom(int fd)
{
    const auto found = m_callers.find(fd);
    if (found == m_callers.end())
        return;
    QByteArray &line = found->second->line;
    char bytes[kLongestChannelLine + 1];
    const ssize_t got = ::recv(fd, bytes, sizeof bytes, 0);
    if (got < 0 && (errno == EAGAIN || errno == EINTR))
        return;
    if (got <= 0)
        return hangUp(fd);
    line.append(bytes, got);
    const qsizetype end = line.indexOf('\n');
    if (end < 0) {
        if (line.size() > kLongestChannelLine)
            hangUp(fd);
        return;
    }
    const QByteArray answer = m_answer(line.left(end + 1));
    if (!answer.isEmpty())
        ::send(fd, answer.constData(), std::size_t(answer.size()), MSG_NOSIGNAL);
    hangUp(fd);
}

void ChannelListener::hangUp(int fd)
{
    const auto found = m_callers.find(fd);
    if (found == m_callers.end())
        return;
    // The notifier may be the one whose signal is being handled: it goes once that is over.
    found->second->notifier->setEnabled(false);
    found->second->notifier->deleteLater();
    m_callers.erase(found);
    ::close(fd);
}

} // namespace vorta::app
