// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/diagnostics.h"
#include "core/story_error.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <string>
#include <string_view>
#include <vector>

// Where the desktop meets the core: Qt's text and bytes and the core's, converted once at the
// edge. Both hold UTF-16, so text converts unit for unit.
namespace vorta {

inline QString toQString(std::u16string_view text)
{
    return QString(reinterpret_cast<const QChar *>(text.data()), qsizetype(text.size()));
}

inline std::u16string toU16(QStringView text)
{
    return std::u16string(text.utf16(), std::size_t(text.size()));
}

inline QByteArray toQByteArray(std::string_view bytes)
{
    return QByteArray(bytes.data(), qsizetype(bytes.size()));
}

inline std::string toBytes(QByteArrayView bytes)
{
    return std::string(bytes.data(), std::size_t(bytes.size()));
}

inline QStringList toQStringList(const std::vector<std::u16string> &texts)
{
    QStringList list;
    list.reserve(qsizetype(texts.size()));
    for (const std::u16string &text : texts)
        list.append(toQString(text));
    return list;
}

inline std::vector<std::u16string> toU16List(const QStringList &texts)
{
    std::vector<std::u16string> list;
    list.reserve(std::size_t(texts.size()));
    for (const QString &text : texts)
        list.push_back(toU16(text));
    return list;
}

// A story error said in Qt's text: what the desktop builds its messages from.
inline StoryError storyError(ErrorKind kind, const QString &file = {}, int line = 0,
                             const QString &detail = {})
{
    return StoryError(kind, toU16(file), line, toU16(detail));
}

// A value from a file as a message quotes it (see the core's quoted()).
inline QString quoted(QStringView text)
{
    return toQString(quoted(std::u16string_view(text.utf16(), std::size_t(text.size()))));
}

// A finding said in Qt's text.
inline Diagnostic diagnostic(const QString &path, int line, Severity severity, const QString &text)
{
    return {toU16(path), line, severity, toU16(text)};
}

// The reader's message of an error, in Qt's text.
inline QString messageOf(const StoryError &error)
{
    return toQString(error.message());
}

} // namespace vorta
