// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/data_files.h"
#include "core/settings_file.h"
#include "core/story_state.h"
#include "core/text_reader.h"
#include "format/folder_tree.h"
#include "tests/support/core_text.h"
#include "tests/support/story_tree.h"

#include <QFile>
#include <QTest>

#include <unistd.h>

using namespace vorta;

Q_DECLARE_METATYPE(vorta::ErrorKind)

class TestDataFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void settingsLayouts_data();
    void settingsLayouts();
    void badSettings_data();
    void badSettings();
    void settingsRoundTripForEveryPair();
    void savedBytesAreExact();
    void failedSaveKeepsTheOldFile();
    void catalogues_data();
    void catalogues();
    void badCatalogues_data();
    void badCatalogues();
    void readerKeepsWholeLinesVerbatim();
    void everyCyrillicByteDecodes();
    void blankLinesBeforeACountAreSkipped();
};

void TestDataFiles::settingsLayouts_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("autoPeriodMs");
    QTest::addColumn<int>("switchPercent");
    QTest::newRow("written form 0 0") << QByteArray(" 0 \r\n 0 \r\n") << 1000 << 0;
    QTest::newRow("written form 10 10") << QByteArray(" 10 \r\n 10 \r\n") << 50000 << 100;
    QTest::newRow("two bare lines") << QByteArray("1\r\n5\r\n") << 5000 << 50;
    QTest::newRow("comma") << QByteArray("1,5") << 5000 << 50;
    QTest::newRow("spaces") << QByteArray("  1   5") << 5000 << 50;
    QTest::newRow("text after second value") << QByteArray("1 5 seconds, please\r\n") << 5000 << 50;
    QTest::newRow("blank lines first") << QByteArray("\r\n\r\n 2\r\n\r\n 3") << 10000 << 30;
    QTest::newRow("bare LF") << QByteArray("2\n3\n") << 10000 << 30;
    QTest::newRow("negative") << QByteArray("-1 -2") << -5000 << -20;
    QTest::newRow("explicit plus") << QByteArray("+1 +2") << 5000 << 20;
}

void TestDataFiles::settingsLayouts()
{
    QFETCH(QByteArray, bytes);
    StoryTree tree;
    tree.writeBytes(QStringLiteral("vorta.cfg"), bytes);
    StoryState state;
    loadSettings(state, tree.data());
    QTEST(state.autoPeriodMs, "autoPeriodMs");
    QTEST(state.switchPercent, "switchPercent");
}

void TestDataFiles::badSettings_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<ErrorKind>("kind");
    QTest::addColumn<int>("line");
    QTest::newRow("one value") << QByteArray(" 1 \r\n") << ErrorKind::InputPastEndOfFile << 1;
    QTest::newRow("empty file") << QByteArray() << ErrorKind::InputPastEndOfFile << 1;
    QTest::newRow("letters") << QByteArray("1\r\nfive\r\n") << ErrorKind::BadNumber << 2;
    QTest::newRow("fraction") << QByteArray("1.5 2") << ErrorKind::BadNumber << 1;
    QTest::newRow("empty field") << QByteArray(",2") << ErrorKind::BadNumber << 1;
    QTest::newRow("period overflows") << QByteArray("429497 1") << ErrorKind::Overflow << 0;
    QTest::newRow("percent overflows") << QByteArray("1 214748365") << ErrorKind::Overflow << 0;
    QTest::newRow("beyond 32 bits") << QByteArray("99999999999 1") << ErrorKind::Overflow << 1;
    QTest::newRow("beyond 64 bits")
        << QByteArray("99999999999999999999999 1") << ErrorKind::Overflow << 1;
}

void TestDataFiles::badSettings()
{
    QFETCH(QByteArray, bytes);
    QFETCH(ErrorKind, kind);
    QFETCH(int, line);
    StoryTree tree;
    tree.writeBytes(QStringLiteral("vorta.cfg"), bytes);
    StoryState state;
    try {
        loadSettings(state, tree.data());
        QFAIL("no error");
    } catch (const StoryError &error) {
        QCOMPARE(error.kind(), kind);
        QCOMPARE(error.file(), u"vorta.cfg");
        QCOMPARE(error.line(), line);
    }
    try {
        loadSettings(state, folderTree(QDir(tree.path(QStringLiteral("missing")))));
        QFAIL("no error");
    } catch (const StoryError &error) {
        QCOMPARE(error.kind(), ErrorKind::FileNotFound);
        QVERIFY(messageOf(error).contains(QStringLiteral("vorta.cfg")));
    }
}

void TestDataFiles::settingsRoundTripForEveryPair()
{
    StoryTree tree;
    for (int period = 0; period <= 10; ++period) {
        for (int percent = 0; percent <= 10; ++percent) {
            saveSettings(tree.data(), period, percent);
            StoryState state;
            loadSettings(state, tree.data());
            QCOMPARE(state.autoPeriodMs, period == 0 ? 1000 : period * 5000);
            QCOMPARE(state.switchPercent, percent * 10);
            QCOMPARE(readSettingsValues(tree.data()), std::make_pair(period, percent));
        }
    }
}

void TestDataFiles::savedBytesAreExact()
{
    StoryTree tree;
    tree.writeBytes(QStringLiteral("vorta.cfg"), QByteArray("a much longer file than the new one"));
    saveSettings(tree.data(), 1, 5);
    QFile file(tree.path(QStringLiteral("vorta.cfg")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray::fromHex("2031200d0a2035200d0a"));
    QCOMPARE(settingsFileBytes(-3, 10), "-3 \r\n 10 \r\n");
}

void TestDataFiles::failedSaveKeepsTheOldFile()
{
    StoryTree tree;
    // A folder where the file should be cannot be replaced by one.
    QVERIFY(QDir(tree.path()).mkpath(QStringLiteral("vorta.cfg")));
    QVERIFY_THROWS_EXCEPTION(StoryError, saveSettings(tree.data(), 1, 5));
    QVERIFY(QFileInfo(tree.path(QStringLiteral("vorta.cfg"))).isDir());
    QVERIFY(tree.dir().rmdir(QStringLiteral("vorta.cfg")));

    if (::geteuid() == 0)
        QSKIP("root writes into read-only folders");
    tree.writeBytes(QStringLiteral("vorta.cfg"), QByteArray(" 3 \r\n 4 \r\n"));
    QFile::setPermissions(tree.path(), QFile::ReadOwner | QFile::ExeOwner);
    try {
        saveSettings(tree.data(), 1, 5);
        QFAIL("no error");
    } catch (const StoryError &error) {
        QCOMPARE(error.kind(), ErrorKind::FileNotWritten);
    }
    QFile::setPermissions(tree.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(readSettingsValues(tree.data()), std::make_pair(3, 4));
}

void TestDataFiles::catalogues_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("dirs");
    QTest::newRow("empty") << QString() << QStringList() << QStringList();
    QTest::newRow("three lines") << QStringLiteral("Сказка,skazka\r\nДетектив,det\r\nУжасы,hor\r\n")
                                 << QStringList{QStringLiteral("Сказка"),
                                                QStringLiteral("Детектив"), QStringLiteral("Ужасы")}
                                 << QStringList{QStringLiteral("skazka"), QStringLiteral("det"),
                                                QStringLiteral("hor")};
    QTest::newRow("last line without line end")
        << QStringLiteral("A,a\r\nB,b") << QStringList{QStringLiteral("A"), QStringLiteral("B")}
        << QStringList{QStringLiteral("a"), QStringLiteral("b")};
    QTest::newRow("quoted name with comma")
        << QStringLiteral("\"Ах, сказка\",a\r\n") << QStringList{QStringLiteral("Ах, сказка")}
        << QStringList{QStringLiteral("a")};
    QTest::newRow("spaces before values")
        << QStringLiteral("  A,   a\r\n") << QStringList{QStringLiteral("A")}
        << QStringList{QStringLiteral("a")};
    QTest::newRow("one pair a line each value")
        << QStringLiteral("A\r\na\r\n") << QStringList{QStringLiteral("A")}
        << QStringList{QStringLiteral("a")};
    // Only spaces are skipped before a value: a value that starts at a line end is empty and
    // takes the line end with it, and a tab belongs to the value.
    QTest::newRow("empty name at a line end")
        << QStringLiteral("\r\nb\r\n") << QStringList{QString()}
        << QStringList{QStringLiteral("b")};
    QTest::newRow("empty name between commas")
        << QStringLiteral(",a\r\n") << QStringList{QString()} << QStringList{QStringLiteral("a")};
    QTest::newRow("tab before a value is kept")
        << QStringLiteral("\tA, a\r\n") << QStringList{QStringLiteral("\tA")}
        << QStringList{QStringLiteral("a")};
    QStringList ten;
    QStringList tenDirs;
    QString text;
    for (int i = 1; i <= 10; ++i) {
        ten << QStringLiteral("G%1").arg(i);
        tenDirs << QStringLiteral("g%1").arg(i);
        text += QStringLiteral("G%1,g%1\r\n").arg(i);
    }
    QTest::newRow("exactly ten") << text << ten << tenDirs;
}

void TestDataFiles::catalogues()
{
    QFETCH(QString, text);
    QFETCH(QStringList, names);
    QFETCH(QStringList, dirs);
    StoryTree tree;
    tree.writeText(QStringLiteral("Genres/genres.vtq"), text);
    StoryState state;
    loadCatalogue(state, tree.data());
    QCOMPARE(state.genreCount, names.size());
    for (int i = 1; i <= state.genreCount; ++i) {
        QCOMPARE(toQString(state.genreNames[i]), names[i - 1]);
        QCOMPARE(toQString(state.genreDirs[i]), dirs[i - 1]);
    }
}

void TestDataFiles::badCatalogues_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<ErrorKind>("kind");
    QTest::addColumn<int>("line");
    QString ten;
    for (int i = 1; i <= 10; ++i)
        ten += QStringLiteral("G%1,g%1\r\n").arg(i);
    QTest::newRow("eleven pairs") << ten + QStringLiteral("G11,g11\r\n")
                                  << ErrorKind::SubscriptOutOfRange << 11;
    QTest::newRow("empty line after the tenth")
        << ten + QStringLiteral("\r\n") << ErrorKind::SubscriptOutOfRange << 11;
    // An empty folder's name would be the genres' folder itself.
    QTest::newRow("empty directory at a line end")
        << QStringLiteral("A,\r\nB,b\r\n") << ErrorKind::BadName << 1;
    QTest::newRow("ends after a display name")
        << QStringLiteral("A,a\r\nB") << ErrorKind::InputPastEndOfFile << 2;
    QTest::newRow("empty line after the last pair")
        << QStringLiteral("A,a\r\n\r\n") << ErrorKind::InputPastEndOfFile << 2;
    // The empty line is the second pair's name, so the pairs run one value late.
    QTest::newRow("empty line between pairs")
        << QStringLiteral("A,a\r\n\r\nB,b\r\n") << ErrorKind::InputPastEndOfFile << 3;
}

void TestDataFiles::badCatalogues()
{
    QFETCH(QString, text);
    QFETCH(ErrorKind, kind);
    QFETCH(int, line);
    StoryTree tree;
    tree.writeText(QStringLiteral("Genres/genres.vtq"), text);
    StoryState state;
    try {
        loadCatalogue(state, tree.data());
        QFAIL("no error");
    } catch (const StoryError &error) {
        QCOMPARE(error.kind(), kind);
        QCOMPARE(error.file(), u"Genres/genres.vtq");
        QCOMPARE(error.line(), line);
    }
}

void TestDataFiles::readerKeepsWholeLinesVerbatim()
{
    TextReader reader(u"2\r\n  a, \"b\" ,c  \r\n\r\nlast", u"f");
    QCOMPARE(reader.readCount(), 2);
    QCOMPARE(reader.readLine(), u"  a, \"b\" ,c  ");
    QCOMPARE(reader.readLine(), u"");
    QCOMPARE(reader.line(), 4);
    QCOMPARE(reader.readLine(), u"last");
    QVERIFY(reader.atEnd());
    try {
        reader.readLine();
        QFAIL("no error");
    } catch (const StoryError &error) {
        QCOMPARE(error.kind(), ErrorKind::InputPastEndOfFile);
        QCOMPARE(error.line(), 4);
    }
}

void TestDataFiles::everyCyrillicByteDecodes()
{
    QByteArray bytes;
    for (int b = 0xC0; b <= 0xFF; ++b)
        bytes.append(char(b));
    bytes.append("\xA8\xB8\r\n");
    StoryTree tree;
    tree.writeBytes(QStringLiteral("f.vtq"), bytes);
    TextReader reader = TextReader::open(tree.data(), u"f.vtq");
    const QString line = toQString(reader.readLine());
    QCOMPARE(line.size(), 66);
    for (int i = 0; i < 32; ++i) {
        QCOMPARE(line.at(i).unicode(), char16_t(u'А' + i));
        QCOMPARE(line.at(32 + i).unicode(), char16_t(u'а' + i));
    }
    QCOMPARE(line.right(2), QStringLiteral("Ёё"));
}

void TestDataFiles::blankLinesBeforeACountAreSkipped()
{
    TextReader reader(u"\r\n  \r\n 7 \r\n\r\n", u"f");
    QCOMPARE(reader.readCount(), 7);
    QVERIFY(reader.atEndAfterBlankLines());
}

QTEST_GUILESS_MAIN(TestDataFiles)
#include "tst_data_files.moc"
