// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "author/report/plural.h"
#include "core/diagnostics.h"
#include "tests/support/core_text.h"

#include <QTest>

using namespace vorta;
using namespace vorta::author;

class PluralTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void countTakesTheRussianForm_data();
    void countTakesTheRussianForm();
    void summaryCountsErrorsAndWarnings();
};

void PluralTest::countTakesTheRussianForm_data()
{
    QTest::addColumn<qint64>("count");
    QTest::addColumn<QString>("text");

    QTest::newRow("0") << qint64(0) << QStringLiteral("0 знаков");
    QTest::newRow("1") << qint64(1) << QStringLiteral("1 знак");
    QTest::newRow("2") << qint64(2) << QStringLiteral("2 знака");
    QTest::newRow("4") << qint64(4) << QStringLiteral("4 знака");
    QTest::newRow("5") << qint64(5) << QStringLiteral("5 знаков");
    QTest::newRow("11") << qint64(11) << QStringLiteral("11 знаков");
    QTest::newRow("12") << qint64(12) << QStringLiteral("12 знаков");
    QTest::newRow("14") << qint64(14) << QStringLiteral("14 знаков");
    QTest::newRow("21") << qint64(21) << QStringLiteral("21 знак");
    QTest::newRow("22") << qint64(22) << QStringLiteral("22 знака");
    QTest::newRow("61") << qint64(61) << QStringLiteral("61 знак");
    QTest::newRow("111") << qint64(111) << QStringLiteral("111 знаков");
    QTest::newRow("112") << qint64(112) << QStringLiteral("112 знаков");
    QTest::newRow("1001") << qint64(1001) << QStringLiteral("1001 знак");
    QTest::newRow("-3") << qint64(-3) << QStringLiteral("-3 знака");
}

void PluralTest::countTakesTheRussianForm()
{
    QFETCH(qint64, count);
    QFETCH(QString, text);
    QCOMPARE(
        countText(count, QStringLiteral("знак"), QStringLiteral("знака"), QStringLiteral("знаков")),
        text);
}

void PluralTest::summaryCountsErrorsAndWarnings()
{
    std::vector<Diagnostic> diagnostics;
    QCOMPARE(summaryLine(diagnostics), u"0 ошибок, 0 предупреждений");
    diagnostics.push_back({u"a", 1, Severity::Error, u""});
    diagnostics.push_back({u"a", 2, Severity::Note, u""});
    for (int i = 0; i < 3; ++i)
        diagnostics.push_back({u"a", 3, Severity::Warning, u""});
    QCOMPARE(summaryLine(diagnostics), u"1 ошибка, 3 предупреждения");
}

QTEST_GUILESS_MAIN(PluralTest)
#include "tst_plural.moc"
