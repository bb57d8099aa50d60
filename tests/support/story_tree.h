// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/story_tree.h"

#include <QByteArray>
#include <QDir>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <initializer_list>

// A story data folder written by a test into a temporary folder, as authors write one:
// Windows-1251 text, every line ended by CR LF. A file that cannot be written ends the test
// program, since no case can run on a tree that is not there.
class StoryTree
{
public:
    struct Genre
    {
        QString name;
        QString dir;
    };

    // A variant of a fragment: its lines.
    using Variant = QStringList;

    // A finale record: the least and the most used genre, and the lines told for that pair.
    struct Record
    {
        int least;
        int most;
        QStringList lines;
    };

    // How writeStory words a whole story. In the lines, {name} and {dir} stand for the genre,
    // {step} for the step, {least} and {most} for the pair of a finale record.
    struct Plan
    {
        int waitingPeriod = 1;
        int switchProbability = 5;
        // With more than one, every line of variant v ends in " в<v>".
        int variantsPerStep = 1;
        QString stepLine = QStringLiteral("{dir} {step}");
        QString iqLine = QStringLiteral("{dir} ум:(IQ)."); // step 37's, with the IQ marker
        QString finaleLine = QStringLiteral("{dir} финал {least}-{most}");
        // Records for a genre paired with itself also when there are other genres.
        bool selfPairedEndings = false;
    };

    StoryTree();
    // In a folder made from the template, for a tree that must lie somewhere in particular.
    explicit StoryTree(const QString &templatePath);

    QDir dir() const { return QDir(m_dir.path()); }
    // The tree as the story's rules read it, from its folder.
    vorta::DataTree data() const;
    // The full path of a file of the tree; the tree's own folder for none.
    QString path(const QString &relative = QString()) const;

    // "Genres/<dir>/<step>.vtq"; step 65 is the finale.
    static QString fragmentFile(const QString &dir, int step);
    // Each line in Windows-1251, ended by CR LF.
    static QByteArray lineBytes(const QStringList &lines);

    void writeBytes(const QString &relative, const QByteArray &bytes) const;
    // The text as it stands, line ends included.
    void writeText(const QString &relative, const QString &text) const;
    void writeLines(const QString &relative, const QStringList &lines) const;
    // The settings file in its written form: " P \r\n S \r\n".
    void writeSettings(int waitingPeriod, int switchProbability) const;
    void writeCatalogue(const QList<Genre> &genres) const;
    void writeFragment(const QString &dir, int step, const QList<Variant> &variants) const;
    void writeFinale(const QString &dir, const QList<Record> &records) const;

    // Settings, catalogue and, for every genre, steps 1 .. 64 and a finale with a one-line
    // record for every pair of genres (a genre paired with itself as the plan says).
    void writeStory(const QList<Genre> &genres) const;
    void writeStory(const QList<Genre> &genres, const Plan &plan) const;

    // Every file of another folder, at the same place in this tree.
    void copyFrom(const QDir &source) const;
    bool remove(const QString &relative) const;
    // The file's bytes; empty when it cannot be read.
    QByteArray readBytes(const QString &relative) const;

private:
    QTemporaryDir m_dir;
};

// Test texts written as UTF-8 literals.
QStringList strings(std::initializer_list<const char *> texts);
