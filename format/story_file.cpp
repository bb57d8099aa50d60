// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "story_file.h"

#include "format/atomic_write.h"
#include "format/catalogue_file.h"
#include "format/file_reader.h"
#include "format/story_error.h"
#include "format/text_reader.h"
#include "format/tree_paths.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <sys/stat.h>
#include <zip.h>

namespace vorta {

namespace {

// A stranger's file is bounded before it is opened and while it unpacks: the archive, what its
// entries unpack to together, and how many there are (a sample story has a few hundred).
constexpr qint64 kStoryFileCap = 64 * 1024 * 1024;
constexpr qint64 kUnpackedCap = 64 * 1024 * 1024;
constexpr zip_int64_t kMostEntries = 4096;

const QString kMimeTypeEntry = QStringLiteral("mimetype");
const QString kGenresPrefix = kGenresFolder + QLatin1Char('/');

// The time every entry carries, so that the same story packs to the same bytes.
constexpr time_t kEntryTime = 1767225600; // 2026-01-01

// Closes an archive on every way out, unless it was closed to write it.
struct ArchiveCloser
{
    zip_t *archive;
    ~ArchiveCloser()
    {
        if (archive)
            zip_discard(archive);
    }
};

struct EntryCloser
{
    zip_file_t *file;
    ~EntryCloser() { zip_fclose(file); }
};

QString entryName(const QString &name)
{
    return QStringLiteral("запись %1").arg(quoted(name));
}

// Whether the entry is one of the tree's files, which alone are kept; a saved story in
// progress never is.
bool isTreeFile(const QString &path)
{
    if (QFileInfo(path).fileName().startsWith(kSavedStoryFile))
        return false;
    return path == kSettingsFile || path.startsWith(kGenresPrefix);
}

// What is wrong with an entry's name, or nothing for a plain relative path.
QString nameFault(const QString &name)
{
    if (name.isEmpty())
        return QStringLiteral("пустое имя записи");
    if (name.startsWith(QLatin1Char('/')))
        return QStringLiteral("абсолютный путь");
    if (name.contains(QLatin1Char('\\')))
        return QStringLiteral("обратная косая черта в имени");
    if (name.contains(QLatin1Char(':')))
        return QStringLiteral("двоеточие в имени, как у имени диска");
    for (const QChar c : name) {
        if (c.category() == QChar::Other_Control)
            return QStringLiteral("управляющий знак в имени");
    }
    const QString path = name.endsWith(QLatin1Char('/')) ? name.chopped(1) : name;
    for (const QStringView part : QStringView(path).split(QLatin1Char('/'))) {
        if (part.isEmpty())
            return QStringLiteral("пустая часть пути");
        if (part == u"." || part == u"..")
            return QStringLiteral("путь с «.» или «..»");
    }
    return {};
}

// An archive read from its bytes, every fault a BadStoryFile naming the file.
class StoryArchive
{
public:
    StoryArchive(const QByteArray &bytes, const QString &shownName)
        : m_bytes(bytes), m_shownName(shownName)
    {
        zip_error_t error;
        zip_error_init(&error);
        zip_source_t *source =
            zip_source_buffer_create(m_bytes.constData(), zip_uint64_t(m_bytes.size()), 0, &error);
        if (source)
            m_closer.archive = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error);
        const int code = zip_error_code_zip(&error);
        zip_error_fini(&error);
        if (!m_closer.archive) {
            if (source)
                zip_source_free(source);
            fail(code == ZIP_ER_NOZIP
                     ? QStringLiteral("это не ZIP-архив, или он обрезан")
                     : QStringLiteral("архив повреждён: его оглавление расходится с записями "
                                      "или повторяет имя"));
        }
        const zip_int64_t count = zip_get_num_entries(archive(), 0);
        if (count > kMostEntries)
            fail(QStringLiteral("в архиве %1 записей, предел %2").arg(count).arg(kMostEntries));
        m_count = count;
    }

    zip_t *archive() const { return m_closer.archive; }
    zip_int64_t count() const { return m_count; }

    // The entry's name as stored; it must be UTF-8.
    QString name(zip_int64_t index) const
    {
        const char *raw = zip_get_name(archive(), zip_uint64_t(index), ZIP_FL_ENC_RAW);
        if (!raw)
            fail(QStringLiteral("запись %1 без имени").arg(index + 1));
        const QByteArray bytes(raw);
        const QString name = QString::fromUtf8(bytes);
        if (name.toUtf8() != bytes)
            fail(QStringLiteral("имя записи %1 не в UTF-8").arg(index + 1));
        return name;
    }

    zip_stat_t stat(zip_int64_t index) const
    {
        zip_stat_t info;
        if (zip_stat_index(archive(), zip_uint64_t(index), 0, &info) != 0)
            fail(QStringLiteral("запись %1 не читается").arg(index + 1));
        return info;
    }

    // The MIME type entry: first, stored, exactly the type.
    void checkMimeType() const
    {
        if (m_count < 1 || name(0) != kMimeTypeEntry)
            fail(QStringLiteral("первой записью должен быть \"%1\"").arg(kMimeTypeEntry));
        const zip_stat_t info = stat(0);
        if (!(info.valid & ZIP_STAT_COMP_METHOD) || info.comp_method != ZIP_CM_STORE)
            fail(QStringLiteral("запись \"%1\" сжата").arg(kMimeTypeEntry));
        if (read(0, kMimeTypeEntry, kStoryFileMimeType.size()) != kStoryFileMimeType.toUtf8())
            fail(QStringLiteral("запись \"%1\" не %2").arg(kMimeTypeEntry, kStoryFileMimeType));
    }

    StoryMetadata metadata() const
    {
        const zip_int64_t index =
            zip_name_locate(archive(), kStoryMetadataFile.toUtf8().constData(), ZIP_FL_ENC_RAW);
        if (index < 0)
            fail(QStringLiteral("нет записи \"%1\"").arg(kStoryMetadataFile));
        return parseStoryMetadata(read(index, kStoryMetadataFile, kStoryMetadataCap),
                                  m_shownName + QLatin1Char(':') + kStoryMetadataFile);
    }

    // The entry's bytes, never more than the cap, whatever its size is said to be.
    QByteArray read(zip_int64_t index, const QString &name, qint64 cap) const
    {
        zip_file_t *file = zip_fopen_index(archive(), zip_uint64_t(index), 0);
        if (!file)
            fail(entryName(name) + QStringLiteral(" не открывается"));
        const EntryCloser closer{file};
        QByteArray bytes;
        for (;;) {
            const qsizetype before = bytes.size();
            const qint64 wanted = qMin<qint64>(64 * 1024, cap + 1 - before);
            if (wanted <= 0)
                break;
            bytes.resize(before + wanted);
            const zip_int64_t got = zip_fread(file, bytes.data() + before, zip_uint64_t(wanted));
            if (got < 0)
                fail(entryName(name) + QStringLiteral(" повреждена"));
            bytes.resize(before + got);
            if (got == 0)
                break;
        }
        if (bytes.size() > cap)
            fail(entryName(name) +
                 QStringLiteral(" распаковывается больше чем в %1 байт").arg(cap));
        return bytes;
    }

    [[noreturn]] void fail(const QString &why) const
    {
        throw StoryError(ErrorKind::BadStoryFile, m_shownName, 0, why);
    }

private:
    const QByteArray &m_bytes;
    const QString &m_shownName;
    ArchiveCloser m_closer{nullptr};
    zip_int64_t m_count = 0;
};

// Refuses an entry that is not a plain file or folder: a link, a device, a pipe; or one whose
// kind its name belies.
void checkKind(const StoryArchive &archive, zip_int64_t index, const QString &name)
{
    const bool folder = name.endsWith(QLatin1Char('/'));
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(archive.archive(), zip_uint64_t(index), 0, &system,
                                         &attributes) != 0)
        archive.fail(entryName(name) + QStringLiteral(": не прочесть её атрибуты"));
    constexpr zip_uint32_t kDosFolder = 0x10;
    if (system == ZIP_OPSYS_UNIX) {
        const mode_t type = mode_t(attributes >> 16) & S_IFMT;
        if (type == S_IFLNK)
            archive.fail(entryName(name) + QStringLiteral(" — символическая ссылка"));
        if (type != 0 && type != S_IFREG && type != S_IFDIR)
            archive.fail(entryName(name) + QStringLiteral(" — не обычный файл"));
        if (type == S_IFDIR && !folder)
            archive.fail(entryName(name) + QStringLiteral(" — папка без «/» в конце имени"));
        if (type == S_IFREG && folder)
            archive.fail(entryName(name) + QStringLiteral(" — файл с «/» в конце имени"));
    } else if ((attributes & kDosFolder) && !folder) {
        archive.fail(entryName(name) + QStringLiteral(" — папка без «/» в конце имени"));
    }
    const zip_stat_t info = archive.stat(index);
    if ((info.valid & ZIP_STAT_ENCRYPTION_METHOD) && info.encryption_method != ZIP_EM_NONE)
        archive.fail(entryName(name) + QStringLiteral(" зашифрована"));
}

// The folders that the names hold, each as its case-folded path.
void addParentFolders(QSet<QString> &folders, const QString &folded)
{
    for (qsizetype slash = folded.indexOf(QLatin1Char('/')); slash > 0;
         slash = folded.indexOf(QLatin1Char('/'), slash + 1))
        folders.insert(folded.left(slash));
}

// Checks every entry's name, kind and declared size; returns the indexes of the tree's files.
QList<zip_int64_t> checkEntries(const StoryArchive &archive)
{
    QHash<QString, QString> names; // case-folded, as a file system that ignores case sees them
    QSet<QString> folders;
    QList<zip_int64_t> treeFiles;
    qint64 declared = 0;
    for (zip_int64_t index = 0; index < archive.count(); ++index) {
        const QString name = archive.name(index);
        if (const QString fault = nameFault(name); !fault.isEmpty())
            archive.fail(entryName(name) + QStringLiteral(": ") + fault);
        checkKind(archive, index, name);
        const bool folder = name.endsWith(QLatin1Char('/'));
        const QString path = folder ? name.chopped(1) : name;
        const QString folded = path.toCaseFolded();
        if (const auto same = names.constFind(folded); same != names.cend())
            archive.fail(entryName(name) +
                         QStringLiteral(" повторяет запись %1").arg(quoted(*same)));
        names.insert(folded, name);
        addParentFolders(folders, folded);
        if (folder) {
            folders.insert(folded);
            continue;
        }
        const zip_stat_t info = archive.stat(index);
        const qint64 size = (info.valid & ZIP_STAT_SIZE)
                                ? qint64(qMin<zip_uint64_t>(info.size, kUnpackedCap + 1))
                                : 0;
        declared += size;
        if (declared > kUnpackedCap)
            archive.fail(
                QStringLiteral("архив распаковывается больше чем в %1 байт").arg(kUnpackedCap));
        if (isTreeFile(path)) {
            if (size > capFor(path))
                archive.fail(entryName(name) + QStringLiteral(" больше %1 байт").arg(capFor(path)));
            treeFiles.append(index);
        }
    }
    for (auto it = names.cbegin(); it != names.cend(); ++it) {
        if (!it->endsWith(QLatin1Char('/')) && folders.contains(it.key()))
            archive.fail(entryName(*it) + QStringLiteral(" — файл, а в архиве есть папка с тем "
                                                         "же именем"));
    }
    return treeFiles;
}

// The catalogue must read as the program reads it, or the story could not even start.
void checkCatalogue(const StoryFile &story, const QString &shownName)
{
    try {
        CatalogueReader reader(TextReader::open(story.tree(), kCatalogueFile));
        while (!reader.atEnd())
            reader.next();
    } catch (const StoryError &error) {
        QString why = error.kindText();
        if (!error.detail().isEmpty())
            why += QStringLiteral(": ") + error.detail();
        throw StoryError(ErrorKind::BadStoryFile, shownName + QLatin1Char(':') + kCatalogueFile,
                         error.line(), why);
    }
}

QByteArray readArchiveBytes(const QString &fullPath, const QString &shownName)
{
    return readCappedFile(fullPath, shownName, kStoryFileCap);
}

// Builds the archive in memory; a libzip failure is a FileNotWritten naming the file.
class ArchiveWriter
{
public:
    explicit ArchiveWriter(const QString &shownName) : m_shownName(shownName)
    {
        zip_error_t error;
        zip_error_init(&error);
        m_source = zip_source_buffer_create(nullptr, 0, 0, &error);
        if (m_source) {
            zip_source_keep(m_source);
            m_closer.archive = zip_open_from_source(m_source, ZIP_TRUNCATE, &error);
        }
        const QString why = QString::fromUtf8(zip_error_strerror(&error));
        zip_error_fini(&error);
        if (!m_closer.archive)
            fail(why);
    }
    ~ArchiveWriter()
    {
        m_closer = {nullptr};
        if (m_source)
            zip_source_free(m_source);
    }
    ArchiveWriter(const ArchiveWriter &) = delete;
    ArchiveWriter &operator=(const ArchiveWriter &) = delete;

    // The bytes must live until bytes() is called.
    void add(const QString &name, const QByteArray &data, bool compressed)
    {
        zip_t *archive = m_closer.archive;
        zip_source_t *source =
            zip_source_buffer(archive, data.constData(), zip_uint64_t(data.size()), 0);
        const zip_int64_t index =
            source ? zip_file_add(archive, name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8)
                   : -1;
        if (index < 0) {
            if (source)
                zip_source_free(source);
            failArchive();
        }
        const auto at = zip_uint64_t(index);
        if (zip_set_file_compression(archive, at, compressed ? ZIP_CM_DEFLATE : ZIP_CM_STORE,
                                     compressed ? 9 : 0) != 0 ||
            zip_file_set_mtime(archive, at, kEntryTime, 0) != 0 ||
            zip_file_set_external_attributes(archive, at, 0, ZIP_OPSYS_UNIX,
                                             zip_uint32_t(S_IFREG | 0644) << 16) != 0)
            failArchive();
    }

    QByteArray bytes()
    {
        if (zip_close(m_closer.archive) != 0)
            failArchive();
        m_closer.archive = nullptr;
        zip_stat_t info;
        zip_stat_init(&info);
        QByteArray bytes;
        if (zip_source_stat(m_source, &info) != 0 || zip_source_open(m_source) != 0)
            fail(QString::fromUtf8(zip_error_strerror(zip_source_error(m_source))));
        bytes.resize(qsizetype(info.size));
        const zip_int64_t got = zip_source_read(m_source, bytes.data(), info.size);
        zip_source_close(m_source);
        if (got != zip_int64_t(info.size))
            fail(QString::fromUtf8(zip_error_strerror(zip_source_error(m_source))));
        return bytes;
    }

private:
    [[noreturn]] void failArchive() const
    {
        fail(QString::fromUtf8(zip_strerror(m_closer.archive)));
    }
    [[noreturn]] void fail(const QString &why) const
    {
        throw StoryError(ErrorKind::FileNotWritten, m_shownName, 0, why);
    }

    const QString &m_shownName;
    zip_source_t *m_source = nullptr;
    ArchiveCloser m_closer{nullptr};
};

} // namespace

DataTree StoryFile::tree() const
{
    auto memory = std::make_shared<MemoryTree>();
    for (const StoryFileEntry &file : files)
        memory->add(file.path, file.bytes);
    return DataTree(memory);
}

StoryFile readStoryFile(const QString &fullPath, const QString &shownName)
{
    const QByteArray bytes = readArchiveBytes(fullPath, shownName);
    const StoryArchive archive(bytes, shownName);
    const QList<zip_int64_t> treeFiles = checkEntries(archive);
    archive.checkMimeType();
    StoryFile story;
    story.metadata = archive.metadata();
    qint64 unpacked = 0;
    for (const zip_int64_t index : treeFiles) {
        const QString path = archive.name(index);
        story.files.append({path, archive.read(index, path, capFor(path))});
        const StoryFileEntry &file = story.files.constLast();
        unpacked += file.bytes.size();
        if (unpacked > kUnpackedCap)
            archive.fail(
                QStringLiteral("архив распаковывается больше чем в %1 байт").arg(kUnpackedCap));
    }
    checkCatalogue(story, shownName);
    return story;
}

StoryMetadata readStoryFileMetadata(const QString &fullPath, const QString &shownName)
{
    const QByteArray bytes = readArchiveBytes(fullPath, shownName);
    const StoryArchive archive(bytes, shownName);
    archive.checkMimeType();
    return archive.metadata();
}

bool isStoryFilePath(const QString &fullPath)
{
    const QFileInfo info(fullPath);
    if (info.isDir())
        return false;
    if (info.suffix() == kStoryFileSuffix)
        return true;
    if (!info.isFile())
        return false;
    // A local file header holds the name 30 bytes in; the first entry's is "mimetype".
    QFile file(fullPath);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(30 + kMimeTypeEntry.size());
    return head.startsWith("PK\x03\x04") &&
           head.sliced(qMin<qsizetype>(30, head.size())) == kMimeTypeEntry.toLatin1();
}

QByteArray storyFileBytes(const QString &shownName, const StoryMetadata &metadata,
                          const QList<StoryFileEntry> &files)
{
    const QByteArray mimeType = kStoryFileMimeType.toUtf8();
    const QByteArray json = storyMetadataJson(metadata);
    ArchiveWriter writer(shownName);
    writer.add(kMimeTypeEntry, mimeType, false);
    writer.add(kStoryMetadataFile, json, true);
    for (const StoryFileEntry &file : files) {
        if (isTreeFile(file.path))
            writer.add(file.path, file.bytes, true);
    }
    return writer.bytes();
}

void writeStoryFile(const QString &fullPath, const QString &shownName,
                    const StoryMetadata &metadata, const QList<StoryFileEntry> &files)
{
    writeFileAtomically(fullPath, shownName, storyFileBytes(shownName, metadata, files));
}

} // namespace vorta
