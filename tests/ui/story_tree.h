#pragma once

#include <QDir>
#include <QList>
#include <QString>
#include <QStringList>

// Small story trees for the window tests, written as the program's data files are: Windows-1251
// text with CR LF line ends.
namespace storytree {

struct Genre
{
    QString name;
    QString dir;
};

struct FinaleRecord
{
    int least;
    int most;
    QStringList lines;
};

// One text file of the data folder, each line ended by CR LF.
void writeLines(const QDir &root, const QString &path, const QStringList &lines);
// The settings file in its written form.
void writeSettings(const QDir &root, int waitingPeriod, int switchProbability);
void writeCatalogue(const QDir &root, const QList<Genre> &genres);
// A fragment file: each variant is its list of lines.
void writeFragment(const QDir &root, const QString &dir, int step,
                   const QList<QStringList> &variants);
void writeFinale(const QDir &root, const QString &dir, const QList<FinaleRecord> &records);

// The line that writeStory tells at a step of a genre.
QString storyLine(const Genre &genre, int step);
// Settings, catalogue and, for every genre, steps 1 .. 64 of one line each (step 37 with the
// IQ marker) and a finale that tells "Конец <name> L M" for every pair of genres.
void writeStory(const QDir &root, const QList<Genre> &genres, int waitingPeriod = 1,
                int switchProbability = 0);

QByteArray fileBytes(const QDir &root, const QString &path);

} // namespace storytree
