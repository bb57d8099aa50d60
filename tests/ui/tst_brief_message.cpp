// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ui/message_text.h"

#include <QTest>

using namespace vorta;

class TestBriefMessage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void briefMessagesFitAWindow_data();
    void briefMessagesFitAWindow();
};

void TestBriefMessage::briefMessagesFitAWindow_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("brief");
    const QString longPath =
        QStringLiteral("Genres/") + QString(100'000, u'x') + QStringLiteral("/21.vtq");
    QTest::newRow("short stays") << QStringLiteral("Файл не найден\nФайл: vorta.cfg")
                                 << QStringLiteral("Файл не найден\nФайл: vorta.cfg");
    QTest::newRow("long line keeps both ends")
        << QStringLiteral("Ошибка\nФайл: ") + longPath
        << QStringLiteral("Ошибка\nФайл: Genres/") + QString(26, u'x') + u'…' + QString(33, u'x') +
               QStringLiteral("/21.vtq");
    QTest::newRow("long sentence kept whole, wrapped between words")
        << QStringLiteral("Файл не записан: повесть сейчас открыта в другом окне программы, и "
                          "новая версия не распакована. Закройте то окно и откройте файл снова.")
        << QStringLiteral("Файл не записан: повесть сейчас открыта в другом окне программы, и "
                          "новая версия\nне распакована. Закройте то окно и откройте файл снова.");
    QStringList many;
    for (int i = 1; i <= 20; ++i)
        many << QString::number(i);
    QTest::newRow("many lines") << many.join(u'\n')
                                << many.mid(0, 11).join(u'\n') + QStringLiteral("\n…");
}

// A message box takes the size of its text: no line may be longer, nor the text taller, than a
// screen can show; only a path gives way, in its middle.
void TestBriefMessage::briefMessagesFitAWindow()
{
    QFETCH(QString, message);
    QFETCH(QString, brief);
    const QString result = briefMessage(message);
    QCOMPARE(result, brief);
    for (const QString &line : result.split(u'\n'))
        QVERIFY(line.size() <= 80);
}

QTEST_GUILESS_MAIN(TestBriefMessage)
#include "tst_brief_message.moc"
