// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/tree_paths.h"

#include "core/numbers.h"
#include "core/text.h"
#include "core/unicode.h"

namespace vorta {

std::u16string nameFault(std::u16string_view name)
{
    if (name.empty())
        return u"пустое имя";
    if (name == u"." || name == u"..")
        return u"имя «.» или «..»";
    if (name.front() == u' ' || name.back() == u' ')
        return u"пробел в начале или в конце имени";
    for (std::size_t i = 0; i < name.size();) {
        const CodePoint point = codePointAt(name, i);
        const char32_t c = point.value;
        if (c == u'/' || c == u'\\')
            return u"косая черта в имени";
        if (c == u':')
            return u"двоеточие в имени";
        if (isControl(c))
            return u"управляющий знак в имени";
        if (isFormat(c))
            return u"невидимый знак форматирования в имени";
        if (c >= 0xD800 && c < 0xE000)
            return u"одиночный суррогат в имени";
        i += point.length;
    }
    return {};
}

std::u16string pathFault(std::u16string_view path)
{
    if (path.empty())
        return u"пустой путь";
    for (std::size_t start = 0;;) {
        const std::size_t slash = path.find(u'/', start);
        const std::u16string_view part = path.substr(start, slash - start);
        if (std::u16string fault = nameFault(part); !fault.empty())
            return fault;
        if (slash == std::u16string_view::npos)
            return {};
        start = slash + 1;
    }
}

std::u16string genreFolderPath(std::u16string_view genreDir)
{
    std::u16string path = kGenresFolder;
    path += u'/';
    path += genreDir;
    return path;
}

std::u16string fragmentFilePath(std::u16string_view genreDir, std::int32_t step)
{
    // The signed text of the step without its first character: plain digits for 1 and up.
    const std::u16string digits = numberText(step).substr(1);
    std::u16string path;
    path.reserve(kGenresFolder.size() + genreDir.size() + digits.size() + 6);
    path += kGenresFolder;
    path += u'/';
    path += genreDir;
    path += u'/';
    path += digits;
    path += u".vtq";
    return path;
}

std::int64_t capFor(std::u16string_view relativePath)
{
    return relativePath == kSettingsFile ? kSettingsFileCap : kDataFileCap;
}

} // namespace vorta
