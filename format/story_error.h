// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <exception>

namespace vorta {

// The kinds of run-time error that the story data and the story state can raise.
enum class ErrorKind
{
    FileNotFound,
    InputPastEndOfFile,
    Overflow,
    SubscriptOutOfRange,
    BadNumber,
    FileNotWritten,
    PermissionDenied,
    NotRegularFile,
    FileTooLarge,
    ReadError,
    OutOfMemory,
    InternalError,
    SavedStoryDoesNotFit,
    SavedStoryUnreadable,
    BadStoryFile,
};

// The one error type of the engine: names the kind, the file (relative to the data folder,
// empty where no file is involved) and the line (0 where no line applies).
class StoryError : public std::exception
{
public:
    StoryError(ErrorKind kind, QString file = {}, int line = 0, QString detail = {});

    ErrorKind kind() const { return m_kind; }
    const QString &file() const { return m_file; }
    int line() const { return m_line; }
    const QString &detail() const { return m_detail; }

    // The kind in the reader's words, e.g. "Файл не найден".
    QString kindText() const;
    // What the reader is told: the error, the file and the line, one per line of text.
    QString message() const;
    const char *what() const noexcept override;

private:
    ErrorKind m_kind;
    QString m_file;
    int m_line;
    QString m_detail;
    QByteArray m_what;
};

// A value from a file as a message quotes it: in double quotes, cut to 40 characters (an ellipsis
// marks the cut), with NUL and other control characters escaped, so no file can flood a message
// or hide part of it.
QString quoted(QStringView text);

// The error in flight, as the reader is told of it: a StoryError as it is, running out of memory
// and any other exception as errors of their own. Only to be called inside a catch block.
StoryError currentError();

// A message as a window shows it, whole: each line wrapped between words to at most 80
// characters. Only a path too long for a line is shortened, in its middle (an ellipsis marks the
// cut), so that both ends of it show: the file's line, and any word naming a file or a folder.
// So that no message box grows past the screen, a runaway value is cut after four lines, and a
// message after 12 of its own lines.
QString briefMessage(const QString &message);

} // namespace vorta
