// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/line_ends.h"
#include "core/numbers.h"
#include "core/text.h"
#include "core/unicode.h"
#include "core/windows1251.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>

using namespace vorta;

namespace {

std::u16string u16(const QString &text)
{
    return text.toStdU16String();
}

// The code points of the Basic Multilingual Plane that are characters in Qt's Unicode.
QList<char16_t> assignedBmp()
{
    QList<char16_t> characters;
    for (char32_t c = 0; c < 0x10000; ++c) {
        if ((c < 0xD800 || c >= 0xE000) && QChar::unicodeVersion(c) != QChar::Unicode_Unassigned)
            characters.append(char16_t(c));
    }
    return characters;
}

} // namespace

// The core was made to do without Qt what the program did with it; these compare the two over
// every byte and every character of the Basic Multilingual Plane.
class TestCoreAgainstQt : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void windows1251DecodesEveryByteAsQtDoes()
    {
        for (int b = 0; b < 256; ++b) {
            const char byte = char(b);
            QStringDecoder decoder("windows-1251");
            const QString qt = decoder.decode(QByteArrayView(&byte, 1));
            QCOMPARE(decodeWindows1251(std::string(1, byte)), u16(qt));
        }
    }

    void windows1251EncodesEveryCharacterAsQtDoes()
    {
        QStringEncoder encoder("windows-1251", QStringConverter::Flag::Stateless);
        for (char32_t c = 0; c < 0x10000; ++c) {
            if (c >= 0xD800 && c < 0xE000)
                continue;
            const char16_t unit = char16_t(c);
            const QByteArray qt = encoder.encode(QStringView(&unit, 1));
            const bool qtHasByte =
                qt.size() == 1 && QString(QStringDecoder("windows-1251").decode(qt)) == QChar(unit);
            const std::u16string text(1, unit);
            QVERIFY2(firstUnencodable(text).has_value() != qtHasByte,
                     qPrintable(QString::number(c, 16)));
            if (qtHasByte)
                QCOMPARE(encodeWindows1251(text), qt.toStdString());
        }
    }

    void charactersAreClassifiedAsQtDoes()
    {
        for (const char16_t c : assignedBmp()) {
            const QChar qt(c);
            QVERIFY2(isSpace(c) == qt.isSpace(), qPrintable(QString::number(c, 16)));
            QVERIFY2(isFormat(c) == (qt.category() == QChar::Other_Format),
                     qPrintable(QString::number(c, 16)));
            const QString one(qt);
            QCOMPARE(caseFolded(u16(one)), u16(one.toCaseFolded()));
            const QString padded = one + QStringLiteral("x") + one;
            QCOMPARE(trimmed(u16(padded)), u16(padded.trimmed()));
        }
    }

    void numbersReadAndWriteAsQtDoes()
    {
        const QStringList texts = {QStringLiteral("0"),
                                   QStringLiteral("+12"),
                                   QStringLiteral("-2147483648"),
                                   QStringLiteral(" 42 "),
                                   QStringLiteral("999999999999999999"),
                                   QStringLiteral("1e3"),
                                   QStringLiteral("0x10"),
                                   QStringLiteral("--1"),
                                   QString()};
        for (const QString &text : texts) {
            bool ok = false;
            const qlonglong qt = text.trimmed().toLongLong(&ok);
            const std::optional<std::int64_t> core = parseInteger(u16(text));
            QCOMPARE(core.has_value(), ok);
            if (ok)
                QCOMPARE(*core, qt);
        }
        QRandomGenerator random(2026);
        for (int i = 0; i < 1000; ++i) {
            const auto value = qint64(random.generate64());
            QCOMPARE(decimal(value), u16(QString::number(value)));
        }
    }

    void utf8AndLinesAsQtDoes()
    {
        QRandomGenerator random(7);
        const QList<char16_t> characters = assignedBmp();
        const std::u16string ends[] = {u"\r\n", u"\r", u"\n"};
        for (int i = 0; i < 2000; ++i) {
            QString text;
            const int length = int(random.bounded(12));
            for (int j = 0; j < length; ++j) {
                if (random.bounded(4) == 0)
                    text += QString::fromStdU16String(ends[random.bounded(3)]);
                else
                    text +=
                        QChar(characters.at(qsizetype(random.bounded(quint32(characters.size())))));
            }
            QCOMPARE(toUtf8(u16(text)), text.toStdString());
            QCOMPARE(fromUtf8(text.toStdString()), u16(text));
            // Qt's split keeps an empty part after a final line end; the text's lines do not.
            QStringList qtLines = text.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
            if (!qtLines.isEmpty() && qtLines.last().isEmpty())
                qtLines.removeLast();
            std::vector<std::u16string> expected;
            for (const QString &line : qtLines)
                expected.push_back(u16(line));
            QCOMPARE(splitLines(u16(text)), expected);
        }
    }
};

QTEST_GUILESS_MAIN(TestCoreAgainstQt)
#include "tst_core_against_qt.moc"
