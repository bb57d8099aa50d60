#pragma once

#include "diagnostics.h"

#include <QDir>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

namespace vorta::author {

// The widest story line that one viewport row shows.
constexpr int kRowWidth = 46;

struct Genre
{
    QString name;
    QString dir;
    int line = 0; // the catalogue line of its pair
};

struct Variant
{
    int countLine = 0; // the line of its line count
    QStringList lines;
};

// A fragment file as far as it could be read; a file with an error keeps the variants before it.
struct FragmentFile
{
    QString path;
    qint32 variantCount = 0; // as the file states it
    QList<Variant> variants;
};

struct FinaleRecord
{
    int line = 0;      // the line of its least-used genre
    int countLine = 0; // the line of its line count
    std::optional<qint64> leastUsedGenre;
    std::optional<qint64> mostUsedGenre;
    QStringList lines;
};

struct FinaleFile
{
    QString path;
    QList<FinaleRecord> records; // the complete records
};

// Everything of the story data that could be read, each file once.
struct StoryData
{
    QList<Genre> genres; // the complete pairs of the catalogue
    QList<FragmentFile> fragments;
    QList<FinaleFile> finales;
};

struct CheckResult
{
    StoryData data;
    QList<Diagnostic> diagnostics; // sorted
};

// Reads the whole tree as the program would, but every variant and every record, and reports
// what would stop the program (errors) and what would show wrongly or never (warnings).
CheckResult checkTree(const QDir &dataDir);

// The (least used, most used) pairs that some story over this many genres ends with, in any
// genre's finale file. A story counts 63 steps, each in any genre (the reader may click any
// offered genre, and the finishing click counts none); ties go to the lower index, so least
// and most coincide only when every genre has the same count, and then both are genre 1.
QList<std::pair<int, int>> reachableFinalePairs(int genreCount);

} // namespace vorta::author
