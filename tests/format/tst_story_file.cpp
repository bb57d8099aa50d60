// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/tree_paths.h"
#include "core/windows1251.h"
#include "format/file_reader.h"
#include "format/qt_text.h"
#include "format/story_file.h"
#include "format/story_file_writer.h"
#include "tests/support/core_text.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <zip.h>

using namespace vorta;

Q_DECLARE_METATYPE(std::vector<vorta::StoryFileEntry>)

namespace {

// One entry of an archive a test builds, as a stranger's tool could write it.
struct Entry
{
    QByteArray name;
    QByteArray bytes;
    bool stored = false;
    mode_t mode = S_IFREG | 0644;
    bool encrypted = false;
    QByteArray alias = {};
};

// The archive's bytes, built with libzip; an entry's name is then patched to its alias of the
// same length, so that two entries can share a name libzip would refuse to give twice.
QByteArray archiveOf(const QList<Entry> &entries)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_source_keep(buffer);
    zip_t *archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    for (const Entry &entry : entries) {
        zip_source_t *source = zip_source_buffer(archive, entry.bytes.constData(),
                                                 zip_uint64_t(entry.bytes.size()), 0);
        const auto index = zip_uint64_t(zip_file_add(archive, entry.name.constData(), source, 0));
        zip_set_file_compression(archive, index, entry.stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0);
        zip_file_set_external_attributes(archive, index, 0, ZIP_OPSYS_UNIX,
                                         zip_uint32_t(entry.mode) << 16);
        if (entry.encrypted)
            zip_file_set_encryption(archive, index, ZIP_EM_AES_256, "secret");
    }
    if (zip_close(archive) != 0)
        qFatal("the test archive is not built: %s", zip_strerror(archive));
    zip_stat_t info;
    zip_source_stat(buffer, &info);
    QByteArray bytes(qsizetype(info.size), '\0');
    zip_source_open(buffer);
    zip_source_read(buffer, bytes.data(), info.size);
    zip_source_close(buffer);
    zip_source_free(buffer);
    for (const Entry &entry : entries) {
        if (!entry.alias.isEmpty())
            bytes.replace(entry.name, entry.alias);
    }
    return bytes;
}

const StoryMetadata kMetadata{QStringLiteral("lamp"), QStringLiteral("1.2"),
                              QStringLiteral("Фонарь"), QStringLiteral("Автор"),
                              QStringLiteral("Строка.\nДругая строка.")};

// The sound metadata with one part of its text replaced.
QByteArray metadataWith(const char *part, const char *replacement)
{
    return storyMetadataJson(kMetadata).replace(part, replacement);
}

std::vector<StoryFileEntry> treeFiles()
{
    return {{u"vorta.cfg", " 1 \r\n 5 \r\n"},
            {u"Genres/genres.vtq", encodeWindows1251(u"Ужасы,horror\r\n")},
            {u"Genres/horror/1.vtq", encodeWindows1251(u"Шаги\r\n")}};
}

const QByteArray kMimeType = toQString(kStoryFileMimeType).toUtf8();

// A sound story file; the hostile ones are this with one thing changed.
QList<Entry> goodEntries()
{
    QList<Entry> entries{{"mimetype", kMimeType, true},
                         {"story.json", storyMetadataJson(kMetadata)}};
    for (const StoryFileEntry &file : treeFiles())
        entries.append({toQString(file.path).toUtf8(), toQByteArray(file.bytes)});
    return entries;
}

// The sound story file with the entry at the index replaced, or with the entry added after the
// others for a negative index.
QByteArray withEntry(qsizetype index, const Entry &entry)
{
    QList<Entry> entries = goodEntries();
    if (index < 0)
        entries.append(entry);
    else
        entries[index] = entry;
    return archiveOf(entries);
}

} // namespace

class TestStoryFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void hostileArchivesAreRefused_data();
    void hostileArchivesAreRefused();
    void aWrittenStoryReadsBackTheSame_data();
    void aWrittenStoryReadsBackTheSame();
    void anArchiveThatCannotBeBuiltIsNotWritten();
    void versionsCompareNumberByNumber_data();
    void versionsCompareNumberByNumber();
};

void TestStoryFile::hostileArchivesAreRefused_data()
{
    QTest::addColumn<QByteArray>("archive");
    QTest::addColumn<QString>("what"); // a part of the message

    const QByteArray good = archiveOf(goodEntries());
    const QByteArray type = kMimeType;
    const QByteArray big(kDataFileCap + 1, 'x');
    const QByteArray fragment = "Genres/horror/1.vtq";
    const auto row = [](const char *name, const QByteArray &archive, const char *what) {
        QTest::newRow(name) << archive << QString::fromUtf8(what);
    };
    row("not an archive", "Ужасы,horror\r\n", "ZIP");
    row("truncated", good.first(good.size() * 2 / 3), "ZIP");
    row("no mimetype", archiveOf(goodEntries().sliced(1)), "mimetype");
    row("mimetype not first", archiveOf(goodEntries().sliced(1) << Entry{"mimetype", type, true}),
        "mimetype");
    row("mimetype compressed", withEntry(0, {"mimetype", type}), "mimetype");
    row("another type", withEntry(0, {"mimetype", "application/zip", true}), "mimetype");
    row("the type and a line end", withEntry(0, {"mimetype", type + '\n', true}), "mimetype");
    row("parent folder", withEntry(-1, {"Genres/../../evil", "x"}), "evil");
    row("absolute path", withEntry(-1, {"/tmp/evil", "x"}), "evil");
    row("backslash", withEntry(-1, {"Genres\\..\\evil", "x"}), "evil");
    row("drive letter", withEntry(-1, {"C:/evil", "x"}), "evil");
    row("empty part", withEntry(-1, {"Genres//evil", "x"}), "evil");
    row("symbolic link", withEntry(4, {fragment, "x", false, S_IFLNK | 0777}), "ссылка");
    row("device", withEntry(4, {fragment, "x", false, S_IFCHR | 0644}), "1.vtq");
    row("named pipe", withEntry(4, {fragment, "x", false, S_IFIFO | 0644}), "1.vtq");
    row("folder in a file's name", withEntry(4, {fragment, "x", false, S_IFDIR}), "1.vtq");
    row("file over a folder", withEntry(-1, {"Genres/horror", "x"}), "папка");
    row("same name twice", withEntry(-1, {"vorta.cfh", "x", false, S_IFREG, false, "vorta.cfg"}),
        "повторяет");
    row("same name in other case", withEntry(-1, {"Genres/HORROR/1.vtq", "x"}), "повторяет");
    row("encrypted", withEntry(4, {fragment, "x", false, S_IFREG, true}), "зашифрована");
    row("file over the cap", withEntry(-1, {"Genres/horror/2.vtq", big}), "2.vtq");
    row("settings over their cap",
        withEntry(2, {"vorta.cfg", QByteArray(kSettingsFileCap + 1, ' ')}), "vorta.cfg");
    // A size that lies: the entry says, in both its headers, that it unpacks to ten bytes.
    QByteArray lying = withEntry(-1, {"Genres/horror/2.vtq", big});
    const qsizetype local = lying.indexOf("Genres/horror/2.vtq");
    const qsizetype central = lying.indexOf("Genres/horror/2.vtq", local + 1);
    for (const qsizetype sizeField : {local - 30 + 22, central - 46 + 24})
        lying.replace(sizeField, 4, QByteArray("\x0a\0\0\0", 4));
    row("size that lies", lying, "2.vtq\" распаковывается");
    QList<Entry> bomb = goodEntries();
    for (int i = 0; i < 8; ++i)
        bomb.append({"Genres/horror/" + QByteArray::number(i + 10) + ".vtq",
                     QByteArray(kDataFileCap - 1, '\0')});
    row("many entries over the total", archiveOf(bomb), "распаковывается");
    QList<Entry> crowd = goodEntries();
    for (int i = 0; i < 10000; ++i)
        crowd.append({"Genres/horror/" + QByteArray::number(i + 100) + ".vtq", {}});
    row("too many entries", archiveOf(crowd), "записей");
    row("no metadata", withEntry(1, {"about.json", "{}"}), "story.json");
    row("metadata not JSON", withEntry(1, {"story.json", "{\"identifier\": "}), "story.json");
    row("identifier escapes", withEntry(1, {"story.json", metadataWith("\"lamp\"", "\"../up\"")}),
        "identifier");
    row("no title", withEntry(1, {"story.json", metadataWith("\"title\"", "\"name\"")}), "title");
    row("version in words", withEntry(1, {"story.json", metadataWith("1.2", "1.x")}), "version");
    row("no catalogue", withEntry(3, {"Genres/list.vtq", "x"}), "genres.vtq");
    QByteArray crowdedCatalogue;
    for (int i = 0; i < 40; ++i)
        crowdedCatalogue += "g" + QByteArray::number(i) + ",d\r\n";
    row("catalogue that does not read", withEntry(3, {"Genres/genres.vtq", crowdedCatalogue}),
        "genres.vtq");
}

void TestStoryFile::hostileArchivesAreRefused()
{
    QFETCH(QByteArray, archive);
    QFETCH(QString, what);
    const QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("story.vorta")));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(archive) == archive.size());
    file.close();
    try {
        readStoryFile(dir.filePath(QStringLiteral("story.vorta")), QStringLiteral("shown.vorta"));
        QFAIL("the archive was read");
    } catch (const StoryError &error) {
        QCOMPARE(error.kind(), ErrorKind::BadStoryFile);
        const QString message = messageOf(error);
        QVERIFY2(toQString(error.file()).startsWith(QStringLiteral("shown.vorta")),
                 qPrintable(message));
        QVERIFY2(message.contains(what), qPrintable(message));
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{QStringLiteral("story.vorta")});
}

void TestStoryFile::aWrittenStoryReadsBackTheSame_data()
{
    QTest::addColumn<std::vector<StoryFileEntry>>("written");
    QTest::addColumn<std::vector<StoryFileEntry>>("kept");

    QTest::newRow("tree") << treeFiles() << treeFiles();
    std::vector<StoryFileEntry> withOthers = treeFiles();
    withOthers.insert(withOthers.end(), {{u"story.journal", "saved"},
                                         {u"Genres/horror/story.journal.old", "saved"},
                                         {u"notes.txt", "notes"}});
    QTest::newRow("a saved story and notes are left out") << withOthers << treeFiles();
}

void TestStoryFile::aWrittenStoryReadsBackTheSame()
{
    QFETCH(std::vector<StoryFileEntry>, written);
    QFETCH(std::vector<StoryFileEntry>, kept);
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("story.vorta"));
    writeStoryFile(path, QStringLiteral("story.vorta"), kMetadata, written);

    const StoryFile story = readStoryFile(path, QStringLiteral("story.vorta"));
    QCOMPARE(story.metadata, kMetadata);
    QCOMPARE(readStoryFileDirectory(path, QStringLiteral("story.vorta")).metadata, kMetadata);
    QCOMPARE(story.contents.files.size(), kept.size());
    for (std::size_t i = 0; i < kept.size(); ++i) {
        QCOMPARE(story.contents.files.at(i).path, kept.at(i).path);
        QCOMPARE(story.tree().readBytes(kept.at(i).path), kept.at(i).bytes);
    }
    // The directory lists every file as stored, with its size; the checksum of the type is known.
    const StoryFileLook directory = readStoryFileDirectory(path, QStringLiteral("s.vorta"));
    QCOMPARE(directory.metadata, kMetadata);
    QCOMPARE(directory.entries.size(), kept.size() + 2);
    QCOMPARE(directory.entries.at(0).crc32, quint32(0xead56d4b));
    for (std::size_t i = 0; i < kept.size(); ++i) {
        QCOMPARE(directory.entries.at(i + 2).name, kept.at(i).path);
        QCOMPARE(directory.entries.at(i + 2).size, kept.at(i).bytes.size());
    }
    // The type where a look at the first bytes finds it, as for other such archives.
    const QByteArray bytes = readCappedFile(path, path, kDataFileCap);
    QCOMPARE(bytes.mid(30, 8), QByteArray("mimetype"));
    QCOMPARE(bytes.mid(38, kMimeType.size()), kMimeType);
    QVERIFY(isStoryFilePath(path));
    // The same story packs to the same bytes.
    writeStoryFile(path, QStringLiteral("story.vorta"), kMetadata, written);
    QCOMPARE(readCappedFile(path, path, kDataFileCap), bytes);
}

// Two files under one name: libzip refuses the second, and nothing is written.
void TestStoryFile::anArchiveThatCannotBeBuiltIsNotWritten()
{
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("story.vorta"));
    std::vector<StoryFileEntry> files = treeFiles();
    files.push_back(files.front());
    QVERIFY_THROWS_EXCEPTION(StoryError,
                             writeStoryFile(path, QStringLiteral("story.vorta"), kMetadata, files));
    QVERIFY(!QFileInfo::exists(path));
}

void TestStoryFile::versionsCompareNumberByNumber_data()
{
    QTest::addColumn<QString>("older");
    QTest::addColumn<QString>("newer");
    QTest::addColumn<int>("order");

    const auto row = [](const char *name, const char *older, const char *newer, int order) {
        QTest::newRow(name) << QString::fromLatin1(older) << QString::fromLatin1(newer) << order;
    };
    row("same", "1.2", "1.2", 0);
    row("trailing zero", "1.0", "1", 0);
    row("leading zeros", "1.02", "1.2", 0);
    row("ten after nine", "1.9", "1.10", -1);
    row("longer is newer", "2.0", "2.0.1", -1);
    row("major first", "1.99", "2.0", -1);
    row("past 32 bits", "4294967296", "4294967297", -1);
}

void TestStoryFile::versionsCompareNumberByNumber()
{
    QFETCH(QString, older);
    QFETCH(QString, newer);
    QFETCH(int, order);
    QCOMPARE(compareStoryVersions(older, newer), order);
    QCOMPARE(compareStoryVersions(newer, older), -order);
}

QTEST_GUILESS_MAIN(TestStoryFile)
#include "tst_story_file.moc"
