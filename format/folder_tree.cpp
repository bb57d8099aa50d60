// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "format/folder_tree.h"

#include "format/atomic_write.h"
#include "format/file_reader.h"
#include "format/qt_text.h"

#include <QFileInfo>

namespace vorta {

namespace {

class FolderSource : public TreeSource
{
public:
    explicit FolderSource(const QDir &folder) : m_folder(folder) {}

    std::string readBytes(const std::u16string &relativePath) const override
    {
        return toBytes(readDataFile(m_folder, toQString(relativePath)));
    }
    bool hasFolder(const std::u16string &relativePath) const override
    {
        return QFileInfo(m_folder.filePath(toQString(relativePath))).isDir();
    }
    void writeBytes(const std::u16string &relativePath, const std::string &bytes) override
    {
        const QString path = toQString(relativePath);
        writeFileAtomically(m_folder.filePath(path), path, toQByteArray(bytes));
    }

private:
    QDir m_folder;
};

} // namespace

DataTree folderTree(const QDir &folder)
{
    return DataTree(std::make_shared<FolderSource>(folder));
}

} // namespace vorta
