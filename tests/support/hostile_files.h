// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

// What a careless or curious user can put where a data file should be. Each replaces whatever
// stands at the path; a path that cannot be made ends the test program.
namespace hostile {

// A named pipe with no writer: reading it would wait for good.
void makeFifo(const QString &path);
// A link to a device that never ends (/dev/zero).
void makeDeviceLink(const QString &path);
// A folder.
void makeFolder(const QString &path);
// A file of that many bytes that takes no room on the disk (all NUL).
void makeSparseFile(const QString &path, qint64 size);
// A file of one line of `length` digits, then the rest.
void makeHugeLine(const QString &path, qint64 length, const QByteArray &rest);

} // namespace hostile

// Ends the test program when it is still alive after the limit: a read that blocks would
// otherwise stall the whole run instead of failing it.
class HangGuard
{
public:
    HangGuard(QString what, std::chrono::seconds limit);
    ~HangGuard();
    HangGuard(const HangGuard &) = delete;
    HangGuard &operator=(const HangGuard &) = delete;

private:
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_finished = false;
    std::thread m_thread;
};
