// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "format/file_reader.h"
#include "format/story_error.h"
#include "format/story_file.h"
#include "format/windows1251.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <zip.h>

using namespace vorta;

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

QByteArray metadataWith(const QString &key, const QJsonValue &value)
{
    QJsonObject object = QJsonDocument::fromJson(storyMetadataJson(kMetadata)).object();
    if (value.isUndefined())
        object.remove(key);
    else
        object.insert(key, value);
    return QJsonDocument(object).toJson();
}

QList<StoryFileEntry> treeFiles()
{
    return {{QStringLiteral("vorta.cfg"), " 1 \r\n 5 \r\n"},
            {QStringLiteral("Genres/genres.vtq"), encodeWindows1251(u"Ужасы,horror\r\n"_qs)},
            {QStringLiteral("Genres/horror/1.vtq"), encodeWindows1251(u"Шаги\r\n"_qs)}};
}

// A sound story file; the hostile ones are this with one thing changed.
QList<Entry> goodEntries()
{
    QList<Entry> entries{{"mimetype", kStoryFileMimeType.toUtf8(), true},
                         {"story.json", storyMetadataJson(kMetadata)}};
    for (const StoryFileEntry &file : treeFiles())
        entries.append({file.path.toUtf8(), file.bytes});
    return entries;
}

QList<Entry> with(Entry added)
{
    QList<Entry> entries = goodEntries();
    entries.append(std::move(added));
    return entries;
}

QList<Entry> changed(qsizetype index, const std::function<void(Entry &)> &change)
{
    QList<Entry> entries = goodEntries();
    change(entries[index]);
    return entries;
}

QByteArray writeFile(const QTemporaryDir &dir, const QByteArray &bytes)
{
    QFile file(dir.filePath(QStringLiteral("story.vorta")));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("the story file is not written");
    return bytes;
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
    void versionsCompareNumberByNumber_data();
    void versionsCompareNumberByNumber();
};

void TestStoryFile::hostileArchivesAreRefused_data()
{
    QTest::addColumn<QByteArray>("archive");
    QTest::addColumn<QString>("what"); // a part of the message

    const QByteArray good = archiveOf(goodEntries());
    const QByteArray big(kDataFileCap + 1, 'x');
    const auto row = [](const char *name, const QByteArray &archive, const char *what) {
        QTest::newRow(name) << archive << QString::fromUtf8(what);
    };
    row("not an archive", "Ужасы,horror\r\n", "ZIP");
    row("truncated", good.first(good.size() * 2 / 3), "ZIP");
    row("no mimetype", archiveOf(goodEntries().sliced(1)), "mimetype");
    row("mimetype not first",
        archiveOf(changed(0, [](Entry &e) { e.name = "mimetypes"; }) +
                  QList<Entry>{{"mimetype", kStoryFileMimeType.toUtf8(), true}}),
        "mimetype");
    row("mimetype compressed", archiveOf(changed(0, [](Entry &e) { e.stored = false; })),
        "mimetype");
    row("another type", archiveOf(changed(0, [](Entry &e) { e.bytes = "application/zip"; })),
        "mimetype");
    row("the type and a line end", archiveOf(changed(0, [](Entry &e) { e.bytes += '\n'; })),
        "mimetype");
    row("parent folder", archiveOf(with({"Genres/../../evil", "x"})), "evil");
    row("absolute path", archiveOf(with({"/tmp/evil", "x"})), "evil");
    row("backslash", archiveOf(with({"Genres\\..\\evil", "x"})), "evil");
    row("drive letter", archiveOf(with({"C:/evil", "x"})), "evil");
    row("empty part", archiveOf(with({"Genres//evil", "x"})), "evil");
    row("symbolic link", archiveOf(changed(4, [](Entry &e) { e.mode = S_IFLNK | 0777; })),
        "ссылка");
    row("device", archiveOf(changed(4, [](Entry &e) { e.mode = S_IFCHR | 0644; })), "1.vtq");
    row("named pipe", archiveOf(changed(4, [](Entry &e) { e.mode = S_IFIFO | 0644; })), "1.vtq");
    row("folder in a file's name", archiveOf(changed(4, [](Entry &e) { e.mode = S_IFDIR; })),
        "1.vtq");
    row("file over a folder", archiveOf(with({"Genres/horror", "x"})), "папка");
    row("same name twice",
        archiveOf(with({"vorta.cfh", "x", false, S_IFREG | 0644, false, "vorta.cfg"})),
        "повторяет");
    row("same name in other case", archiveOf(with({"Genres/HORROR/1.vtq", "x"})), "повторяет");
    row("encrypted", archiveOf(changed(4, [](Entry &e) { e.encrypted = true; })), "зашифрована");
    row("file over the cap", archiveOf(with({"Genres/horror/2.vtq", big})), "2.vtq");
    row("settings over their cap",
        archiveOf(changed(2, [](Entry &e) { e.bytes = QByteArray(kSettingsFileCap + 1, ' '); })),
        "vorta.cfg");
    // A size that lies: the entry says, in both its headers, that it unpacks to ten bytes.
    QByteArray lying = archiveOf(with({"Genres/horror/2.vtq", big}));
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
    row("no metadata", archiveOf(changed(1, [](Entry &e) { e.name = "about.json"; })),
        "story.json");
    const auto metadataRow = [&](const char *name, const QByteArray &json, const char *what) {
        row(name, archiveOf(changed(1, [&](Entry &e) { e.bytes = json; })), what);
    };
    metadataRow("metadata not JSON", "{\"identifier\": ", "story.json");
    metadataRow("identifier escapes", metadataWith(u"identifier"_qs, u"../up"_qs), "identifier");
    metadataRow("no title", metadataWith(u"title"_qs, QJsonValue::Undefined), "title");
    metadataRow("version in words", metadataWith(u"version"_qs, u"1.x"_qs), "version");
    row("no catalogue", archiveOf(changed(3, [](Entry &e) { e.name = "Genres/list.vtq"; })),
        "genres.vtq");
    QByteArray crowdedCatalogue;
    for (int i = 0; i < 40; ++i)
        crowdedCatalogue += "g" + QByteArray::number(i) + ",d\r\n";
    row("catalogue that does not read",
        archiveOf(changed(3, [&](Entry &e) { e.bytes = crowdedCatalogue; })), "genres.vtq");
}

void TestStoryFile::hostileArchivesAreRefused()
{
    QFETCH(QByteArray, archive);
    QFETCH(QString, what);
    const QTemporaryDir dir;
    writeFile(dir, archive);
    try {
        readStoryFile(dir.filePath(QStringLiteral("story.vorta")), QStringLiteral("shown.vorta"));
        QFAIL("the archive was read");
    } catch (const StoryError &error) {
        QCOMPARE(error.kind(), ErrorKind::BadStoryFile);
        QVERIFY2(error.file().startsWith(QStringLiteral("shown.vorta")),
                 qPrintable(error.message()));
        QVERIFY2(error.message().contains(what), qPrintable(error.message()));
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{QStringLiteral("story.vorta")});
}

void TestStoryFile::aWrittenStoryReadsBackTheSame_data()
{
    QTest::addColumn<QList<StoryFileEntry>>("written");
    QTest::addColumn<QList<StoryFileEntry>>("kept");

    QTest::newRow("tree") << treeFiles() << treeFiles();
    QList<StoryFileEntry> withOthers = treeFiles();
    withOthers.append({{QStringLiteral("story.journal"), "saved"},
                       {QStringLiteral("Genres/horror/story.journal.old"), "saved"},
                       {QStringLiteral("notes.txt"), "notes"}});
    QTest::newRow("a saved story and notes are left out") << withOthers << treeFiles();
}

void TestStoryFile::aWrittenStoryReadsBackTheSame()
{
    QFETCH(QList<StoryFileEntry>, written);
    QFETCH(QList<StoryFileEntry>, kept);
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("story.vorta"));
    writeStoryFile(path, QStringLiteral("story.vorta"), kMetadata, written);

    const StoryFile story = readStoryFile(path, QStringLiteral("story.vorta"));
    QCOMPARE(story.metadata, kMetadata);
    QCOMPARE(readStoryFileMetadata(path, QStringLiteral("story.vorta")), kMetadata);
    QCOMPARE(story.files.size(), kept.size());
    for (qsizetype i = 0; i < kept.size(); ++i) {
        QCOMPARE(story.files.at(i).path, kept.at(i).path);
        QCOMPARE(story.tree().readBytes(kept.at(i).path), kept.at(i).bytes);
    }
    // The type where a look at the first bytes finds it, as for other such archives.
    const QByteArray bytes = readCappedFile(path, path, kDataFileCap);
    QCOMPARE(bytes.mid(30, 8), QByteArray("mimetype"));
    QCOMPARE(bytes.mid(38, kStoryFileMimeType.size()), kStoryFileMimeType.toUtf8());
    QVERIFY(isStoryFilePath(path));
    // The same story packs to the same bytes.
    writeStoryFile(path, QStringLiteral("story.vorta"), kMetadata, written);
    QCOMPARE(readCappedFile(path, path, kDataFileCap), bytes);
}

void TestStoryFile::versionsCompareNumberByNumber_data()
{
    QTest::addColumn<QString>("older");
    QTest::addColumn<QString>("newer");
    QTest::addColumn<int>("order");

    QTest::newRow("same") << "1.2"
                          << "1.2" << 0;
    QTest::newRow("trailing zero") << "1.0"
                                   << "1" << 0;
    QTest::newRow("leading zeros") << "1.02"
                                   << "1.2" << 0;
    QTest::newRow("ten after nine") << "1.9"
                                    << "1.10" << -1;
    QTest::newRow("longer is newer") << "2.0"
                                     << "2.0.1" << -1;
    QTest::newRow("major first") << "1.99"
                                 << "2.0" << -1;
    QTest::newRow("past 32 bits") << "4294967296"
                                  << "4294967297" << -1;
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
