// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "format/folder_tree.h"
#include "format/qt_text.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Helpers shared by the fuzz targets. A data folder is made once per run and the file under
// test is overwritten for every input, so an input costs one small write and no directory work.
namespace fuzz {

// A broken property is a fault like a crash: say which and stop so the input is kept.
inline void require(bool holds, const char *property)
{
    if (!holds) {
        std::fprintf(stderr, "fuzz property broken: %s\n", property);
        std::abort();
    }
}

inline const QDir &dataDir()
{
    static const QTemporaryDir folder;
    static const QDir dir = [] {
        require(folder.isValid(), "temporary data folder");
        return QDir(folder.path());
    }();
    return dir;
}

// The data folder as the story's rules read it.
inline vorta::DataTree dataTree()
{
    return vorta::folderTree(dataDir());
}

inline void writeDataFile(const QString &relativePath, const QByteArray &bytes)
{
    const QString full = dataDir().filePath(relativePath);
    QDir().mkpath(QFileInfo(full).absolutePath());
    QFile file(full);
    require(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "data file opens");
    require(file.write(bytes) == bytes.size(), "data file written");
}

inline QByteArray bytesOf(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

// The data files are single-byte Cyrillic text; decode an input the way the readers do.
inline QString decode1251(const QByteArray &bytes)
{
    QStringDecoder decoder("windows-1251");
    return decoder.decode(bytes);
}

enum class Where
{
    File,
    FileAndLine
};

// A reader's failure must be a StoryError that names the file it was reading and, for a fault
// in the text (not a missing file or a product out of range), the line.
template <typename Read>
bool readsOrNamesTheFile(const std::u16string &relativePath, Read &&read, Where where = Where::File)
{
    try {
        read();
        return true;
    } catch (const vorta::StoryError &error) {
        require(error.file() == relativePath, "the error names the file read");
        require(where == Where::File || error.line() >= 1, "the error names the line");
        require(!error.message().empty(), "the error has a message");
        // A value quoted from the file is cut and escaped: no file can flood a message or cut
        // it short. Quoted, 40 characters take at most 163, each escaped as "\xNN"; the words
        // around them, a few dozen.
        require(error.message().find(u'\0') == std::u16string::npos, "the message holds no NUL");
        require(error.detail().size() <= 256, "the message's detail is short");
        return false;
    }
}

// Takes bytes off the front of an input for the parameters of a case; zero once it runs dry.
class Cursor
{
public:
    Cursor(const uint8_t *data, size_t size) : m_data(data), m_size(size) {}

    uint8_t byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    QByteArray rest() const
    {
        return m_pos < m_size ? bytesOf(m_data + m_pos, m_size - m_pos) : QByteArray();
    }

private:
    const uint8_t *m_data;
    size_t m_size;
    size_t m_pos = 0;
};

} // namespace fuzz
