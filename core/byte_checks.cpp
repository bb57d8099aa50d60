// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/byte_checks.h"

#include "core/line_ends.h"
#include "core/text.h"

namespace vorta {

namespace {

// The one byte that Windows-1251 leaves without a character.
constexpr char kUndefinedByte = char(0x98);
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

struct LineEndCount
{
    int firstLine = 0;
    int last = 0;
    int count = 0;

    void add(int line)
    {
        if (count == 0)
            firstLine = line;
        last = line;
        ++count;
    }
};

} // namespace

ByteFindings checkFileBytes(const std::u16string &path, std::string_view bytes)
{
    ByteFindings findings;
    LineEndCount bareLf;
    LineEndCount bareCr;
    int firstNonAsciiLine = 0;
    std::vector<int> undefinedByteLines;
    LineEndCount nulLines; // lines holding a NUL byte

    const std::vector<LineSpan> spans = lineSpans(bytes);
    for (std::size_t index = 0; index < spans.size(); ++index) {
        const LineSpan &span = spans[index];
        const int line = int(index) + 1;
        if (span.endLength == 1)
            (bytes[span.start + span.length] == '\n' ? bareLf : bareCr).add(line);
        for (std::size_t i = span.start; i < span.start + span.length; ++i) {
            const char c = bytes[i];
            if (c == '\0') {
                if (nulLines.count == 0 || nulLines.last != line)
                    nulLines.add(line);
            } else if (static_cast<unsigned char>(c) >= 0x80) {
                if (firstNonAsciiLine == 0)
                    firstNonAsciiLine = line;
                if (c == kUndefinedByte &&
                    (undefinedByteLines.empty() || undefinedByteLines.back() != line))
                    undefinedByteLines.push_back(line);
            }
        }
    }

    auto warn = [&](int at, const std::u16string &text) {
        findings.diagnostics.push_back({path, at, Severity::Warning, text});
    };
    if (bareLf.count > 0)
        warn(bareLf.firstLine, format(u"строка кончается LF без CR (таких строк в файле: %1); "
                                      u"нужен конец строки CR LF",
                                      {decimal(bareLf.count)}));
    if (bareCr.count > 0)
        warn(bareCr.firstLine, format(u"строка кончается CR без LF (таких строк в файле: %1); "
                                      u"нужен конец строки CR LF",
                                      {decimal(bareCr.count)}));

    // Russian text in Windows-1251 almost never forms valid UTF-8 (two letters in a row do not),
    // so a file with non-ASCII bytes that decodes as UTF-8 was saved in the wrong encoding.
    findings.looksLikeUtf8 = firstNonAsciiLine > 0 && isUtf8(bytes);
    if (nulLines.count > 0)
        warn(nulLines.firstLine,
             format(u"байт NUL (0x00) в тексте (таких строк в файле: %1): это не знак текста; так "
                    u"бывает, когда файл сохранён в UTF-16 или испорчен",
                    {decimal(nulLines.count)}));
    if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom && !findings.looksLikeUtf8)
        warn(1, u"файл начинается с метки UTF-8 (байты EF BB BF), а текст в кодировке "
                u"Windows-1251: программа прочтёт метку как три знака «п»ї» в начале первой "
                u"строки");
    if (findings.looksLikeUtf8) {
        warn(firstNonAsciiLine,
             u"текст похож на UTF-8, а программа читает его в кодировке Windows-1251");
    } else {
        for (int at : undefinedByteLines)
            warn(at, u"байт 0x98 не определён в кодировке Windows-1251");
    }
    return findings;
}

} // namespace vorta
