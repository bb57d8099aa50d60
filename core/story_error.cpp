// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/story_error.h"

#include "core/text.h"

#include <new>

namespace vorta {

StoryError::StoryError(ErrorKind kind, std::u16string file, int line, std::u16string detail)
    : m_kind(kind), m_file(std::move(file)), m_line(line), m_detail(std::move(detail)),
      m_what(toUtf8(message()))
{}

std::u16string StoryError::kindText() const
{
    switch (m_kind) {
    case ErrorKind::FileNotFound:
        return u"Файл не найден";
    case ErrorKind::InputPastEndOfFile:
        return u"Чтение за концом файла";
    case ErrorKind::Overflow:
        return u"Переполнение";
    case ErrorKind::SubscriptOutOfRange:
        return u"Индекс вне допустимого диапазона";
    case ErrorKind::BadNumber:
        return u"Неверное число";
    case ErrorKind::FileNotWritten:
        return u"Файл не записан";
    case ErrorKind::PermissionDenied:
        return u"Нет доступа к файлу";
    case ErrorKind::NotRegularFile:
        return u"Не обычный файл";
    case ErrorKind::FileTooLarge:
        return u"Файл слишком велик";
    case ErrorKind::ReadError:
        return u"Ошибка чтения файла";
    case ErrorKind::OutOfMemory:
        return u"Недостаточно памяти";
    case ErrorKind::InternalError:
        return u"Внутренняя ошибка";
    case ErrorKind::SavedStoryDoesNotFit:
        return u"Сохранённый рассказ не подходит к жанрам";
    case ErrorKind::SavedStoryUnreadable:
        return u"Сохранённый рассказ не читается";
    case ErrorKind::BadStoryFile:
        return u"Файл рассказа не читается";
    case ErrorKind::BadName:
        return u"Недопустимое имя";
    case ErrorKind::StoryRefused:
        return u"Повесть не открыта";
    }
    return {};
}

std::u16string StoryError::message() const
{
    std::u16string text = kindText();
    if (!m_detail.empty())
        text += u": " + m_detail;
    if (!m_file.empty())
        text += u"\nФайл: " + m_file;
    if (m_line > 0)
        text += u"\nСтрока: " + decimal(m_line);
    return text;
}

const char *StoryError::what() const noexcept
{
    return m_what.c_str();
}

std::u16string quoted(std::u16string_view text)
{
    constexpr std::size_t kLongest = 40;
    static constexpr char kHex[] = "0123456789abcdef";
    std::u16string result = u"\"";
    for (const char16_t code : text.substr(0, kLongest)) {
        switch (code) {
        case u'\0':
            result += u"\\0";
            break;
        case u'\t':
            result += u"\\t";
            break;
        case u'\r':
            result += u"\\r";
            break;
        case u'\n':
            result += u"\\n";
            break;
        default:
            if (code < 0x20 || code == 0x7F || (code >= 0x80 && code < 0xA0)) {
                result += u"\\x";
                result.push_back(char16_t(kHex[code >> 4]));
                result.push_back(char16_t(kHex[code & 0xF]));
            } else {
                result.push_back(code);
            }
        }
    }
    if (text.size() > kLongest)
        result.push_back(u'\u2026');
    return result + u"\"";
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
        return StoryError(ErrorKind::InternalError, {}, 0, quoted(fromUtf8(error.what())));
    } catch (...) {
        return StoryError(ErrorKind::InternalError);
    }
}

} // namespace vorta
