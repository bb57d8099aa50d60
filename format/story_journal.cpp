// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "story_journal.h"

#include "core/saved_story.h"
#include "core/story_state.h"
#include "format/atomic_write.h"
#include "format/file_reader.h"
#include "format/journal_records.h"
#include "format/system_error.h"

#include <QFileInfo>

#include <cerrno>
#include <cstdio>

namespace vorta {

namespace {

// The journal's name as the reader's messages give it.
QString journalName()
{
    return toQString(kSavedStoryFile);
}

// The journal's records are written straight to the file, each in one write.
constexpr QIODevice::OpenMode kAppending =
    QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered;

// Any failure to read the saved story, as the reader is told of it: what failed on the first line,
// its details on the next, so that no line is cut.
StoryError unreadableStory(const StoryError &cause)
{
    if (cause.kind() == ErrorKind::SavedStoryUnreadable)
        return cause;
    std::u16string why = cause.kindText();
    if (!cause.detail().empty())
        why += u"\n" + cause.detail();
    return StoryError(ErrorKind::SavedStoryUnreadable, kSavedStoryFile, 0, why);
}

// The outcome on a line of its own, so that a window cutting long lines still shows it whole.
StoryError withOutcome(const StoryError &problem, const QString &outcome)
{
    return StoryError(problem.kind(), kSavedStoryFile, 0,
                      problem.detail() + u"\n" + toU16(outcome));
}

} // namespace

StoryJournal::StoryJournal(const QDir &dataDir) : m_dataDir(dataDir) {}

StoryJournal::~StoryJournal() = default;

QString StoryJournal::path() const
{
    return m_dataDir.filePath(journalName());
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
    m_folderLock.emplace(FolderLock::forJournal(m_dataDir.absolutePath()));
    if (m_folderLock->heldElsewhere())
        return storyError(ErrorKind::FileNotWritten, journalName(), 0,
                          QStringLiteral("его ведёт другое окно программы\n"
                                         "Этот рассказ не сохраняется."));
    m_enabled = true;
    std::optional<StoryError> problem;
    const QFileInfo info(path());
    if (info.exists() || info.isSymLink()) {
        try {
            // A link is never followed: a journal written through it could land anywhere.
            if (info.isSymLink())
                throw storyError(ErrorKind::SavedStoryUnreadable, journalName(), 0,
                                 QStringLiteral("это ссылка"));
            const JournalContents contents =
                readJournal(readCappedFile(path(), journalName(), kSavedStoryCap));
            checkSavedStory(contents.story);
            if (fitsCatalogue(contents.story, state)) {
                StoryState resumed = state;
                resumeSavedStory(resumed, contents.story);
                state = std::move(resumed);
                m_kept.emplace(state);
                openForAppending(contents.wholeSize);
            } else {
                problem = storyError(ErrorKind::SavedStoryDoesNotFit, journalName(), 0,
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
    const QString stem = journalName() + QLatin1Char('.') + reason + QLatin1Char('-') +
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

std::optional<SavedStory> StoryJournal::savedCatalogue(const QDir &dataDir)
{
    // The head names at most ten genres; a longer one is not a journal written here.
    constexpr qint64 kHeadCap = 64 * 1024;
    const std::optional<QByteArray> start =
        readFileStart(dataDir.filePath(journalName()), kHeadCap);
    return start ? readJournalHead(*start) : std::nullopt;
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
            throw storyError(ErrorKind::FileTooLarge, journalName(), 0,
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
        throw storyError(ErrorKind::FileTooLarge, journalName(), 0,
                         QStringLiteral("больше %1 байт").arg(kSavedStoryCap));
    errno = 0;
    const qint64 written = m_file.write(record);
    if (written != record.size()) {
        const int error = errno;
        // A write cut short is no error to Qt, and may leave none in errno either.
        const QString why =
            !m_file.isOpen() ? QStringLiteral("файл не открылся для дописывания")
            : m_file.error() != QFileDevice::NoError ? fileErrorText(m_file.error(), error)
            : error != 0                             ? systemErrorText(error)
                         : QStringLiteral("на диске нет места, или запись оборвалась");
        // What was written of the record goes; if it stays, the reader leaves it out.
        m_file.resize(m_size);
        throw storyError(ErrorKind::FileNotWritten, journalName(), 0, why);
    }
    m_size += record.size();
}

void StoryJournal::writeFresh(const StoryState &state)
{
    const QByteArray bytes = freshJournal(state);
    if (bytes.size() > kSavedStoryCap)
        throw storyError(ErrorKind::FileTooLarge, journalName(), 0,
                         QStringLiteral("больше %1 байт").arg(kSavedStoryCap));
    m_file.close();
    writeFileAtomically(path(), journalName(), bytes);
    openForAppending(bytes.size());
}

} // namespace vorta
