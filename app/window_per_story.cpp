// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "window_per_story.h"

#include "app/local_channel.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QWidget>

#include <algorithm>

namespace vorta::app {

namespace {

const QString kNamePrefix = QStringLiteral("vorta-window-");
const QString kLockSuffix = QStringLiteral(".lock");

// The requests a window answers, one line each, and its answer to the first.
const QByteArray kRaise = QByteArrayLiteral("raise\n");
const QByteArray kWhere = QByteArrayLiteral("where\n");
const QByteArray kRaised = QByteArrayLiteral("ok\n");

// A window answers at once; one that does not within this long is taken for none.
constexpr int kAnswerMs = 3000;
// How long a start waits for another start of the same story to open its window.
constexpr int kOtherStartMs = 15000;
// One step of the cascade, about a title bar's height.
constexpr int kCascadeStep = 32;

QString runtimeFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

// The same story folder by any path gives the same name, short enough for a socket's path.
QString serverName(const QString &storyFolder)
{
    const QFileInfo folder(storyFolder);
    const QString canonical = folder.canonicalFilePath();
    const QByteArray path = (canonical.isEmpty() ? folder.absoluteFilePath() : canonical).toUtf8();
    const QByteArray hash = QCryptographicHash::hash(path, QCryptographicHash::Sha256).toHex();
    return QDir(runtimeFolder()).filePath(kNamePrefix + QString::fromLatin1(hash.left(32)));
}

void bringForward(QWidget *window)
{
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->raise();
    window->activateWindow();
    // A dialog or a message over the window comes forward with it, on top of it.
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (top->windowType() == Qt::Dialog && top->isVisible()) {
            top->raise();
            top->activateWindow();
        }
    }
}

} // namespace

WindowPerStory::WindowPerStory(const QString &storyFolder, QObject *parent)
    : QObject(parent), m_name(serverName(storyFolder))
{}

WindowPerStory::~WindowPerStory() = default;

bool WindowPerStory::bringForwardOpenWindow()
{
    // Two starts of one story at once: the second waits until the first listens, then finds it.
    m_starting = std::make_unique<QLockFile>(m_name + kLockSuffix);
    if (!m_starting->tryLock(kOtherStartMs))
        m_starting.reset();
    return askOnChannel(m_name, kRaise, kAnswerMs) == kRaised;
}

void WindowPerStory::serve(QWidget *window)
{
    m_window = window;
    m_listener =
        new ChannelListener([this](const QByteArray &request) { return answer(request); }, this);
    // No window answered under the name: a socket there is one that a window ended without
    // closing, which listen() replaces.
    m_listener->listen(m_name);
    m_starting.reset();
}

QByteArray WindowPerStory::answer(const QByteArray &request)
{
    if (!m_window)
        return {};
    if (request == kRaise) {
        bringForward(m_window);
        Q_EMIT broughtForward();
        return kRaised;
    }
    if (request == kWhere) {
        const QPoint at = m_window->pos();
        return QByteArray::number(at.x()) + ' ' + QByteArray::number(at.y()) + '\n';
    }
    return {};
}

QList<QPoint> WindowPerStory::otherWindowPlaces() const
{
    QList<QPoint> places;
    const QDir folder(runtimeFolder());
    const QStringList entries =
        folder.entryList({kNamePrefix + QLatin1Char('*')}, QDir::System | QDir::Files);
    for (const QString &entry : entries) {
        const QString name = folder.filePath(entry);
        if (name == m_name || entry.endsWith(kLockSuffix))
            continue;
        const QList<QByteArray> xy = askOnChannel(name, kWhere, kAnswerMs).trimmed().split(' ');
        bool xRead = false;
        bool yRead = false;
        const QPoint at(xy.value(0).toInt(&xRead), xy.value(1).toInt(&yRead));
        if (xy.size() == 2 && xRead && yRead)
            places.append(at);
    }
    return places;
}

QPoint WindowPerStory::cascaded(const QPoint &wanted, const QSize &size, const QRect &room) const
{
    const QList<QPoint> taken = otherWindowPlaces();
    const auto isTaken = [&taken](const QPoint &place) {
        return std::any_of(taken.cbegin(), taken.cend(), [&place](const QPoint &other) {
            return qAbs(other.x() - place.x()) < kCascadeStep / 2 &&
                   qAbs(other.y() - place.y()) < kCascadeStep / 2;
        });
    };
    QPoint place = wanted;
    while (isTaken(place)) {
        const QPoint next = place + QPoint(kCascadeStep, kCascadeStep);
        if (!room.contains(QRect(next, size)))
            break;
        place = next;
    }
    return place;
}

} // namespace vorta::app
