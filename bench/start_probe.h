// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QApplication>
#include <QByteArray>
#include <QEvent>
#include <QFile>
#include <QObject>
#include <QTimer>

#include <cstdio>

// What the two programs whose start-up is compared share: each ends once its first window has
// been painted, so that a run costs the start-up to the first shown window and nothing after.

class QuitOnFirstPaint : public QObject
{
public:
    QuitOnFirstPaint()
    {
        qApp->installEventFilter(this);
        // A window that never paints must not hang the benchmark: exit with a code it reports.
        QTimer::singleShot(20000, qApp, [] { QCoreApplication::exit(3); });
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            qApp->removeEventFilter(this);
            // The whole window is painted in this one pass; the loop ends once it is over (a
            // quit before the loop has started would be lost, a posted one is not).
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return QObject::eventFilter(watched, event);
    }
};

// Runs the event loop, then prints the process's peak resident memory in KiB (VmHWM). The
// parent cannot take it from wait4(): a child started from a large process keeps that
// process's peak as the starting point of its own.
inline int execAndReportPeakMemory()
{
    const int code = QApplication::exec();
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmHWM:"))
                std::printf("%lld\n", line.mid(6).trimmed().split(' ').first().toLongLong());
        }
    }
    return code;
}
