// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "story_tree.h"

#include "format/folder_tree.h"

#include <QDirIterator>
#include <QFile>
#include <QStringEncoder>

namespace {

void makeSure(bool done, const char *what, const QString &path)
{
    if (!done)
        qFatal("cannot %s %s", what, qPrintable(path));
}

QByteArray windows1251(const QString &text)
{
    QStringEncoder encoder("windows-1251");
    return encoder.encode(text);
}

// A line of a plan with the genre and the numbers put in.
QString wordLine(QString line, const StoryTree::Genre &genre,
                 std::initializer_list<std::pair<const char *, int>> numbers)
{
    line.replace(QLatin1String("{name}"), genre.name).replace(QLatin1String("{dir}"), genre.dir);
    for (const auto &[placeholder, number] : numbers)
        line.replace(QLatin1String(placeholder), QString::number(number));
    return line;
}

} // namespace

StoryTree::StoryTree()
{
    makeSure(m_dir.isValid(), "create", m_dir.path());
}

StoryTree::StoryTree(const QString &templatePath) : m_dir(templatePath)
{
    makeSure(m_dir.isValid(), "create", templatePath);
}

vorta::DataTree StoryTree::data() const
{
    return vorta::folderTree(dir());
}

QString StoryTree::path(const QString &relative) const
{
    return relative.isEmpty() ? m_dir.path() : m_dir.filePath(relative);
}

QString StoryTree::fragmentFile(const QString &dir, int step)
{
    return QStringLiteral("Genres/%1/%2.vtq").arg(dir).arg(step);
}

QByteArray StoryTree::lineBytes(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += windows1251(line) + "\r\n";
    return bytes;
}

void StoryTree::writeBytes(const QString &relative, const QByteArray &bytes) const
{
    const QString full = path(relative);
    QDir().mkpath(QFileInfo(full).absolutePath());
    QFile file(full);
    makeSure(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size(), "write", full);
}

void StoryTree::writeText(const QString &relative, const QString &text) const
{
    writeBytes(relative, windows1251(text));
}

void StoryTree::writeLines(const QString &relative, const QStringList &lines) const
{
    writeBytes(relative, lineBytes(lines));
}

void StoryTree::writeSettings(int waitingPeriod, int switchProbability) const
{
    writeText(QStringLiteral("vorta.cfg"),
              QStringLiteral(" %1 \r\n %2 \r\n").arg(waitingPeriod).arg(switchProbability));
}

void StoryTree::writeCatalogue(const QList<Genre> &genres) const
{
    QStringList lines;
    for (const Genre &genre : genres)
        lines << genre.name + QLatin1Char(',') + genre.dir;
    writeLines(QStringLiteral("Genres/genres.vtq"), lines);
}

void StoryTree::writeFragment(const QString &dir, int step, const QList<Variant> &variants) const
{
    QStringList lines{QString::number(variants.size())};
    for (const Variant &variant : variants)
        lines << QString::number(variant.size()) << variant;
    writeLines(fragmentFile(dir, step), lines);
}

void StoryTree::writeFinale(const QString &dir, const QList<Record> &records) const
{
    QStringList lines;
    for (const Record &record : records)
        lines << QString::number(record.least) << QString::number(record.most)
              << QString::number(record.lines.size()) << record.lines;
    writeLines(fragmentFile(dir, 65), lines);
}

void StoryTree::writeStory(const QList<Genre> &genres) const
{
    writeStory(genres, Plan());
}

void StoryTree::writeStory(const QList<Genre> &genres, const Plan &plan) const
{
    writeSettings(plan.waitingPeriod, plan.switchProbability);
    writeCatalogue(genres);
    const int count = int(genres.size());
    for (const Genre &genre : genres) {
        for (int step = 1; step <= 64; ++step) {
            const QString line =
                wordLine(step == 37 ? plan.iqLine : plan.stepLine, genre, {{"{step}", step}});
            QList<Variant> variants;
            for (int v = 1; v <= plan.variantsPerStep; ++v)
                variants.append(
                    {plan.variantsPerStep == 1 ? line : line + QStringLiteral(" в%1").arg(v)});
            writeFragment(genre.dir, step, variants);
        }
        QList<Record> records;
        for (int least = 1; least <= count; ++least) {
            for (int most = 1; most <= count; ++most) {
                if (least != most || count == 1 || plan.selfPairedEndings)
                    records.append({least,
                                    most,
                                    {wordLine(plan.finaleLine, genre,
                                              {{"{least}", least}, {"{most}", most}})}});
            }
        }
        writeFinale(genre.dir, records);
    }
}

void StoryTree::copyFrom(const QDir &source) const
{
    QDirIterator it(source.path(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString target = path(source.relativeFilePath(file));
        QDir().mkpath(QFileInfo(target).absolutePath());
        makeSure(QFile::copy(file, target), "copy", file);
    }
}

bool StoryTree::remove(const QString &relative) const
{
    return QFile::remove(path(relative));
}

QByteArray StoryTree::readBytes(const QString &relative) const
{
    QFile file(path(relative));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QStringList strings(std::initializer_list<const char *> texts)
{
    QStringList list;
    for (const char *text : texts)
        list.append(QString::fromUtf8(text));
    return list;
}
