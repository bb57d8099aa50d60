// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <QProcess>
#include <QtTest>

class CommandLineTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void answersLikeAnyProgram_data();
    void answersLikeAnyProgram();
};

void CommandLineTest::answersLikeAnyProgram_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("display"); // false: no display of any kind
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("printed"); // on stdout for status 0, else on stderr
    const QStringList help = {QStringLiteral("-h, --help"), QStringLiteral("-v, --version"),
                              QStringLiteral("Повесть о синем фонаре")};
    QTest::newRow("--help") << QStringList{QStringLiteral("--help")} << false << 0 << help;
    QTest::newRow("-h") << QStringList{QStringLiteral("-h")} << false << 0 << help;
    QTest::newRow("--version") << QStringList{QStringLiteral("--version")} << false << 0
                               << QStringList{QStringLiteral("vorta 1.00\n")};
    QTest::newRow("--help among Qt's own options")
        << QStringList{QStringLiteral("-platform"), QStringLiteral("xcb"), QStringLiteral("--help")}
        << false << 0 << help;
    QTest::newRow("an unknown option")
        << QStringList{QStringLiteral("--bogus")} << true << 2
        << QStringList{QStringLiteral("bogus"), QStringLiteral("--help")};
}

// --help and --version need no display; a wrong argument is a usage error, not a story.
void CommandLineTest::answersLikeAnyProgram()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, display);
    QFETCH(int, status);
    QFETCH(QStringList, printed);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QLatin1String(name));
    if (display)
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    // In an empty folder: a story there would be no answer.
    QTemporaryDir folder;
    QProcess program;
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(folder.path());
    program.start(QStringLiteral(VORTA_PROGRAM), arguments);
    QVERIFY(program.waitForFinished(60000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), status);
    const QString out = QString::fromLocal8Bit(program.readAllStandardOutput());
    const QString err = QString::fromLocal8Bit(program.readAllStandardError());
    for (const QString &text : printed)
        QVERIFY2((status == 0 ? out : err).contains(text), qPrintable(out + err));
    if (status == 0)
        QVERIFY2(err.isEmpty(), qPrintable(err));
}

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_program_command_line.moc"
