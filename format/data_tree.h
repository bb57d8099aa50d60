// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "format/story_error.h"

#include <QByteArray>
#include <QDir>
#include <QHash>
#include <QSet>
#include <QString>

#include <memory>
#include <optional>

namespace vorta {

// Where the files of a story tree come from: a folder on disk, or files held in memory (a tree
// read once for a simulation, a manuscript built without writing it).
class TreeSource
{
public:
    virtual ~TreeSource() = default;

    // The file's bytes, whole and within its cap; a StoryError naming the file otherwise.
    virtual QByteArray readBytes(const QString &relativePath) const = 0;
    // The file decoded from Windows-1251.
    virtual QString readText(const QString &relativePath) const;
    virtual bool hasFolder(const QString &relativePath) const = 0;
    // Replaces the file with the bytes, atomically; a StoryError naming it when it cannot.
    virtual void writeBytes(const QString &relativePath, const QByteArray &bytes) = 0;
};

// The story tree that the engine reads, by paths relative to it. A folder converts to it, so a
// window keeps its QDir.
class DataTree
{
public:
    DataTree(const QDir &folder);
    explicit DataTree(std::shared_ptr<TreeSource> source);

    QByteArray readBytes(const QString &relativePath) const
    {
        return m_source->readBytes(relativePath);
    }
    QString readText(const QString &relativePath) const { return m_source->readText(relativePath); }
    bool hasFolder(const QString &relativePath) const { return m_source->hasFolder(relativePath); }
    void writeBytes(const QString &relativePath, const QByteArray &bytes) const
    {
        m_source->writeBytes(relativePath, bytes);
    }

private:
    std::shared_ptr<TreeSource> m_source;
};

// Files held in memory, each decoded once. A file that could not be read is held as its error,
// which every later read raises again, as the folder it came from would.
class MemoryTree : public TreeSource
{
public:
    void add(const QString &relativePath, const QByteArray &bytes);
    void addFailure(const QString &relativePath, const StoryError &error);

    QByteArray readBytes(const QString &relativePath) const override;
    QString readText(const QString &relativePath) const override;
    bool hasFolder(const QString &relativePath) const override;
    void writeBytes(const QString &relativePath, const QByteArray &bytes) override;

private:
    struct File
    {
        QByteArray bytes;
        QString text;
        std::optional<StoryError> failure;
    };

    const File &file(const QString &relativePath) const;
    void addFolders(const QString &relativePath);

    QHash<QString, File> m_files;
    QSet<QString> m_folders;
};

} // namespace vorta
