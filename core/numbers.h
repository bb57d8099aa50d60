// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/story_error.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vorta {

// Story arithmetic is signed 32-bit; a result out of range is an overflow error, never a wrap.
inline std::int32_t checkedAdd(std::int32_t a, std::int32_t b)
{
    std::int32_t result;
    if (__builtin_add_overflow(a, b, &result))
        throw StoryError(ErrorKind::Overflow);
    return result;
}

inline std::int32_t checkedSub(std::int32_t a, std::int32_t b)
{
    std::int32_t result;
    if (__builtin_sub_overflow(a, b, &result))
        throw StoryError(ErrorKind::Overflow);
    return result;
}

inline std::int32_t checkedMul(std::int32_t a, std::int32_t b)
{
    std::int32_t result;
    if (__builtin_mul_overflow(a, b, &result))
        throw StoryError(ErrorKind::Overflow);
    return result;
}

// The product, or none when it does not fit 32 bits.
inline std::optional<std::int32_t> product(std::int32_t a, std::int32_t b)
{
    std::int32_t result;
    if (__builtin_mul_overflow(a, b, &result))
        return std::nullopt;
    return result;
}

// Bounds-checked element of a fixed-size story array.
template <typename T, std::size_t N> T &element(std::array<T, N> &array, std::int32_t index)
{
    if (index < 0 || std::size_t(index) >= N)
        throw StoryError(ErrorKind::SubscriptOutOfRange);
    return array[std::size_t(index)];
}

template <typename T, std::size_t N>
const T &element(const std::array<T, N> &array, std::int32_t index)
{
    if (index < 0 || std::size_t(index) >= N)
        throw StoryError(ErrorKind::SubscriptOutOfRange);
    return array[std::size_t(index)];
}

// A number in its signed written form: a leading space for 0 or more, a minus sign otherwise.
std::u16string numberText(std::int64_t value);

// Greatest integer not above a / b, for b > 0.
inline std::int32_t floorDiv(std::int32_t a, std::int32_t b)
{
    const std::int32_t q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

// A whole decimal number with an optional sign and surrounding white space, or nothing. Beyond
// 18 digits only the sign matters: the value is then the least or the greatest 64-bit number.
std::optional<std::int64_t> parseInteger(std::u16string_view text);

} // namespace vorta
