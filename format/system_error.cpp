// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "system_error.h"

#include <cerrno>

namespace vorta {

QString systemErrorText(int errorNumber)
{
    switch (errorNumber) {
    case ENOENT:
        return QStringLiteral("нет такого файла или папки");
    case ENOTDIR:
        return QStringLiteral("часть пути — не папка");
    case EISDIR:
        return QStringLiteral("это папка");
    case EACCES:
    case EPERM:
        return QStringLiteral("нет прав доступа");
    case EROFS:
        return QStringLiteral("файловая система только для чтения");
    case ENOSPC:
        return QStringLiteral("на диске нет места");
    case EDQUOT:
        return QStringLiteral("исчерпана дисковая квота");
    case EFBIG:
        return QStringLiteral("файл больше, чем позволяет файловая система");
    case EIO:
        return QStringLiteral("ошибка ввода-вывода на устройстве");
    case ENAMETOOLONG:
        return QStringLiteral("слишком длинное имя файла");
    case ELOOP:
        return QStringLiteral("слишком много символических ссылок в пути");
    case EEXIST:
        return QStringLiteral("файл уже есть");
    case ENOTEMPTY:
        return QStringLiteral("папка не пуста");
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("файл занят");
    case EXDEV:
        return QStringLiteral("файлы на разных файловых системах");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("открыто слишком много файлов");
    case ENOMEM:
        return QStringLiteral("недостаточно памяти");
    case EINTR:
        return QStringLiteral("операция прервана");
    case EAGAIN:
        return QStringLiteral("ресурс временно недоступен");
    case EINVAL:
        return QStringLiteral("недопустимый аргумент");
    case ENXIO:
    case ENODEV:
        return QStringLiteral("нет такого устройства");
    case ESTALE:
        return QStringLiteral("устаревший дескриптор сетевого файла");
    default:
        return QStringLiteral("системная ошибка %1").arg(errorNumber);
    }
}

QString fileErrorText(QFileDevice::FileError error, int errorNumber)
{
    if (errorNumber != 0 && error != QFileDevice::NoError)
        return systemErrorText(errorNumber);
    switch (error) {
    case QFileDevice::NoError:
        return QStringLiteral("ошибки нет");
    case QFileDevice::ReadError:
        return QStringLiteral("ошибка чтения");
    case QFileDevice::WriteError:
        return QStringLiteral("ошибка записи");
    case QFileDevice::FatalError:
        return QStringLiteral("неустранимая ошибка");
    case QFileDevice::ResourceError:
        return QStringLiteral("не хватает места или других ресурсов системы");
    case QFileDevice::OpenError:
        return QStringLiteral("файл не открывается");
    case QFileDevice::AbortError:
        return QStringLiteral("операция прервана");
    case QFileDevice::TimeOutError:
        return QStringLiteral("время ожидания истекло");
    case QFileDevice::UnspecifiedError:
        return QStringLiteral("неизвестная ошибка");
    case QFileDevice::RemoveError:
        return QStringLiteral("файл не удаляется");
    case QFileDevice::RenameError:
        return QStringLiteral("файл не переименовывается");
    case QFileDevice::PositionError:
        return QStringLiteral("ошибка позиции в файле");
    case QFileDevice::ResizeError:
        return QStringLiteral("размер файла не меняется");
    case QFileDevice::PermissionsError:
        return QStringLiteral("нет прав доступа");
    case QFileDevice::CopyError:
        return QStringLiteral("файл не копируется");
    }
    return QStringLiteral("неизвестная ошибка");
}

} // namespace vorta
