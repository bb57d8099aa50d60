// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <exception>
#include <string>
#include <string_view>

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
    BadName,
    StoryRefused, // a story file the shelf does not open, for a reason it says
};

// The one error type of the story: names the kind, the file (relative to the story's folder,
// empty where no file is involved) and the line (0 where no line applies).
class StoryError : public std::exception
{
public:
    StoryError(ErrorKind kind, std::u16string file = {}, int line = 0, std::u16string detail = {});

    ErrorKind kind() const { return m_kind; }
    const std::u16string &file() const { return m_file; }
    int line() const { return m_line; }
    const std::u16string &detail() const { return m_detail; }

    // The kind in the reader's words, e.g. "Файл не найден".
    std::u16string kindText() const;
    // What the reader is told: the error, the file and the line, one per line of text.
    std::u16string message() const;
    // The message in UTF-8.
    const char *what() const noexcept override;

private:
    ErrorKind m_kind;
    std::u16string m_file;
    int m_line;
    std::u16string m_detail;
    std::string m_what;
};

// A value from a file as a message quotes it: in double quotes, cut to 40 characters (an ellipsis
// marks the cut), with NUL and other control characters escaped, so no file can flood a message
// or hide part of it.
std::u16string quoted(std::u16string_view text);

// The error in flight, as the reader is told of it: a StoryError as it is, running out of memory
// and any other exception as errors of their own. Only to be called inside a catch block.
StoryError currentError();

} // namespace vorta
