// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "format/story_file_writer.h"

#include "format/atomic_write.h"
#include "format/qt_text.h"

#include "core/text.h"

#include <sys/stat.h>
#include <zip.h>

namespace vorta {

namespace {

// The time every entry carries, so that the same story packs to the same bytes.
constexpr time_t kEntryTime = 1767225600; // 2026-01-01

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
            m_archive = zip_open_from_source(m_source, ZIP_TRUNCATE, &error);
        }
        const QString why = QString::fromUtf8(zip_error_strerror(&error));
        zip_error_fini(&error);
        if (!m_archive) {
            if (m_source)
                zip_source_free(m_source);
            fail(why);
        }
    }
    ~ArchiveWriter()
    {
        // An archive left open by a failure goes before the buffer it writes into.
        if (m_archive)
            zip_discard(m_archive);
        zip_source_free(m_source);
    }
    ArchiveWriter(const ArchiveWriter &) = delete;
    ArchiveWriter &operator=(const ArchiveWriter &) = delete;

    // The data must live until bytes() is called; the name is copied.
    void add(const std::string &name, const std::string &data, bool compressed)
    {
        zip_source_t *source = zip_source_buffer(m_archive, data.data(), data.size(), 0);
        const zip_int64_t index =
            source ? zip_file_add(m_archive, name.c_str(), source, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0) {
            if (source)
                zip_source_free(source);
            failArchive();
        }
        const auto at = zip_uint64_t(index);
        if (zip_set_file_compression(m_archive, at, compressed ? ZIP_CM_DEFLATE : ZIP_CM_STORE,
                                     compressed ? 9 : 0) != 0 ||
            zip_file_set_mtime(m_archive, at, kEntryTime, 0) != 0 ||
            zip_file_set_external_attributes(m_archive, at, 0, ZIP_OPSYS_UNIX,
                                             zip_uint32_t(S_IFREG | 0644) << 16) != 0)
            failArchive();
    }

    QByteArray bytes()
    {
        if (zip_close(m_archive) != 0)
            failArchive();
        m_archive = nullptr;
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
    [[noreturn]] void failArchive() const { fail(QString::fromUtf8(zip_strerror(m_archive))); }
    [[noreturn]] void fail(const QString &why) const
    {
        throw storyError(ErrorKind::FileNotWritten, m_shownName, 0, why);
    }

    const QString &m_shownName;
    zip_source_t *m_source = nullptr;
    zip_t *m_archive = nullptr;
};

} // namespace

QByteArray storyFileBytes(const QString &shownName, const StoryMetadata &metadata,
                          const std::vector<StoryFileEntry> &files)
{
    const std::string mimeType = toUtf8(kStoryFileMimeType);
    const std::string json = toBytes(storyMetadataJson(metadata));
    ArchiveWriter writer(shownName);
    writer.add(toUtf8(kMimeTypeEntry), mimeType, false);
    writer.add(toUtf8(kStoryMetadataFile), json, true);
    for (const StoryFileEntry &file : files) {
        if (isTreeFile(file.path))
            writer.add(toUtf8(file.path), file.bytes, true);
    }
    return writer.bytes();
}

void writeStoryFile(const QString &fullPath, const QString &shownName,
                    const StoryMetadata &metadata, const std::vector<StoryFileEntry> &files)
{
    writeFileAtomically(fullPath, shownName, storyFileBytes(shownName, metadata, files));
}

} // namespace vorta
