// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QList>
#include <QLockFile>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QString>

#include <memory>

class QWidget;

namespace vorta::app {

class ChannelListener;

// One window per story, as desktop programs keep one window per document. The window that reads
// a story listens on a local socket named after the story's folder (its canonical path) in the
// user's runtime folder, where only the user's own programs reach it. A start for a story that a
// window already reads brings that window forward and opens none; a start for another story asks
// the open windows where they stand, so that its own window opens offset from them.
class WindowPerStory : public QObject
{
    Q_OBJECT
public:
    explicit WindowPerStory(const QString &storyFolder, QObject *parent = nullptr);
    ~WindowPerStory() override;

    // Asks the window that reads the story to come forward; true when one did. Until serve(),
    // another start for the story waits for this one.
    bool bringForwardOpenWindow();

    // From now on a start for the story brings `window` forward, and one for another story asks
    // it where it stands.
    void serve(QWidget *window);

    // Where a new window of `size` stands: at `wanted`, or a step down and right for each open
    // window of the program already standing there, as long as it stays within `room`.
    QPoint cascaded(const QPoint &wanted, const QSize &size, const QRect &room) const;

Q_SIGNALS:
    // The window was brought forward for another start.
    void broughtForward();

private:
    // The places of the other windows of the program, each asked over its socket.
    QList<QPoint> otherWindowPlaces() const;
    QByteArray answer(const QByteArray &request);

    QString m_name;
    std::unique_ptr<QLockFile> m_starting;
    ChannelListener *m_listener = nullptr;
    QPointer<QWidget> m_window;
};

} // namespace vorta::app
