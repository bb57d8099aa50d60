// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/tree_paths.h"
#include "core/windows1251.h"
#include "format/file_reader.h"
#include "format/qt_text.h"
#include "tests/support/core_text.h"
#include "tests/support/hostile_files.h"
#include "tests/support/story_tree.h"

#include <QFile>
#include <QTest>

#include <new>
#include <stdexcept>

#include <unistd.h>

using namespace vorta;
using namespace std::chrono_literals;

Q_DECLARE_METATYPE(vorta::ErrorKind)

namespace {

enum class Put
{
    Nothing,
    Fifo,
    DeviceLink,
    Folder,
    AtTheCap,
    OverTheCap,
    Unreadable,
    InsideAFile, // a path whose folder is a file
};

} // namespace

Q_DECLARE_METATYPE(Put)

class TestFileReader : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void onlyRegularFilesUpToTheCapAreRead_data();
    void onlyRegularFilesUpToTheCapAreRead();
    void everyByteDecodesToOneCharacter();
    void quotedValuesAreCutAndEscaped_data();
    void quotedValuesAreCutAndEscaped();
    void everyExceptionBecomesAStoryError();
};

void TestFileReader::onlyRegularFilesUpToTheCapAreRead_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<Put>("put");
    QTest::addColumn<bool>("reads");
    QTest::addColumn<ErrorKind>("kind");
    QTest::addColumn<QString>("detail"); // a part of the message's first line

    const QString settings = toQString(kSettingsFile);
    const QString fragment = QStringLiteral("Genres/a/1.vtq");
    const auto row = [](const char *name, const QString &file, Put put, ErrorKind kind,
                        const QString &detail) {
        QTest::newRow(name) << file << put << false << kind << detail;
    };
    row("missing", fragment, Put::Nothing, ErrorKind::FileNotFound, QString());
    row("folder is a file", fragment, Put::InsideAFile, ErrorKind::FileNotFound, QString());
    row("named pipe", fragment, Put::Fifo, ErrorKind::NotRegularFile,
        QStringLiteral("именованный канал"));
    row("settings as a named pipe", settings, Put::Fifo, ErrorKind::NotRegularFile,
        QStringLiteral("именованный канал"));
    row("link to /dev/zero", fragment, Put::DeviceLink, ErrorKind::NotRegularFile,
        QStringLiteral("устройство"));
    row("settings as a link to /dev/zero", settings, Put::DeviceLink, ErrorKind::NotRegularFile,
        QStringLiteral("устройство"));
    row("folder", fragment, Put::Folder, ErrorKind::NotRegularFile, QStringLiteral("папка"));
    row("fragment one byte over 16 MiB", fragment, Put::OverTheCap, ErrorKind::FileTooLarge,
        QStringLiteral("16777217 байт, предел 16777216 байт"));
    row("settings one byte over 4 KiB", settings, Put::OverTheCap, ErrorKind::FileTooLarge,
        QStringLiteral("4097 байт, предел 4096 байт"));
    row("unreadable", fragment, Put::Unreadable, ErrorKind::PermissionDenied, QString());
    QTest::newRow("fragment of 16 MiB")
        << fragment << Put::AtTheCap << true << ErrorKind::FileNotFound << QString();
    QTest::newRow("settings of 4 KiB")
        << settings << Put::AtTheCap << true << ErrorKind::FileNotFound << QString();
}

// Nothing but a regular file is opened, and none is read past its cap: a pipe or a device would
// block or never end. The error names the file and says what it is.
void TestFileReader::onlyRegularFilesUpToTheCapAreRead()
{
    QFETCH(QString, file);
    QFETCH(Put, put);
    QFETCH(bool, reads);
    QFETCH(ErrorKind, kind);
    QFETCH(QString, detail);
    const HangGuard guard(QString::fromLatin1(QTest::currentDataTag()), 60s);

    StoryTree tree;
    const QString path = tree.path(file);
    switch (put) {
    case Put::Nothing:
        break;
    case Put::Fifo:
        hostile::makeFifo(path);
        break;
    case Put::DeviceLink:
        hostile::makeDeviceLink(path);
        break;
    case Put::Folder:
        hostile::makeFolder(path);
        break;
    case Put::AtTheCap:
        hostile::makeSparseFile(path, capFor(toU16(file)));
        break;
    case Put::OverTheCap:
        hostile::makeSparseFile(path, capFor(toU16(file)) + 1);
        break;
    case Put::Unreadable:
        if (::geteuid() == 0)
            QSKIP("root reads files of any mode");
        tree.writeLines(file, {QStringLiteral("1")});
        QVERIFY(QFile::setPermissions(path, {}));
        break;
    case Put::InsideAFile:
        tree.writeLines(QStringLiteral("Genres/a"), {QStringLiteral("1")});
        break;
    }

    try {
        const QByteArray bytes = readDataFile(tree.dir(), file);
        QVERIFY2(reads, "read what it should refuse");
        QCOMPARE(bytes.size(), capFor(toU16(file)));
        QCOMPARE(bytes.count('\0'), bytes.size());
    } catch (const StoryError &error) {
        const QString message = messageOf(error);
        QVERIFY2(!reads, qPrintable(message));
        QCOMPARE(error.kind(), kind);
        QCOMPARE(toQString(error.file()), file);
        QVERIFY2(message.section(QLatin1Char('\n'), 0, 0).contains(detail), qPrintable(message));
        QVERIFY(message.contains(QStringLiteral("Файл: ") + file));
    }
}

// Decoded by table, whatever Qt's decoder does with large input: one character per byte.
void TestFileReader::everyByteDecodesToOneCharacter()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = toQString(decodeWindows1251(toBytes(all)));
    QCOMPARE(text.size(), 256);
    QCOMPARE(text.at(0), QChar(0));
    QCOMPARE(text.at(0xC0), QChar(u'А'));
    QCOMPARE(text.at(0xFF), QChar(u'я'));
    QCOMPARE(text.at(0xB9), QChar(u'№'));
    const QByteArray many = all.repeated(4096);
    QCOMPARE(toQString(decodeWindows1251(toBytes(many))), text.repeated(4096));
}

void TestFileReader::quotedValuesAreCutAndEscaped_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("shown");
    QTest::newRow("short") << QStringLiteral("пять") << QStringLiteral("\"пять\"");
    QTest::newRow("empty") << QString() << QStringLiteral("\"\"");
    QTest::newRow("NUL and controls")
        << QString::fromUtf8("a\0b\tc\r\x01", 7) << QStringLiteral("\"a\\0b\\tc\\r\\x01\"");
    QTest::newRow("exactly 40") << QString(40, u'7') << QLatin1Char('"') + QString(40, u'7') + u'"';
    QTest::newRow("41 is cut") << QString(41, u'7')
                               << QLatin1Char('"') + QString(40, u'7') + u'…' + u'"';
    QTest::newRow("10 MB is cut") << QString(10'000'000, u'1')
                                  << QLatin1Char('"') + QString(40, u'1') + u'…' + u'"';
}

void TestFileReader::quotedValuesAreCutAndEscaped()
{
    QFETCH(QString, value);
    QTEST(quoted(value), "shown");
}

// Every failure of an event reaches the reader as one message, also those that are not the
// engine's own.
void TestFileReader::everyExceptionBecomesAStoryError()
{
    const auto caught = [](auto &&thrower) {
        try {
            thrower();
        } catch (...) {
            return currentError();
        }
        return StoryError(ErrorKind::InternalError, u"nothing thrown");
    };
    const StoryError story = caught([] { throw StoryError(ErrorKind::BadNumber, u"f", 3); });
    QCOMPARE(story.kind(), ErrorKind::BadNumber);
    QCOMPARE(story.file(), u"f");
    QCOMPARE(story.line(), 3);
    QCOMPARE(caught([] { throw std::bad_alloc(); }).kind(), ErrorKind::OutOfMemory);
    const StoryError other = caught([] { throw std::length_error("vector too long"); });
    QCOMPARE(other.kind(), ErrorKind::InternalError);
    QCOMPARE(other.detail(), u"\"vector too long\"");
    QCOMPARE(caught([] { throw 42; }).kind(), ErrorKind::InternalError);
}

QTEST_GUILESS_MAIN(TestFileReader)
#include "tst_file_reader.moc"
