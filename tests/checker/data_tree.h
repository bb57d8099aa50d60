#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringEncoder>
#include <QStringList>
#include <QTemporaryDir>

#include <initializer_list>

#include <utility>

// Story data as authors write it: Windows-1251 text, every line ended by CR LF.
inline QByteArray windows1251(const QString &text)
{
    QStringEncoder encoder("windows-1251");
    return encoder.encode(text);
}

inline QByteArray crlfLines(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += windows1251(line) + "\r\n";
    return bytes;
}

// Test texts are written as UTF-8 literals.
inline QStringList strings(std::initializer_list<const char *> texts)
{
    QStringList list;
    for (const char *text : texts)
        list.append(QString::fromUtf8(text));
    return list;
}

inline QByteArray crlfLines(std::initializer_list<const char *> lines)
{
    return crlfLines(strings(lines));
}

struct CatalogueEntry
{
    QString name;
    QString dir;
};

struct Record
{
    int least;
    int most;
    QStringList lines;
};

// A data folder in a temporary directory, written file by file.
class DataTree
{
public:
    QDir dir() const { return QDir(m_dir.path()); }
    QString path() const { return m_dir.path(); }

    void write(const QString &relativePath, const QByteArray &bytes) const
    {
        const QString full = dir().filePath(relativePath);
        QDir().mkpath(QFileInfo(full).absolutePath());
        QFile file(full);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(full));
    }

    void remove(const QString &relativePath) const { QFile::remove(dir().filePath(relativePath)); }

    void writeSettings(int waitingPeriod, int switchProbability) const
    {
        write(QStringLiteral("vorta.cfg"), QStringLiteral(" %1 \r\n %2 \r\n")
                                               .arg(waitingPeriod)
                                               .arg(switchProbability)
                                               .toLatin1());
    }

    void writeCatalogue(const QList<CatalogueEntry> &genres) const
    {
        QStringList lines;
        for (const CatalogueEntry &genre : genres)
            lines.append(genre.name + QLatin1Char(',') + genre.dir);
        write(QStringLiteral("Genres/genres.vtq"), crlfLines(lines));
    }

    // A fragment file from its variants, each a list of lines.
    void writeFragment(const QString &genreDir, int step, const QList<QStringList> &variants) const
    {
        QStringList lines{QString::number(variants.size())};
        for (const QStringList &variant : variants)
            lines << QString::number(variant.size()) << variant;
        write(fragmentFile(genreDir, step), crlfLines(lines));
    }

    void writeFinale(const QString &genreDir, const QList<Record> &records) const
    {
        QStringList lines;
        for (const Record &record : records)
            lines << QString::number(record.least) << QString::number(record.most)
                  << QString::number(record.lines.size()) << record.lines;
        write(fragmentFile(genreDir, 65), crlfLines(lines));
    }

    static QString fragmentFile(const QString &genreDir, int step)
    {
        return QStringLiteral("Genres/%1/%2.vtq").arg(genreDir).arg(step);
    }

    // A story without faults: one variant of one line per step ("<dir> N"; step 37's line
    // carries the IQ marker) and a finale record for every pair of two different genres.
    void writeCompleteStory(const QList<CatalogueEntry> &genres, int variantsPerStep = 1) const
    {
        writeSettings(1, 5);
        writeCatalogue(genres);
        for (const CatalogueEntry &genre : genres) {
            for (int step = 1; step <= 64; ++step) {
                QList<QStringList> variants;
                for (int v = 1; v <= variantsPerStep; ++v) {
                    const QString line = step == 37
                                             ? QStringLiteral("%1 ум:(IQ).").arg(genre.dir)
                                             : QStringLiteral("%1 %2").arg(genre.dir).arg(step);
                    variants.append(
                        {variantsPerStep == 1 ? line : line + QStringLiteral(" в%1").arg(v)});
                }
                writeFragment(genre.dir, step, variants);
            }
            QList<Record> records;
            for (int least = 1; least <= genres.size(); ++least) {
                for (int most = 1; most <= genres.size(); ++most) {
                    if (least != most || genres.size() == 1)
                        records.append({least,
                                        most,
                                        {QStringLiteral("%1 финал %2-%3")
                                             .arg(genre.dir)
                                             .arg(least)
                                             .arg(most)}});
                }
            }
            writeFinale(genre.dir, records);
        }
    }

private:
    QTemporaryDir m_dir;
};

// The two genres of most tests.
inline const QList<CatalogueEntry> kTwoGenres{
    {QStringLiteral("Детектив"), QStringLiteral("detective")},
    {QStringLiteral("Ужасы"), QStringLiteral("horror")}};
