// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "story_error.h"

#include <QStringList>

#include <new>

namespace vorta {

namespace {

// How the message names its file, on a line of its own.
const QString kFileLabel = QStringLiteral("Файл: ");

constexpr qsizetype kLongestLine = 80;

// Both ends of a text too long for `width` characters, the middle given for an ellipsis: the
// end of a path is often the telling part of it, its file name above all.
QString shortenedInTheMiddle(const QString &text, qsizetype width)
{
    if (text.size() <= width)
        return text;
    const qsizetype head = (width - 1) / 2;
    return text.left(head) + QChar(0x2026) + text.right(width - 1 - head);
}

// A line broken between words into lines of at most kLongestLine characters. A word that is a
// path is shortened to fit; any other word longer than a line is broken where the line ends.
QStringList wrapped(const QString &line)
{
    QStringList lines;
    QString current;
    for (QString word : line.split(QLatin1Char(' '))) {
        if (word.size() > kLongestLine && word.contains(QLatin1Char('/')))
            word = shortenedInTheMiddle(word, kLongestLine);
        if (!current.isEmpty() && current.size() + 1 + word.size() > kLongestLine) {
            lines.append(current);
            current.clear();
        }
        if (!current.isEmpty())
            current += QLatin1Char(' ');
        current += word;
        while (current.size() > kLongestLine) {
            lines.append(current.left(kLongestLine));
            current.remove(0, kLongestLine);
        }
    }
    lines.append(current);
    // Only a runaway value runs past a few lines; the lines after it still show.
    constexpr qsizetype kMostWrappedLines = 4;
    if (lines.size() > kMostWrappedLines) {
        lines.resize(kMostWrappedLines);
        lines.last() = lines.last().left(kLongestLine - 1) + QChar(0x2026);
    }
    return lines;
}

} // namespace

StoryError::StoryError(ErrorKind kind, QString file, int line, QString detail)
    : m_kind(kind), m_file(std::move(file)), m_line(line), m_detail(std::move(detail))
{
    m_what = message().toUtf8();
}

QString StoryError::kindText() const
{
    switch (m_kind) {
    case ErrorKind::FileNotFound:
        return QStringLiteral("Файл не найден");
    case ErrorKind::InputPastEndOfFile:
        return QStringLiteral("Чтение за концом файла");
    case ErrorKind::Overflow:
        return QStringLiteral("Переполнение");
    case ErrorKind::SubscriptOutOfRange:
        return QStringLiteral("Индекс вне допустимого диапазона");
    case ErrorKind::BadNumber:
        return QStringLiteral("Неверное число");
    case ErrorKind::FileNotWritten:
        return QStringLiteral("Файл не записан");
    case ErrorKind::PermissionDenied:
        return QStringLiteral("Нет доступа к файлу");
    case ErrorKind::NotRegularFile:
        return QStringLiteral("Не обычный файл");
    case ErrorKind::FileTooLarge:
        return QStringLiteral("Файл слишком велик");
    case ErrorKind::ReadError:
        return QStringLiteral("Ошибка чтения файла");
    case ErrorKind::OutOfMemory:
        return QStringLiteral("Недостаточно памяти");
    case ErrorKind::InternalError:
        return QStringLiteral("Внутренняя ошибка");
    case ErrorKind::SavedStoryDoesNotFit:
        return QStringLiteral("Сохранённый рассказ не подходит к жанрам");
    case ErrorKind::SavedStoryUnreadable:
        return QStringLiteral("Сохранённый рассказ не читается");
    case ErrorKind::BadStoryFile:
        return QStringLiteral("Файл рассказа не читается");
    }
    return {};
}

QString StoryError::message() const
{
    QString text = kindText();
    if (!m_detail.isEmpty())
        text += QStringLiteral(": ") + m_detail;
    if (!m_file.isEmpty())
        text += QLatin1Char('\n') + kFileLabel + m_file;
    if (m_line > 0)
        text += QStringLiteral("\nСтрока: ") + QString::number(m_line);
    return text;
}

QString quoted(QStringView text)
{
    constexpr qsizetype kLongest = 40;
    QString result = QStringLiteral("\"");
    for (const QChar c : text.first(qMin(text.size(), kLongest))) {
        const char16_t code = c.unicode();
        switch (code) {
        case u'\0':
            result += QStringLiteral("\\0");
            break;
        case u'\t':
            result += QStringLiteral("\\t");
            break;
        case u'\r':
            result += QStringLiteral("\\r");
            break;
        case u'\n':
            result += QStringLiteral("\\n");
            break;
        default:
            if (code < 0x20 || code == 0x7F || (code >= 0x80 && code < 0xA0))
                result += QStringLiteral("\\x%1").arg(int(code), 2, 16, QLatin1Char('0'));
            else
                result += c;
        }
    }
    if (text.size() > kLongest)
        result += QChar(0x2026);
    return result + QLatin1Char('"');
}

StoryError currentError()
{
    try {
        throw;
    } catch (const StoryError &error) {
        return error;
    } catch (const std::bad_alloc &) {
        return StoryError(ErrorKind::OutOfMemory);
    } catch (const std::exception &error) {
        return StoryError(ErrorKind::InternalError, {}, 0, quoted(QString::fromUtf8(error.what())));
    } catch (...) {
        return StoryError(ErrorKind::InternalError);
    }
}

QString briefMessage(const QString &message)
{
    constexpr qsizetype kMostLines = 12;
    QStringList lines = message.split(QLatin1Char('\n'));
    if (lines.size() > kMostLines) {
        lines.resize(kMostLines);
        lines.last() = QString(QChar(0x2026));
    }
    QStringList shown;
    for (const QString &line : std::as_const(lines)) {
        // The file's name is one path, blanks and all.
        if (line.startsWith(kFileLabel))
            shown.append(shortenedInTheMiddle(line, kLongestLine));
        else
            shown += wrapped(line);
    }
    return shown.join(QLatin1Char('\n'));
}

const char *StoryError::what() const noexcept
{
    return m_what.constData();
}

} // namespace vorta
