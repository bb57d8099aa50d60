// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "atomic_write.h"

#include "core/story_file.h"
#include "format/qt_text.h"
#include "format/system_error.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace vorta {

namespace {

const QString kTemporaryMark = QStringLiteral(".vorta-new-");
constexpr int kRandomLength = 6;

// The temporary files and made folders of every set being staged, where a signal handler can
// reach them: each slot holds a path (its first byte the kind) or null. Only the one thread that
// stages files changes them, and the handler interrupts that thread, so a slot is never seen
// half changed. There are enough for a story file's every entry, each in a folder of its own, and
// the few files of the reader's beside them: what a reader may open, the shelf can unpack.
constexpr int kSlots = 2 * int(kMostEntries) + 64;
constexpr char kFileSlot = 'f';
constexpr char kFolderSlot = 'd';
std::array<std::atomic<char *>, kSlots> g_slots{};

std::function<void(const QString &)> &stagingHook()
{
    static std::function<void(const QString &)> hook;
    return hook;
}

[[noreturn]] void fail(const QString &shownName, const QString &cause)
{
    throw storyError(ErrorKind::FileNotWritten, shownName, 0, cause);
}

int takeSlot(char kind, const QString &path)
{
    const QByteArray encoded = QFile::encodeName(path);
    auto *copy = static_cast<char *>(std::malloc(std::size_t(encoded.size()) + 2));
    if (!copy)
        throw std::bad_alloc();
    copy[0] = kind;
    std::memcpy(copy + 1, encoded.constData(), std::size_t(encoded.size()) + 1);
    for (int slot = 0; slot < kSlots; ++slot) {
        if (!g_slots[std::size_t(slot)].load()) {
            g_slots[std::size_t(slot)].store(copy);
            return slot;
        }
    }
    std::free(copy);
    throw storyError(ErrorKind::InternalError, {}, 0,
                     QStringLiteral("больше %1 файлов пишутся разом").arg(kSlots));
}

const char *slotPath(int slot)
{
    return g_slots[std::size_t(slot)].load() + 1;
}

void releaseSlot(int slot)
{
    std::free(g_slots[std::size_t(slot)].exchange(nullptr));
}

// Removes what the slots name: the files first, then the folders, the deepest first (rmdir
// refuses a folder that still holds something, so the passes go on while one succeeds).
// Async-signal-safe.
void removeSlotted()
{
    for (std::atomic<char *> &slot : g_slots) {
        const char *entry = slot.load();
        if (entry && entry[0] == kFileSlot)
            ::unlink(entry + 1);
    }
    for (bool removed = true; removed;) {
        removed = false;
        for (std::atomic<char *> &slot : g_slots) {
            const char *entry = slot.load();
            if (entry && entry[0] == kFolderSlot && ::rmdir(entry + 1) == 0)
                removed = true;
        }
    }
}

extern "C" void removeAndEnd(int signalNumber)
{
    removeSlotted();
    ::signal(signalNumber, SIG_DFL);
    ::raise(signalNumber);
}

// Holds SIGINT and SIGTERM off for its life, so that renames and removals run to their end.
class SignalsHeld
{
public:
    SignalsHeld()
    {
        sigset_t held;
        sigemptyset(&held);
        sigaddset(&held, SIGINT);
        sigaddset(&held, SIGTERM);
        pthread_sigmask(SIG_BLOCK, &held, &m_previous);
    }
    ~SignalsHeld() { pthread_sigmask(SIG_SETMASK, &m_previous, nullptr); }
    SignalsHeld(const SignalsHeld &) = delete;
    SignalsHeld &operator=(const SignalsHeld &) = delete;

private:
    sigset_t m_previous;
};

QString randomPart()
{
    static const char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString part;
    for (int i = 0; i < kRandomLength; ++i)
        part += QLatin1Char(kAlphabet[QRandomGenerator::global()->bounded(62)]);
    return part;
}

// Writes the whole of the bytes, going on after a write that was cut short.
bool writeAll(int fd, const QByteArray &bytes)
{
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n =
            ::write(fd, bytes.constData() + written, std::size_t(bytes.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        written += n;
    }
    return true;
}

} // namespace

StagedFiles::~StagedFiles()
{
    abandon();
}

void StagedFiles::makeFolder(const QString &fullPath, const QString &shownName)
{
    QStringList missing;
    for (QString path = QDir::cleanPath(QFileInfo(fullPath).absoluteFilePath());
         !QFileInfo(path).isDir(); path = QFileInfo(path).path()) {
        missing.prepend(path);
        if (QFileInfo(path).isRoot())
            break;
    }
    try {
        for (const QString &folder : std::as_const(missing)) {
            const int slot = takeSlot(kFolderSlot, folder);
            if (::mkdir(slotPath(slot), 0777) != 0) {
                const int error = errno;
                releaseSlot(slot);
                fail(shownName, QStringLiteral("не создать папку %1: %2")
                                    .arg(QDir::toNativeSeparators(folder), systemErrorText(error)));
            }
            m_madeFolders.append(slot);
        }
    } catch (...) {
        abandon();
        throw;
    }
}

void StagedFiles::stage(const QString &fullPath, const QString &shownName, const QByteArray &bytes)
{
    try {
        if (stagingHook())
            stagingHook()(fullPath);
        const QFileInfo info(fullPath);
        const QByteArray target = QFile::encodeName(fullPath);
        struct stat existing;
        bool keepMode = false;
        if (::lstat(target.constData(), &existing) == 0) {
            if (S_ISDIR(existing.st_mode))
                fail(shownName, systemErrorText(EISDIR));
            // A file that may not be written is not replaced behind its owner's back.
            if (S_ISREG(existing.st_mode)) {
                if (::access(target.constData(), W_OK) != 0)
                    fail(shownName, systemErrorText(errno));
                keepMode = true;
            }
        } else if (errno != ENOENT) {
            fail(shownName, systemErrorText(errno));
        }

        int fd = -1;
        for (int attempt = 0; fd < 0; ++attempt) {
            const int slot =
                takeSlot(kFileSlot, info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                                        kTemporaryMark + randomPart());
            fd = ::open(slotPath(slot), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd >= 0) {
                m_files.append({fullPath, shownName, slot});
                break;
            }
            const int error = errno;
            releaseSlot(slot);
            if (error != EEXIST || attempt == 100)
                fail(shownName, systemErrorText(error));
        }
        bool written = writeAll(fd, bytes);
        int error = errno;
        if (written && keepMode)
            ::fchmod(fd, existing.st_mode & 07777);
        // On the disk before it can replace the old file: a power cut must not leave an empty
        // file in its place.
        if (written && ::fsync(fd) != 0) {
            written = false;
            error = errno;
        }
        if (::close(fd) != 0 && written) {
            written = false;
            error = errno;
        }
        if (!written)
            fail(shownName, systemErrorText(error));
    } catch (...) {
        abandon();
        throw;
    }
}

void StagedFiles::commit()
{
    const SignalsHeld held;
    std::optional<StoryError> failure;
    for (const File &file : std::as_const(m_files)) {
        const QByteArray path = QFile::encodeName(file.path);
        if (!failure && ::rename(slotPath(file.slot), path.constData()) != 0) {
            const int error = errno;
            failure =
                storyError(ErrorKind::FileNotWritten, file.shownName, 0, systemErrorText(error));
        }
        if (failure)
            ::unlink(slotPath(file.slot));
        releaseSlot(file.slot);
    }
    m_files.clear();
    // The folders hold what was renamed into them.
    for (const int slot : std::as_const(m_madeFolders))
        releaseSlot(slot);
    m_madeFolders.clear();
    if (failure)
        throw *failure;
}

void StagedFiles::abandon()
{
    if (m_files.isEmpty() && m_madeFolders.isEmpty())
        return;
    const SignalsHeld held;
    for (const File &file : std::as_const(m_files)) {
        ::unlink(slotPath(file.slot));
        releaseSlot(file.slot);
    }
    m_files.clear();
    for (qsizetype i = m_madeFolders.size() - 1; i >= 0; --i) {
        ::rmdir(slotPath(m_madeFolders.at(i)));
        releaseSlot(m_madeFolders.at(i));
    }
    m_madeFolders.clear();
}

void writeFileAtomically(const QString &fullPath, const QString &shownName, const QByteArray &bytes)
{
    StagedFiles file;
    file.stage(fullPath, shownName, bytes);
    file.commit();
}

bool isStagedTemporary(const QString &fileName)
{
    static const QRegularExpression pattern(QStringLiteral("^\\..+%1[A-Za-z0-9]{%2}$")
                                                .arg(QRegularExpression::escape(kTemporaryMark))
                                                .arg(kRandomLength));
    return pattern.match(fileName).hasMatch();
}

QStringList removeLeftoverTemporaries(const QDir &folder)
{
    QStringList removed;
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        if (!isStagedTemporary(name))
            continue;
        const QByteArray path = QFile::encodeName(folder.filePath(name));
        struct stat info;
        if (::lstat(path.constData(), &info) == 0 && S_ISREG(info.st_mode) &&
            ::unlink(path.constData()) == 0)
            removed.append(name);
    }
    return removed;
}

void removeStagedFilesOnSignals()
{
    for (const int signalNumber : {SIGINT, SIGTERM}) {
        struct sigaction action;
        std::memset(&action, 0, sizeof action);
        // A signal ignored when the program started (a job in the background) stays ignored.
        if (::sigaction(signalNumber, nullptr, &action) == 0 && action.sa_handler == SIG_IGN)
            continue;
        std::memset(&action, 0, sizeof action);
        action.sa_handler = removeAndEnd;
        sigemptyset(&action.sa_mask);
        sigaddset(&action.sa_mask, SIGINT);
        sigaddset(&action.sa_mask, SIGTERM);
        ::sigaction(signalNumber, &action, nullptr);
    }
}

void setStagingHook(std::function<void(const QString &fullPath)> hook)
{
    stagingHook() = std::move(hook);
}

} // namespace vorta
