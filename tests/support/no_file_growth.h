// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <csignal>

#include <sys/resource.h>

// While it lives, no file of this process can grow past zero bytes: a new file can still be
// created, but writing to it fails, as on a full disk. Unlike permissions, the limit holds for
// root as well.
class NoFileGrowth
{
public:
    NoFileGrowth()
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        // Without this the write would end the process instead of failing.
        m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = 0;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~NoFileGrowth()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_previousHandler);
    }
    NoFileGrowth(const NoFileGrowth &) = delete;
    NoFileGrowth &operator=(const NoFileGrowth &) = delete;

private:
    rlimit m_saved{};
    void (*m_previousHandler)(int) = nullptr;
};
