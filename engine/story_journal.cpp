// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "story_journal.h"

#include "engine/journal_records.h"
#include "engine/saved_story.h"
#include "engine/story_state.h"
#include "format/atomic_write.h"
#include "format/file_reader.h"
#include "format/system_error.h"

#include <QFileInfo>

#include <cerrno>
#include <cstdio>

namespace vorta {

namespace {

// The journal's records are written straight to the file, each in one write.
constexpr QIODevice::OpenMode kAppending =
    QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered;

// Any failure to read the saved story, as the reader is told of it: what failed on the first line,
// its details on the next, so that no line is cut.
StoryError unreadableStory(const StoryError &cause)
{
    if (cause.kind() == ErrorKind::SavedStoryUnreadable)
        return cause;
    QString why = cause.kindText();
    if (!cause.detail().isEmpty())
        why += QLatin1Char('\n') + cause.detail();
    return StoryError(ErrorKind::SavedStoryUnreadable, kSavedStoryFile, 0, why);
}

// The outcome on a line of its own, so that a window cutting long lines still shows it whole.
StoryError withOutcome(const StoryError &problem, const QString &outcome)
{
    const QString detail = problem.detail() + QLatin1Char('\n') + outcome;
    return StoryError(problem.kind(), kSavedStoryFile, 0, detail);
}

} // namespace

StoryJournal::StoryJournal(const QDir &dataDir) : m_dataDir(dataDir) {}

StoryJournal::~StoryJournal() = default;

QString StoryJournal::path() const
{
    return m_dataDir.filePath(kSavedStoryFile);
}

StoryJournal::Kept::Kept(const StoryState &state)
    : nextLine(state.nextLine), stepNumber(state.stepNumber), currentGenre(state.currentGenre),
      iqValue(state.iqValue), genreCount(state.genreCount), genreUses(state.genreUses),
      genreNames(state.genreNames), genreDirs(state.genreDirs)
{}

bool StoryJournal::Kept::sameCatalogue(const StoryState &state) const
{
    return genreCount == state.genreCount && genreNames == state.genreNames &&
           genreDirs == state.genreDirs;
}

bool StoryJournal::Kept::sameStory(const StoryState &state) const
{
    return nextLine == state.nextLine && stepNumber == state.stepNumber &&
           currentGenre == state.currentGenre && iqValue == state.iqValue &&
           genreUses == state.genreUses && sameCatalogue(state);
}

std::optional<StoryError> StoryJournal::resume(StoryState &state, const QDateTime &now)
{
    // Two windows would write into each other's journal. A folder that cannot be opened to lock
    // cannot hold the journal either, and the first save says so.
    m_folderLock.emplace(m_dataDir.absolutePath());
    if (m_folderLock->heldElsewhere())
        return StoryError(ErrorKind::FileNotWritten, kSavedStoryFile, 0,
                          QStringLiteral("его ведёт другое окно программы\n"
                                         "Этот рассказ не сохраняется."));
    m_enabled = true;
    std::optional<StoryError> problem;
    const QFileInfo info(path());
    if (info.exists() || info.isSymLink()) {
        try {
            // A link is never followed: a journal written through it could land anywhere.
            if (info.isSymLink())
                throw StoryError(ErrorKind::SavedStoryUnreadable, kSavedStoryFile, 0,
                                 QStringLiteral("это ссылка"));
            const JournalContents contents =
                readJournal(readCappedFile(path(), kSavedStoryFile, kSavedStoryCap));
            checkSavedStory(contents.story);
            if (fitsCatalogue(contents.story, state)) {
                StoryState resumed = state;
                resumeSavedStory(resumed, contents.story);
                state = std::move(resumed);
                m_kept.emplace(state);
                openForAppending(contents.wholeSize);
            } else {
                problem = StoryError(ErrorKind::SavedStoryDoesNotFit, kSavedStoryFile, 0,
                                     QStringLiteral("каталог с тех пор изменился"));
            }
        } catch (...) {
            const StoryError cause = currentError();
            // Gone since it was looked at: there is nothing to resume.
            if (cause.kind() != ErrorKind::FileNotFound)
                problem = unreadableStory(cause);
        }
    }
    if (problem)
        return setAside(*problem, now);
    return std::nullopt;
}

std::optional<StoryError> StoryJournal::setAside(const StoryError &problem, const QDateTime &now)
{
    const QString reason = problem.kind() == ErrorKind::SavedStoryDoesNotFit
                               ? QStringLiteral("does-not-fit")
                               : QStringLiteral("unreadable");
    const QString stem = kSavedStoryFile + QLatin1Char('.') + reason + QLatin1Char('-') +
                         now.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    constexpr int kMostTries = 100;
    for (int n = 1; n <= kMostTries; ++n) {
        const QString name = n == 1 ? stem : stem + QLatin1Char('-') + QString::number(n);
        const QFileInfo aside(m_dataDir.filePath(name));
        if (aside.exists() || aside.isSymLink())
            continue;
        // The entry itself is renamed, whatever it is: a file, a folder, a link.
        if (std::rename(QFile::encodeName(path()).constData(),
                        QFile::encodeName(aside.filePath()).constData()) != 0)
            break;
        return withOutcome(problem,
                           QStringLiteral("Отложен как %1; начат новый рассказ.").arg(name));
    }
    // A fresh journal would take its place: this run keeps nothing rather than lose it.
    m_enabled = false;
    return withOutcome(problem, QStringLiteral("Отложить его не удалось; новый рассказ не "
                                               "сохраняется."));
}

void StoryJournal::openForAppending(qint64 wholeSize)
{
    m_file.close();
    m_file.setFileName(path());
    // A torn record at the end is cut off, so the next one follows the last whole record.
    if (!m_file.open(kAppending) || (m_file.size() != wholeSize && !m_file.resize(wholeSize)))
        m_file.close();
    m_size = wholeSize;
}

std::optional<StoryError> StoryJournal::save(const StoryState &state)
{
    if (!m_enabled)
        return std::nullopt;
    if (m_kept && m_kept->sameStory(state))
        return std::nullopt;
    // Only a move advances the step, and it only adds lines; anything else is a new story. A
    // journal that a failure left behind is never appended to.
    const bool move = m_kept && m_file.isOpen() && state.stepNumber > m_kept->stepNumber &&
                      state.nextLine >= m_kept->nextLine && m_kept->sameCatalogue(state);
    const qint32 firstLine = m_kept ? m_kept->nextLine : 1;
    m_kept.emplace(state);
    try {
        if (state.nextLine - 1 > kMaxSavedLines)
            throw StoryError(ErrorKind::FileTooLarge, kSavedStoryFile, 0,
                             QStringLiteral("в рассказе больше %1 строк").arg(kMaxSavedLines));
        if (move)
            append(state, firstLine);
        else
            writeFresh(state);
    } catch (...) {
        m_file.close();
        m_lastSaveFailed = true;
        return currentError();
    }
    m_lastSaveFailed = false;
    return std::nullopt;
}

void StoryJournal::append(const StoryState &state, qint32 firstLine)
{
    const QByteArray record = eventRecord(state, firstLine);
    if (m_size + record.size() > kSavedStoryCap)
        throw StoryError(ErrorKind::FileTooLarge, kSavedStoryFile, 0,
                         QStringLiteral("больше %1 байт").arg(kSavedStoryCap));
    errno = 0;
    if (m_file.write(record) != record.size()) {
        const QString why = m_file.isOpen() ? fileErrorText(m_file.error(), errno)
                                            : QStringLiteral("файл не открылся для дописывания");
        // What was written of the record goes; if it stays, the reader leaves it out.
        m_file.resize(m_size);
        throw StoryError(ErrorKind::FileNotWritten, kSavedStoryFile, 0, why);
    }
    m_size += record.size();
}

void StoryJournal::writeFresh(const StoryState &state)
{
    const QByteArray bytes = freshJournal(state);
    if (bytes.size() > kSavedStoryCap)
        throw StoryError(ErrorKind::FileTooLarge, kSavedStoryFile, 0,
                         QStringLiteral("больше %1 байт").arg(kSavedStoryCap));
    m_file.close();
    writeFileAtomically(path(), kSavedStoryFile, bytes);
    openForAppending(bytes.size());
}

} // namespace vorta
