#include "story_error.h"

namespace vorta {

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
    }
    return {};
}

QString StoryError::message() const
{
    QString text = kindText();
    if (!m_detail.isEmpty())
        text += QStringLiteral(": ") + m_detail;
    if (!m_file.isEmpty())
        text += QStringLiteral("\nФайл: ") + m_file;
    if (m_line > 0)
        text += QStringLiteral("\nСтрока: ") + QString::number(m_line);
    return text;
}

const char *StoryError::what() const noexcept
{
    return m_what.constData();
}

} // namespace vorta
