// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/zip_archive.h"

#include "core/story_error.h"
#include "core/text.h"
#include "core/tree_paths.h"
#include "core/unicode.h"

#include <zlib.h>

#include <algorithm>
#include <limits>
#include <map>
#include <set>

namespace vorta {

namespace {

constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kCentralSignature = 0x02014b50;
constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::size_t kEndSize = 22;
constexpr std::size_t kCentralSize = 46;
constexpr std::size_t kLocalSize = 30;
constexpr std::size_t kLongestComment = 0xFFFF;

constexpr std::uint16_t kStored = 0;
constexpr std::uint16_t kDeflated = 8;
constexpr std::uint16_t kEncrypted = 0x0001;
constexpr std::uint16_t kStrongEncryption = 0x0040;

constexpr std::uint8_t kUnixSystem = 3;
constexpr std::uint32_t kDosFolder = 0x10;
constexpr std::uint32_t kUnixKind = 0170000;
constexpr std::uint32_t kUnixFile = 0100000;
constexpr std::uint32_t kUnixFolder = 0040000;
constexpr std::uint32_t kUnixLink = 0120000;

std::uint32_t le16(std::string_view bytes, std::size_t at)
{
    return std::uint32_t(static_cast<unsigned char>(bytes[at])) |
           std::uint32_t(static_cast<unsigned char>(bytes[at + 1])) << 8;
}

std::uint32_t le32(std::string_view bytes, std::size_t at)
{
    return le16(bytes, at) | le16(bytes, at + 2) << 16;
}

std::u16string entryName(std::u16string_view name)
{
    return u"запись " + quoted(name);
}

} // namespace

ZipArchive::ZipArchive(const ByteSource &source, std::u16string shownName, Caps caps)
    : m_source(source), m_shownName(std::move(shownName)), m_caps(caps)
{
    readDirectory();
    checkNames();
}

void ZipArchive::fail(const std::u16string &why) const
{
    throw StoryError(ErrorKind::BadStoryFile, m_shownName, 0, why);
}

void ZipArchive::readDirectory()
{
    const std::uint64_t size = m_source.size();
    // The end record stands last unless the archive has a comment: only then is more read.
    std::uint64_t tailSize = std::min<std::uint64_t>(size, kEndSize);
    std::string tail = m_source.read(size - tailSize, std::size_t(tailSize));
    std::size_t end = std::string::npos;
    for (int attempt = 0; attempt < 2 && end == std::string::npos; ++attempt) {
        if (attempt == 1) {
            tailSize = std::min<std::uint64_t>(size, kEndSize + kLongestComment);
            tail = m_source.read(size - tailSize, std::size_t(tailSize));
        }
        // The end record is the last one whose comment runs exactly to the end of the file.
        for (std::size_t at = tail.size() >= kEndSize ? tail.size() - kEndSize + 1 : 0; at-- > 0;) {
            if (le32(tail, at) == kEndSignature &&
                at + kEndSize + le16(tail, at + 20) == tail.size()) {
                end = at;
                break;
            }
        }
    }
    if (end == std::string::npos)
        fail(u"это не ZIP-архив, или он обрезан");
    const std::uint32_t disk = le16(tail, end + 4);
    const std::uint32_t directoryDisk = le16(tail, end + 6);
    const std::uint32_t onDisk = le16(tail, end + 8);
    const std::uint32_t count = le16(tail, end + 10);
    const std::uint64_t directorySize = le32(tail, end + 12);
    m_directoryOffset = le32(tail, end + 16);
    if (count == 0xFFFF || directorySize == 0xFFFFFFFF || m_directoryOffset == 0xFFFFFFFF)
        fail(u"архив в формате ZIP64, а рассказу он не нужен");
    if (disk != 0 || directoryDisk != 0 || onDisk != count)
        fail(u"архив из нескольких частей");
    if (count > m_caps.entries)
        fail(format(u"в архиве %1 записей, предел %2",
                    {decimal(count), decimal(std::int64_t(m_caps.entries))}));
    const std::uint64_t endOffset = size - tailSize + end;
    if (m_directoryOffset + directorySize != endOffset)
        fail(u"это не ZIP-архив, или он обрезан");

    const std::string directory = m_source.read(m_directoryOffset, std::size_t(directorySize));
    std::size_t at = 0;
    std::uint64_t declared = 0;
    for (std::uint32_t index = 0; index < count; ++index) {
        if (at + kCentralSize > directory.size() || le32(directory, at) != kCentralSignature)
            fail(u"архив повреждён: его оглавление обрывается");
        const std::size_t nameLength = le16(directory, at + 28);
        const std::size_t extraLength = le16(directory, at + 30);
        const std::size_t commentLength = le16(directory, at + 32);
        const std::size_t next = at + kCentralSize + nameLength + extraLength + commentLength;
        if (next > directory.size())
            fail(u"архив повреждён: его оглавление обрывается");
        const std::string_view rawName(directory.data() + at + kCentralSize, nameLength);
        if (!isUtf8(rawName))
            fail(format(u"имя записи %1 не в UTF-8", {decimal(index + 1)}));
        ZipEntry entry;
        entry.name = fromUtf8(rawName);
        entry.folder = !entry.name.empty() && entry.name.back() == u'/';
        const std::uint8_t system = std::uint8_t(le16(directory, at + 4) >> 8);
        const std::uint32_t flags = le16(directory, at + 8);
        entry.method = std::uint16_t(le16(directory, at + 10));
        entry.crc32 = le32(directory, at + 16);
        entry.compressedSize = le32(directory, at + 20);
        entry.size = le32(directory, at + 24);
        const std::uint32_t attributes = le32(directory, at + 38);
        entry.localHeaderOffset = le32(directory, at + 42);
        const std::u16string what = entryName(entry.name);
        if (flags & (kEncrypted | kStrongEncryption))
            fail(what + u" зашифрована");
        if (entry.method != kStored && entry.method != kDeflated)
            fail(what + u" сжата неизвестным способом");
        if (system == kUnixSystem) {
            const std::uint32_t kind = (attributes >> 16) & kUnixKind;
            if (kind == kUnixLink)
                fail(what + u" — символическая ссылка");
            if (kind != 0 && kind != kUnixFile && kind != kUnixFolder)
                fail(what + u" — не обычный файл");
            if (kind == kUnixFolder && !entry.folder)
                fail(what + u" — папка без «/» в конце имени");
            if (kind == kUnixFile && entry.folder)
                fail(what + u" — файл с «/» в конце имени");
        } else if ((attributes & kDosFolder) && !entry.folder) {
            fail(what + u" — папка без «/» в конце имени");
        }
        if (entry.localHeaderOffset >= m_directoryOffset)
            fail(what + u" лежит за оглавлением архива");
        declared += std::min<std::uint64_t>(entry.size, m_caps.unpacked + 1);
        if (declared > m_caps.unpacked)
            fail(format(u"архив распаковывается больше чем в %1 байт",
                        {decimal(std::int64_t(m_caps.unpacked))}));
        m_entries.push_back(std::move(entry));
        at = next;
    }
}

void ZipArchive::checkNames()
{
    // Each name case-folded, as a file system that ignores case sees it.
    std::map<std::u16string, const ZipEntry *> names;
    std::set<std::u16string> folders;
    for (const ZipEntry &entry : m_entries) {
        const std::u16string path = entry.path();
        if (const std::u16string fault = pathFault(path); !fault.empty())
            fail(entryName(entry.name) + u": " + fault);
        const std::u16string folded = caseFolded(path);
        const auto [same, added] = names.emplace(folded, &entry);
        if (!added)
            fail(entryName(entry.name) + u" повторяет запись " + quoted(same->second->name));
        for (std::size_t slash = folded.find(u'/'); slash != std::u16string::npos;
             slash = folded.find(u'/', slash + 1))
            folders.insert(folded.substr(0, slash));
        if (entry.folder)
            folders.insert(folded);
    }
    for (const auto &[folded, entry] : names) {
        if (!entry->folder && folders.count(folded) > 0)
            fail(entryName(entry->name) + u" — файл, а в архиве есть папка с тем же именем");
    }
}

const ZipEntry *ZipArchive::find(std::u16string_view name) const
{
    const auto found = std::find_if(m_entries.begin(), m_entries.end(),
                                    [name](const ZipEntry &entry) { return entry.name == name; });
    return found == m_entries.end() ? nullptr : &*found;
}

std::uint64_t ZipArchive::dataOffset(const ZipEntry &entry)
{
    const std::u16string what = entryName(entry.name);
    const std::string header = m_source.read(entry.localHeaderOffset, kLocalSize);
    if (header.size() < kLocalSize || le32(header, 0) != kLocalSignature)
        fail(what + u": её заголовок не на месте");
    const std::size_t nameLength = le16(header, 26);
    const std::size_t extraLength = le16(header, 28);
    const std::string name = m_source.read(entry.localHeaderOffset + kLocalSize, nameLength);
    if (fromUtf8(name) != entry.name || le16(header, 8) != entry.method ||
        (le16(header, 6) & (kEncrypted | kStrongEncryption)))
        fail(what + u": её заголовок расходится с оглавлением");
    const std::uint64_t start = entry.localHeaderOffset + kLocalSize + nameLength + extraLength;
    const std::uint64_t end = start + entry.compressedSize;
    if (end > m_directoryOffset)
        fail(what + u" заходит за оглавление архива");
    for (const auto &[from, to] : m_spans) {
        if (entry.localHeaderOffset < to && from < end)
            fail(what + u" делит свои байты с другой записью");
    }
    m_spans.emplace_back(entry.localHeaderOffset, end);
    return start;
}

std::string ZipArchive::read(const ZipEntry &entry, std::uint64_t cap)
{
    const std::u16string what = entryName(entry.name);
    if (entry.size > cap)
        fail(
            format(u"%1 распаковывается больше чем в %2 байт", {what, decimal(std::int64_t(cap))}));
    const std::uint64_t start = dataOffset(entry);
    std::string packed = m_source.read(start, std::size_t(entry.compressedSize));
    if (packed.size() != entry.compressedSize)
        fail(what + u" обрывается");
    std::string bytes;
    if (entry.method == kStored) {
        bytes = std::move(packed);
    } else {
        // One byte past the size the directory gives is room enough to catch a lie about it.
        bytes.resize(std::size_t(entry.size) + 1);
        z_stream stream{};
        if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
            throw std::bad_alloc();
        stream.next_in = reinterpret_cast<Bytef *>(packed.data());
        stream.avail_in = uInt(packed.size());
        stream.next_out = reinterpret_cast<Bytef *>(bytes.data());
        stream.avail_out = uInt(bytes.size());
        int status = Z_OK;
        while (status == Z_OK)
            status = inflate(&stream, Z_FINISH);
        const bool full = stream.avail_out == 0;
        bytes.resize(bytes.size() - stream.avail_out);
        inflateEnd(&stream);
        if (status != Z_STREAM_END && full)
            fail(format(u"%1 распаковывается больше чем в %2 байт, сказанных в оглавлении",
                        {what, decimal(std::int64_t(entry.size))}));
        if (status != Z_STREAM_END)
            fail(what + u" повреждена");
    }
    if (bytes.size() != entry.size)
        fail(
            format(u"%1 распаковывается в %2 байт, а не в %3, как сказано в оглавлении",
                   {what, decimal(std::int64_t(bytes.size())), decimal(std::int64_t(entry.size))}));
    if (crc32(0, reinterpret_cast<const Bytef *>(bytes.data()), uInt(bytes.size())) != entry.crc32)
        fail(what + u" повреждена: контрольная сумма не сходится");
    return bytes;
}

} // namespace vorta
