// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "data_tree.h"

#include "format/atomic_write.h"
#include "format/file_reader.h"
#include "format/windows1251.h"

namespace vorta {

namespace {

// A folder on disk: every read through the one capped reader, every write atomic.
class FolderSource : public TreeSource
{
public:
    explicit FolderSource(const QDir &folder) : m_folder(folder) {}

    QByteArray readBytes(const QString &relativePath) const override
    {
        return readDataFile(m_folder, relativePath);
    }
    bool hasFolder(const QString &relativePath) const override
    {
        return QFileInfo(m_folder.filePath(relativePath)).isDir();
    }
    void writeBytes(const QString &relativePath, const QByteArray &bytes) override
    {
        writeFileAtomically(m_folder.filePath(relativePath), relativePath, bytes);
    }

private:
    QDir m_folder;
};

} // namespace

QString TreeSource::readText(const QString &relativePath) const
{
    return decodeWindows1251(readBytes(relativePath));
}

DataTree::DataTree(const QDir &folder) : m_source(std::make_shared<FolderSource>(folder)) {}

DataTree::DataTree(std::shared_ptr<TreeSource> source) : m_source(std::move(source)) {}

void MemoryTree::add(const QString &relativePath, const QByteArray &bytes)
{
    m_files.insert(relativePath, {bytes, decodeWindows1251(bytes), std::nullopt});
    addFolders(relativePath);
}

void MemoryTree::addFailure(const QString &relativePath, const StoryError &error)
{
    m_files.insert(relativePath, {{}, {}, error});
    addFolders(relativePath);
}

void MemoryTree::addFolders(const QString &relativePath)
{
    for (qsizetype slash = relativePath.lastIndexOf(QLatin1Char('/')); slash > 0;
         slash = relativePath.lastIndexOf(QLatin1Char('/'), slash - 1))
        m_folders.insert(relativePath.left(slash));
}

const MemoryTree::File &MemoryTree::file(const QString &relativePath) const
{
    const auto found = m_files.constFind(relativePath);
    if (found == m_files.cend())
        throw StoryError(ErrorKind::FileNotFound, relativePath);
    if (found->failure)
        throw *found->failure;
    return *found;
}

QByteArray MemoryTree::readBytes(const QString &relativePath) const
{
    return file(relativePath).bytes;
}

QString MemoryTree::readText(const QString &relativePath) const
{
    return file(relativePath).text;
}

bool MemoryTree::hasFolder(const QString &relativePath) const
{
    return m_folders.contains(relativePath);
}

void MemoryTree::writeBytes(const QString &relativePath, const QByteArray &bytes)
{
    add(relativePath, bytes);
}

} // namespace vorta
