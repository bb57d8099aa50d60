// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "windows1251.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <array>

namespace vorta {

namespace {

bool encodable(QChar c)
{
    if (c.unicode() < 0x80)
        return true;
    // A character has a byte when its encoding decodes back to it; the engine decodes by the
    // same table, so what passes here reads back exactly.
    const QByteArray bytes = encodeWindows1251(QStringView(&c, 1));
    return bytes.size() == 1 && decodeWindows1251(bytes) == QString(c);
}

} // namespace

QString decodeWindows1251(QByteArrayView bytes)
{
    static const std::array<QChar, 256> table = [] {
        std::array<QChar, 256> characters{};
        for (int b = 0; b < 256; ++b) {
            const char byte = char(b);
            QStringDecoder decoder("windows-1251");
            const QString one = decoder.decode(QByteArrayView(&byte, 1));
            characters[std::size_t(b)] =
                one.size() == 1 ? one.at(0) : QChar(QChar::ReplacementCharacter);
        }
        return characters;
    }();
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char byte : bytes)
        *out++ = table[static_cast<unsigned char>(byte)];
    return text;
}

std::optional<qsizetype> firstUnencodable(QStringView text)
{
    // Nearly every line encodes whole; only a line that does not is searched character by
    // character.
    if (decodeWindows1251(encodeWindows1251(text)) == text)
        return std::nullopt;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!encodable(text.at(i)))
            return i;
    }
    return std::nullopt;
}

QByteArray encodeWindows1251(QStringView text)
{
    // Opening the converter costs far more than a line's encoding; a stateless one can be
    // shared by every call.
    static QStringEncoder encoder("windows-1251", QStringConverter::Flag::Stateless);
    return encoder.encode(text);
}

QString characterName(QStringView text, qsizetype at)
{
    char32_t code = text.at(at).unicode();
    qsizetype length = 1;
    if (text.at(at).isHighSurrogate() && at + 1 < text.size() && text.at(at + 1).isLowSurrogate()) {
        code = QChar::surrogateToUcs4(text.at(at), text.at(at + 1));
        length = 2;
    }
    const QString hex =
        QStringLiteral("U+%1").arg(qulonglong(code), 4, 16, QLatin1Char('0')).toUpper();
    if (code < 0x20 || (code >= 0x7F && code < 0xA0) || QChar::isSurrogate(code))
        return hex;
    return QStringLiteral("«%1» (%2)").arg(text.mid(at, length).toString(), hex);
}

QByteArray windows1251Lines(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines) {
        bytes += encodeWindows1251(line);
        bytes += "\r\n";
    }
    return bytes;
}

} // namespace vorta
