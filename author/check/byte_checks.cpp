// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "byte_checks.h"

#include "format/line_ends.h"

#include <QStringDecoder>

namespace vorta::author {

namespace {

// The one byte that Windows-1251 leaves without a character.
constexpr char kUndefinedByte = char(0x98);

bool isValidUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder.decode(bytes);
    Q_UNUSED(decoded);
    return !decoder.hasError();
}

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

const QByteArray kUtf8Bom = QByteArrayLiteral("\xEF\xBB\xBF");

} // namespace

ByteFindings checkFileBytes(const QString &path, const QByteArray &bytes)
{
    ByteFindings findings;
    LineEndCount bareLf;
    LineEndCount bareCr;
    int firstNonAsciiLine = 0;
    QList<int> undefinedByteLines;
    LineEndCount nulLines; // lines holding a NUL byte

    const QList<LineSpan> spans = lineSpans(bytes);
    for (qsizetype index = 0; index < spans.size(); ++index) {
        const LineSpan &span = spans.at(index);
        const int line = int(index) + 1;
        if (span.endLength == 1)
            (bytes.at(span.start + span.length) == '\n' ? bareLf : bareCr).add(line);
        for (qsizetype i = span.start; i < span.start + span.length; ++i) {
            const char c = bytes.at(i);
            if (c == '\0') {
                if (nulLines.count == 0 || nulLines.last != line)
                    nulLines.add(line);
            } else if (static_cast<unsigned char>(c) >= 0x80) {
                if (firstNonAsciiLine == 0)
                    firstNonAsciiLine = line;
                if (c == kUndefinedByte &&
                    (undefinedByteLines.isEmpty() || undefinedByteLines.back() != line))
                    undefinedByteLines.append(line);
            }
        }
    }

    auto warn = [&](int at, const QString &text) {
        findings.diagnostics.append({path, at, Severity::Warning, text});
    };
    if (bareLf.count > 0)
        warn(bareLf.firstLine, QStringLiteral("строка кончается LF без CR (таких строк в файле: "
                                              "%1); нужен конец строки CR LF")
                                   .arg(bareLf.count));
    if (bareCr.count > 0)
        warn(bareCr.firstLine, QStringLiteral("строка кончается CR без LF (таких строк в файле: "
                                              "%1); нужен конец строки CR LF")
                                   .arg(bareCr.count));

    // Russian text in Windows-1251 almost never forms valid UTF-8 (two letters in a row do not),
    // so a file with non-ASCII bytes that decodes as UTF-8 was saved in the wrong encoding.
    findings.looksLikeUtf8 = firstNonAsciiLine > 0 && isValidUtf8(bytes);
    if (nulLines.count > 0)
        warn(nulLines.firstLine,
             QStringLiteral("байт NUL (0x00) в тексте (таких строк в файле: %1): это не знак "
                            "текста; так бывает, когда файл сохранён в UTF-16 или испорчен")
                 .arg(nulLines.count));
    if (bytes.startsWith(kUtf8Bom) && !findings.looksLikeUtf8)
        warn(1, QStringLiteral("файл начинается с метки UTF-8 (байты EF BB BF), а текст в "
                               "кодировке Windows-1251: программа прочтёт метку как три знака "
                               "«п»ї» в начале первой строки"));
    if (findings.looksLikeUtf8) {
        warn(firstNonAsciiLine,
             QStringLiteral("текст похож на UTF-8, а программа читает его в кодировке "
                            "Windows-1251"));
    } else {
        for (int at : undefinedByteLines)
            warn(at, QStringLiteral("байт 0x98 не определён в кодировке Windows-1251"));
    }
    return findings;
}

} // namespace vorta::author
