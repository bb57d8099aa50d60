// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The program's start-up to its first shown window, and its peak memory, beside a bare Qt
// Widgets program showing an empty window of the same size. Whole processes are measured.
#include "bench_support.h"

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <chrono>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace vorta::bench {

namespace {

struct ProcessCost
{
    double seconds = 0;
    // The processor time is steadier than the wall time on a busy machine: it shows whether a
    // difference in time is work or waiting.
    double cpuSeconds = 0;
    double peakMiB = 0;
    std::string failure;
};

// Runs the program in the data folder and waits for its end. The program prints its peak
// memory as its last line; its other output is discarded.
ProcessCost runProcess(const char *program)
{
    ProcessCost cost;
    int output[2];
    if (pipe(output) != 0) {
        cost.failure = "no pipe";
        return cost;
    }
    const QByteArray folder = dataDir().absolutePath().toLocal8Bit();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, folder.constData());
    posix_spawn_file_actions_adddup2(&actions, output[1], 1);
    posix_spawn_file_actions_addclose(&actions, output[0]);
    posix_spawn_file_actions_addclose(&actions, output[1]);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    char *argv[] = {const_cast<char *>(program), nullptr};

    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(output[1]);
    if (spawned != 0) {
        close(output[0]);
        cost.failure = std::string("cannot start ") + program;
        return cost;
    }
    int status = 0;
    rusage usage{};
    const pid_t ended = wait4(pid, &status, 0, &usage);
    const auto end = std::chrono::steady_clock::now();
    // A few bytes at most: they wait in the pipe until the program has ended.
    std::string printed;
    char buffer[256];
    for (ssize_t n; (n = read(output[0], buffer, sizeof buffer)) > 0;)
        printed.append(buffer, std::size_t(n));
    close(output[0]);
    if (ended != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        cost.failure = std::string(program) + " ended with status " + std::to_string(status) +
                       "; run it by hand in the data folder to see why";
        return cost;
    }
    const std::size_t lastLine = printed.find_last_of('\n', printed.size() - 2);
    const long long peakKiB =
        std::atoll(printed.c_str() + (lastLine == std::string::npos ? 0 : lastLine + 1));
    if (peakKiB <= 0) {
        cost.failure = std::string(program) + " did not print its peak memory";
        return cost;
    }
    cost.seconds = std::chrono::duration<double>(end - start).count();
    const auto cpuSeconds = [](const timeval &t) {
        return double(t.tv_sec) + t.tv_usec / 1e6;
    };
    cost.cpuSeconds = cpuSeconds(usage.ru_utime) + cpuSeconds(usage.ru_stime);
    cost.peakMiB = double(peakKiB) / 1024.0;
    return cost;
}

// The reader's shelf of the runs through the story file, apart from the reader's own.
QString benchShelfHome()
{
    static const QString home = [] {
        const QString path = QDir::tempPath() + QStringLiteral("/vorta-bench-shelf");
        qputenv("XDG_DATA_HOME", QFile::encodeName(path));
        return path;
    }();
    return home;
}

// emptyShelf: every run finds the story not yet unpacked, as the first start does.
void startUpCost(benchmark::State &bm, const char *program, bool emptyShelf = false)
{
    const auto emptyTheShelf = [emptyShelf] {
        if (emptyShelf)
            QDir(benchShelfHome()).removeRecursively();
    };
    benchShelfHome();
    // One run out of the measure, so that every measured run finds the files in the cache.
    if (const ProcessCost warm = runProcess(program); !warm.failure.empty()) {
        bm.SkipWithError(warm.failure.c_str());
        return;
    }
    double peakMiB = 0;
    double cpuMs = 0;
    for (auto _ : bm) {
        emptyTheShelf(); // out of the measure: the time is the process's own
        const ProcessCost cost = runProcess(program);
        if (!cost.failure.empty()) {
            bm.SkipWithError(cost.failure.c_str());
            break;
        }
        bm.SetIterationTime(cost.seconds);
        peakMiB += cost.peakMiB;
        cpuMs += cost.cpuSeconds * 1e3;
    }
    bm.counters["peakMiB"] = benchmark::Counter(peakMiB, benchmark::Counter::kAvgIterations);
    bm.counters["cpuMs"] = benchmark::Counter(cpuMs, benchmark::Counter::kAvgIterations);
}

constexpr int kRunsPerRepetition = 10;

BENCHMARK_CAPTURE(startUpCost, program, VORTA_BENCH_FIRST_WINDOW)
    ->Name("start/program")
    ->UseManualTime()
    ->Iterations(kRunsPerRepetition)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_CAPTURE(startUpCost, storyFile, VORTA_BENCH_STORY_FILE_WINDOW)
    ->Name("start/storyFile")
    ->UseManualTime()
    ->Iterations(kRunsPerRepetition)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_CAPTURE(startUpCost, unpacking, VORTA_BENCH_STORY_FILE_WINDOW, true)
    ->Name("start/storyFileFirst")
    ->UseManualTime()
    ->Iterations(kRunsPerRepetition)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_CAPTURE(startUpCost, bare, VORTA_BENCH_BARE_WINDOW)
    ->Name("start/bareQt")
    ->UseManualTime()
    ->Iterations(kRunsPerRepetition)
    ->Unit(benchmark::kMillisecond);

} // namespace

} // namespace vorta::bench
