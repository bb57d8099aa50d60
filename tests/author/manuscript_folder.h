// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "tests/support/story_tree.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

// A manuscript folder written by a test, in UTF-8 as authors write one.
class ManuscriptFolder
{
public:
    QDir dir() const { return QDir(m_dir.path()); }
    QString path(const QString &name = QString()) const
    {
        return name.isEmpty() ? m_dir.path() : m_dir.filePath(name);
    }

    void write(const QString &name, const QByteArray &bytes) const
    {
        QFile file(path(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path(name)));
    }
    void writeText(const QString &name, const QString &text) const { write(name, text.toUtf8()); }

    // A whole genre: step N's heading on line 2N - 1 and its one line "<dir> N" on line 2N (step
    // 37's "<dir> ум:(IQ)."), then a one-line record for every pair of different genres (for one
    // genre, the pair 1, 1).
    static QString genreText(const QString &dir, int genreCount)
    {
        QString text;
        for (int step = 1; step <= 64; ++step)
            text += QStringLiteral("## %1\n%2\n")
                        .arg(step)
                        .arg(step == 37 ? dir + QStringLiteral(" ум:(IQ).")
                                        : QStringLiteral("%1 %2").arg(dir).arg(step));
        for (int least = 1; least <= genreCount; ++least) {
            for (int most = 1; most <= genreCount; ++most) {
                if (least != most || genreCount == 1)
                    text += QStringLiteral("## 65: %1, %2\n%3 финал %1-%2\n")
                                .arg(least)
                                .arg(most)
                                .arg(dir);
            }
        }
        return text;
    }

    void writeStory(const QList<StoryTree::Genre> &genres) const
    {
        QString catalogue;
        for (const StoryTree::Genre &genre : genres) {
            catalogue += genre.name + QLatin1Char(',') + genre.dir + QLatin1Char('\n');
            writeText(genre.dir + QStringLiteral(".txt"), genreText(genre.dir, int(genres.size())));
        }
        writeText(QStringLiteral("genres.txt"), catalogue);
    }

private:
    QTemporaryDir m_dir;
};

// A story of two genres and its story.json, as the publishing tests write it.
inline const QList<StoryTree::Genre> kTwoGenres{
    {QStringLiteral("Детектив"), QStringLiteral("detective")},
    {QStringLiteral("Ужасы"), QStringLiteral("horror")}};

inline const QByteArray kMetadataJson =
    R"({"identifier": "two", "version": "2.1", "title": "Два жанра", "author": "Автор",
"about": "О рассказе."})";
