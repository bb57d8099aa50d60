// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

namespace vorta {

// A story's folder held by one program at a time: a window holds it while it keeps the story in
// progress there, and whatever replaces the folder's files holds it meanwhile. The lock goes
// with the process, so one that was killed leaves none behind. It writes nothing.
class FolderLock
{
public:
    explicit FolderLock(const QString &folderPath);
    ~FolderLock();
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;

    // Whether another program holds the folder. A folder that cannot be opened is held by none.
    bool heldElsewhere() const { return m_heldElsewhere; }

private:
    int m_fd;
    bool m_heldElsewhere = false;
};

} // namespace vorta
