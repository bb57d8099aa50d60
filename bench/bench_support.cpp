// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "bench_support.h"

#include "core/fragments.h"
#include "core/moves.h"
#include "core/saved_story.h"
#include "core/tree_paths.h"
#include "format/folder_tree.h"
#include "format/qt_text.h"

#include <QDirIterator>
#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>

#include <stdexcept>

namespace vorta::bench {

namespace {

void copyTree(const QString &from, const QString &to)
{
    const QDir source(from);
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        // A story in progress kept by a run of the program there is not part of the sample.
        if (it.fileName().startsWith(toQString(kSavedStoryFile)))
            continue;
        const QString target = to + QLatin1Char('/') + source.relativeFilePath(file);
        if (!QDir().mkpath(QFileInfo(target).path()) || !QFile::copy(file, target))
            throw std::runtime_error("cannot copy the sample data into " + to.toStdString());
    }
}

QDir copyOfTheSample(const QTemporaryDir &folder)
{
    if (!folder.isValid())
        throw std::runtime_error("no temporary folder for the sample data");
    copyTree(QStringLiteral(VORTA_BENCH_SAMPLE_DATA), folder.path());
    return QDir(folder.path());
}

} // namespace

const QDir &dataDir()
{
    static QTemporaryDir folder;
    static const QDir dir = copyOfTheSample(folder);
    return dir;
}

const DataTree &dataTree()
{
    static const DataTree tree = folderTree(dataDir());
    return tree;
}

const QDir &windowDataDir()
{
    static QTemporaryDir folder;
    static const QDir dir = copyOfTheSample(folder);
    return dir;
}

quint64 fixedSeed()
{
    return 20240611;
}

StoryRun::StoryRun() : m_random(fixedSeed)
{
    firstStart(m_fresh, m_random, dataTree());
    restart();
}

void StoryRun::restart()
{
    m_state = m_fresh;
    m_random.reseed();
}

void StoryRun::move()
{
    programMove(m_state, m_random, dataTree());
}

const QStringList &storyFiles()
{
    static const QStringList files = [] {
        QStringList paths;
        StoryRun run;
        while (!run.finished()) {
            run.move();
            const StoryState &s = run.state();
            paths.append(
                dataDir().filePath(toQString(fragmentPath(s, s.currentGenre, s.stepNumber))));
        }
        return paths;
    }();
    return files;
}

qsizetype readDecodedFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray bytes = file.readAll();
    file.close();
    QStringDecoder decoder("windows-1251");
    const QString text = decoder.decode(bytes);
    return text.size();
}

std::pair<int, int> readTwoNumbers(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {-1, -1};
    const QByteArray bytes = file.readAll();
    file.close();
    QStringDecoder decoder("windows-1251");
    const QString text = decoder.decode(bytes);
    const QStringList numbers = text.simplified().split(QLatin1Char(' '));
    if (numbers.size() < 2)
        return {-1, -1};
    return {numbers.at(0).toInt(), numbers.at(1).toInt()};
}

} // namespace vorta::bench
