// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace vorta {

// Windows-1251 is single-byte: decoded by table, every byte is exactly one character, whatever
// the size of the input.
QString decodeWindows1251(QByteArrayView bytes);

// Where the first character of text lies that Windows-1251 has no byte for; std::nullopt when
// every character has one.
std::optional<qsizetype> firstUnencodable(QStringView text);

// The text in Windows-1251; every character must have a byte (see firstUnencodable).
QByteArray encodeWindows1251(QStringView text);

// The character at a position as a message names it: itself and its code, «—» (U+2014); a
// control character by its code alone.
QString characterName(QStringView text, qsizetype at);

// The lines as a text file of the tree holds them: in Windows-1251, each ended by CR LF. Every
// character must have a byte.
QByteArray windows1251Lines(const QStringList &lines);

} // namespace vorta
