// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/catalogue_file.h"
#include "core/finale_file.h"
#include "core/fragment_file.h"
#include "core/story_tree.h"
#include "core/text_reader.h"
#include "core/windows1251.h"
#include "format/qt_text.h"
#include "tests/support/core_text.h"
#include "tests/support/hostile_files.h"
#include "tests/support/story_tree.h"

#include <QTest>

using namespace vorta;

namespace {

// A read as a list of what happened: "V@line" for a count, "line:text" for a story line,
// "pair (L, M)@line" for a finale record, "error KIND@line in PLACE" for a failure.
QString errorEntry(const StoryError &error, const QString &place)
{
    return QStringLiteral("error %1@%2 in %3")
        .arg(toQString(error.kindText()))
        .arg(error.line())
        .arg(place);
}

StoryLineHandler logLines(QStringList &log)
{
    return [&log](const std::u16string &text, int line) {
        log.append(QStringLiteral("%1:%2").arg(line).arg(toQString(text)));
    };
}

QString countEntry(const CountedLines &lines)
{
    return QStringLiteral("%1@%2").arg(lines.count().value_or(-999)).arg(lines.countLine());
}

QStringList readFragment(const QString &text)
{
    QStringList log;
    std::optional<FragmentReader> reader;
    try {
        reader.emplace(TextReader(toU16(text), u"f"));
        log.append(
            QStringLiteral("%1@%2").arg(reader->variantCount()).arg(reader->variantCountLine()));
        reader->requireVariants();
        for (qint32 v = 1; v <= reader->variantCount(); ++v) {
            reader->readVariant(logLines(log));
            log.insert(log.size() - reader->lines().linesRead(), countEntry(reader->lines()));
        }
        if (!reader->restIsBlank())
            log.append(QStringLiteral("more@%1").arg(reader->line()));
    } catch (const StoryError &error) {
        const QString place = !reader ? QStringLiteral("count")
                                      : QStringLiteral("variant %1 after %2 lines")
                                            .arg(reader->variant())
                                            .arg(reader->lines().linesRead());
        log.append(errorEntry(error, place));
    }
    return log;
}

QStringList readFinale(const QString &text)
{
    QStringList log;
    FinaleReader reader(TextReader(toU16(text), u"f"));
    try {
        while (!reader.atEnd()) {
            const RecordPair pair = reader.readPair();
            log.append(QStringLiteral("pair (%1, %2)@%3")
                           .arg(pair.leastUsedGenre ? QString::number(*pair.leastUsedGenre)
                                                    : QStringLiteral("?"))
                           .arg(pair.mostUsedGenre ? QString::number(*pair.mostUsedGenre)
                                                   : QStringLiteral("?"))
                           .arg(reader.recordLine()));
            reader.readLines(logLines(log));
            log.insert(log.size() - reader.lines().linesRead(), countEntry(reader.lines()));
        }
    } catch (const StoryError &error) {
        log.append(errorEntry(error, QStringLiteral("record %1").arg(reader.record())));
    }
    return log;
}

} // namespace

class TestTreeFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fragmentReadsEveryVariantAtItsLines_data();
    void fragmentReadsEveryVariantAtItsLines();
    void finaleReadsRecordByRecord_data();
    void finaleReadsRecordByRecord();
    void writtenFilesReadBackAtTheirPlaces_data();
    void writtenFilesReadBackAtTheirPlaces();
    void catalogueLinesReadBack_data();
    void catalogueLinesReadBack();
    void memoryTreeAnswersAsItsFolder_data();
    void memoryTreeAnswersAsItsFolder();
};

void TestTreeFiles::fragmentReadsEveryVariantAtItsLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("log");

    QTest::newRow("two variants") << QStringLiteral("2\r\n3\r\na\r\n\r\nc, \"d\"\r\n1\r\n e \r\n")
                                  << strings(
                                         {"2@1", "3@2", "3:a", "4:", "5:c, \"d\"", "1@6", "7: e "});
    QTest::newRow("blank lines before the counts, no last line end")
        << QStringLiteral("\r\n2\r\n\r\n1\r\na\r\n 1 \r\nb")
        << strings({"2@2", "1@4", "5:a", "1@6", "7:b"});
    QTest::newRow("LF and lone CR end lines too")
        << QStringLiteral("1\n2\ra\rb") << strings({"1@1", "2@2", "3:a", "4:b"});
    QTest::newRow("a negative count reads no line")
        << QStringLiteral("2\r\n-1\r\n1\r\nz\r\n") << strings({"2@1", "-1@2", "1@3", "4:z"});
    QTest::newRow("text after the last variant")
        << QStringLiteral("1\r\n0\r\n\r\nmore\r\n") << strings({"1@1", "0@2", "more@4"});
    QTest::newRow("no variants") << QStringLiteral("0\r\n")
                                 << strings({"0@1",
                                             "error Неверное число@1 in variant 0 after 0 lines"});
    QTest::newRow("the count is no number")
        << QStringLiteral("два\r\n") << strings({"error Неверное число@1 in count"});
    QTest::newRow("ends inside the second variant")
        << QStringLiteral("2\r\n1\r\na\r\n2\r\nb\r\n")
        << strings({"2@1", "1@2", "3:a", "5:b",
                    "error Чтение за концом файла@5 in variant 2 after 1 lines"});
    QTest::newRow("a line count that is no number")
        << QStringLiteral("2\r\n1\r\na\r\nx\r\n")
        << strings({"2@1", "1@2", "3:a", "error Неверное число@4 in variant 2 after 0 lines"});
}

// The checker walks every variant with the program's own reader: each count and each line at
// its line of the file, and a fault where the read stood.
void TestTreeFiles::fragmentReadsEveryVariantAtItsLines()
{
    QFETCH(QString, text);
    QTEST(readFragment(text), "log");
}

void TestTreeFiles::finaleReadsRecordByRecord_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("log");

    QTest::newRow("two records, blank lines between")
        << QStringLiteral("2\r\n1\r\n1\r\nконец\r\n\r\n\r\n1\r\n3\r\n0\r\n\r\n")
        << strings({"pair (2, 1)@1", "1@3", "4:конец", "pair (1, 3)@7", "0@9"});
    QTest::newRow("an index that is no number is none")
        << QStringLiteral("x\r\n1\r\n1\r\nа\r\n") << strings({"pair (?, 1)@1", "1@3", "4:а"});
    QTest::newRow("an index beyond 32 bits") << QStringLiteral("1\r\n99999999999\r\n0\r\n")
                                             << strings({"error Переполнение@2 in record 1"});
    QTest::newRow("ends after a pair")
        << QStringLiteral("1\r\n2\r\n")
        << strings({"pair (1, 2)@1", "error Чтение за концом файла@2 in record 1"});
    QTest::newRow("empty file") << QString() << QStringList();
}

void TestTreeFiles::finaleReadsRecordByRecord()
{
    QFETCH(QString, text);
    QTEST(readFinale(text), "log");
}

void TestTreeFiles::writtenFilesReadBackAtTheirPlaces_data()
{
    QTest::addColumn<QList<QStringList>>("parts"); // variants, or the lines of records (1, 2), ...
    QTest::addColumn<bool>("finale");

    const QList<QStringList> parts{strings({"a", "", "  b, \"c\"  "}), {}, strings({"d"})};
    QTest::newRow("fragment") << parts << false;
    QTest::newRow("finale") << parts << true;
    QTest::newRow("fragment of one empty variant") << QList<QStringList>{{}} << false;
}

// What the build writes reads back the same, and where it says each line stands is where the
// reader finds it: the build takes those places to the manuscript's lines.
void TestTreeFiles::writtenFilesReadBackAtTheirPlaces()
{
    QFETCH(QList<QStringList>, parts);
    QFETCH(bool, finale);

    QList<WrittenLine> places;
    const WrittenLineHandler writtenAt = [&places](const WrittenLine &line) {
        places.append(line);
    };
    std::string written;
    if (finale) {
        std::vector<FinaleRecordText> records;
        for (qsizetype r = 0; r < parts.size(); ++r)
            records.push_back({qint32(r) + 1, 2, toU16List(parts.at(r))});
        written = finaleFileBytes(records, writtenAt);
    } else {
        std::vector<std::vector<std::u16string>> variants;
        for (const QStringList &variant : parts)
            variants.push_back(toU16List(variant));
        written = fragmentFileBytes(variants, writtenAt);
    }
    const QByteArray bytes = toQByteArray(written);
    QCOMPARE(places.size(), bytes.count('\n'));
    QCOMPARE(bytes.count('\r'), bytes.count('\n'));

    // The place of each line of the file, as the reader meets it.
    QList<WrittenLine> found(places.size());
    QList<QStringList> read;
    auto take = [&](int part) {
        return [&read, &found, part](const std::u16string &text, int line) {
            read.last().append(toQString(text));
            found[line - 1] = {part, int(read.last().size())};
        };
    };
    const TextReader text(decodeWindows1251(written), u"f");
    if (finale) {
        FinaleReader reader(text);
        while (!reader.atEnd()) {
            const RecordPair pair = reader.readPair();
            QCOMPARE(pair.leastUsedGenre, reader.record());
            read.append(QStringList());
            reader.readLines(take(reader.record()));
            for (int line = reader.recordLine(); line <= reader.lines().countLine(); ++line)
                found[line - 1] = {reader.record(), 0};
        }
    } else {
        FragmentReader reader(text);
        found[reader.variantCountLine() - 1] = {0, 0};
        for (qint32 v = 1; v <= reader.variantCount(); ++v) {
            read.append(QStringList());
            reader.readVariant(take(v));
            found[reader.lines().countLine() - 1] = {v, 0};
        }
    }
    QCOMPARE(read, parts);
    for (qsizetype i = 0; i < places.size(); ++i) {
        QCOMPARE(places.at(i).part, found.at(i).part);
        QCOMPARE(places.at(i).line, found.at(i).line);
    }
}

void TestTreeFiles::catalogueLinesReadBack_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("dir");

    QTest::newRow("plain") << QStringLiteral("Сказка") << QStringLiteral("skazka");
    QTest::newRow("a comma in the name") << QStringLiteral("Ах, сказка") << QStringLiteral("ah");
    QTest::newRow("spaces inside") << QStringLiteral("Любовный роман") << QStringLiteral("l r");
}

// new-genre writes a catalogue line that the program reads back as the same pair.
void TestTreeFiles::catalogueLinesReadBack()
{
    QFETCH(QString, name);
    QFETCH(QString, dir);
    CatalogueReader reader(
        TextReader(u"A\r\na\r\n" + catalogueLine(toU16(name), toU16(dir)) + u"\r\n", u"c"));
    const CatalogueEntry first = reader.next();
    QCOMPARE(first.line, 1);
    QCOMPARE(first.dirLine, 2);
    const CatalogueEntry entry = reader.next();
    QCOMPARE(toQString(entry.name), name);
    QCOMPARE(toQString(entry.dir), dir);
    QCOMPARE(entry.line, 3);
    QVERIFY(reader.atEnd());
}

void TestTreeFiles::memoryTreeAnswersAsItsFolder_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("folder");

    QTest::newRow("a file") << StoryTree::fragmentFile(QStringLiteral("x"), 1) << false;
    QTest::newRow("a named pipe") << StoryTree::fragmentFile(QStringLiteral("x"), 2) << false;
    QTest::newRow("a missing file") << StoryTree::fragmentFile(QStringLiteral("x"), 3) << false;
    QTest::newRow("in a missing folder")
        << StoryTree::fragmentFile(QStringLiteral("y"), 1) << false;
    QTest::newRow("a genre's folder") << QStringLiteral("Genres/x") << true;
    QTest::newRow("the genres' folder") << QStringLiteral("Genres") << true;
    QTest::newRow("a missing folder") << QStringLiteral("Genres/y") << false;
}

// A simulation tells its stories from the files the check read, held in memory: every read
// must answer as the folder did, a failure included.
void TestTreeFiles::memoryTreeAnswersAsItsFolder()
{
    QFETCH(QString, path);
    QFETCH(bool, folder);
    StoryTree tree;
    tree.writeLines(StoryTree::fragmentFile(QStringLiteral("x"), 1), strings({"1", "1", "Ёж"}));
    hostile::makeFifo(tree.path(StoryTree::fragmentFile(QStringLiteral("x"), 2)));
    const DataTree onDisk = tree.data();
    auto memory = std::make_shared<MemoryTree>();
    for (qint32 step = 1; step <= 2; ++step) {
        const std::u16string file = toU16(StoryTree::fragmentFile(QStringLiteral("x"), step));
        try {
            memory->add(file, onDisk.readBytes(file));
        } catch (const StoryError &error) {
            memory->addFailure(file, error);
        }
    }
    const DataTree inMemory(memory);

    QCOMPARE(inMemory.hasFolder(toU16(path)), folder);
    QCOMPARE(onDisk.hasFolder(toU16(path)), folder);
    if (folder)
        return;
    auto answer = [&path](const DataTree &from) {
        try {
            return toQString(from.readText(toU16(path)));
        } catch (const StoryError &error) {
            return QStringLiteral("error ") + messageOf(error);
        }
    };
    QCOMPARE(answer(inMemory), answer(onDisk));
}

QTEST_GUILESS_MAIN(TestTreeFiles)
#include "tst_tree_files.moc"
