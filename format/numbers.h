// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "format/story_error.h"

#include <QString>

#include <array>
#include <cstdint>

namespace vorta {

// Story arithmetic is signed 32-bit; a result out of range is an overflow error, never a wrap.
inline qint32 checkedAdd(qint32 a, qint32 b)
{
    qint32 result;
    if (__builtin_add_overflow(a, b, &result))
        throw StoryError(ErrorKind::Overflow);
    return result;
}

inline qint32 checkedSub(qint32 a, qint32 b)
{
    qint32 result;
    if (__builtin_sub_overflow(a, b, &result))
        throw StoryError(ErrorKind::Overflow);
    return result;
}

inline qint32 checkedMul(qint32 a, qint32 b)
{
    qint32 result;
    if (__builtin_mul_overflow(a, b, &result))
        throw StoryError(ErrorKind::Overflow);
    return result;
}

// Bounds-checked element of a fixed-size story array.
template <typename T, std::size_t N> T &element(std::array<T, N> &array, qint32 index)
{
    if (index < 0 || std::size_t(index) >= N)
        throw StoryError(ErrorKind::SubscriptOutOfRange);
    return array[std::size_t(index)];
}

template <typename T, std::size_t N> const T &element(const std::array<T, N> &array, qint32 index)
{
    if (index < 0 || std::size_t(index) >= N)
        throw StoryError(ErrorKind::SubscriptOutOfRange);
    return array[std::size_t(index)];
}

// A number in its signed written form: a leading space for 0 or more, a minus sign otherwise.
inline QString numberText(qint64 value)
{
    return value < 0 ? QString::number(value) : QLatin1Char(' ') + QString::number(value);
}

// Greatest integer not above a / b, for b > 0.
inline qint32 floorDiv(qint32 a, qint32 b)
{
    const qint32 q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

} // namespace vorta
