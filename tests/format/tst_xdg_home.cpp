// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "format/xdg_home.h"

#include <QDir>
#include <QTest>

// The reader's folders follow an XDG variable only where it holds an absolute path: a relative
// one would put the reader's files under whatever folder the program was started in.
class XdgHomeTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void followsAbsoluteFoldersOnly_data();
    void followsAbsoluteFoldersOnly();
};

void XdgHomeTest::followsAbsoluteFoldersOnly_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QString>("folder"); // below the home folder when relative
    QTest::newRow("unset") << QByteArray() << ".config";
    QTest::newRow("absolute") << QByteArray("/srv/reader") << "/srv/reader";
    QTest::newRow("absolute, not clean") << QByteArray("/srv//reader/../r/") << "/srv/r";
    QTest::newRow("relative") << QByteArray("relative/config") << ".config";
    QTest::newRow("the current folder") << QByteArray(".") << ".config";
    QTest::newRow("a home-relative spelling") << QByteArray("~/conf") << ".config";
}

void XdgHomeTest::followsAbsoluteFoldersOnly()
{
    QFETCH(QByteArray, value);
    QFETCH(QString, folder);
    qputenv("XDG_CONFIG_HOME", value);
    QCOMPARE(vorta::xdgHome("XDG_CONFIG_HOME", QStringLiteral(".config")),
             QDir::isAbsolutePath(folder) ? folder : QDir::homePath() + QLatin1Char('/') + folder);
}

QTEST_GUILESS_MAIN(XdgHomeTest)
#include "tst_xdg_home.moc"
