#pragma once

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

// A story data folder written by a test: files in Windows-1251 with CR LF line ends.
class StoryTree
{
public:
    using Variant = QStringList;

    StoryTree() { QVERIFY(m_dir.isValid()); }

    QDir dir() const { return QDir(m_dir.path()); }
    QString path(const QString &relative) const { return m_dir.filePath(relative); }

    // Writes the text as it stands (line ends included), encoded in Windows-1251.
    void writeRaw(const QString &relative, const QString &text) const
    {
        writeBytes(relative, QStringEncoder("windows-1251").encode(text));
    }

    void writeBytes(const QString &relative, const QByteArray &bytes) const
    {
        const QString full = path(relative);
        QDir().mkpath(QFileInfo(full).absolutePath());
        QFile file(full);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    // Each line gets CR LF.
    void writeLines(const QString &relative, const QStringList &lines) const
    {
        QString text;
        for (const QString &line : lines)
            text += line + QStringLiteral("\r\n");
        writeRaw(relative, text);
    }

    void writeSettings(int waitingPeriod, int switchProbability) const
    {
        writeRaw(QStringLiteral("vorta.cfg"),
                 QStringLiteral(" %1 \r\n %2 \r\n").arg(waitingPeriod).arg(switchProbability));
    }

    // Pairs of display name and directory name.
    void writeCatalogue(const QList<std::pair<QString, QString>> &genres) const
    {
        QStringList lines;
        for (const auto &[name, directory] : genres)
            lines << name + QLatin1Char(',') + directory;
        writeLines(QStringLiteral("Genres/genres.vtq"), lines);
    }

    void writeFragment(const QString &directory, int step, const QList<Variant> &variants) const
    {
        QStringList lines{QString::number(variants.size())};
        for (const Variant &variant : variants)
            lines << QString::number(variant.size()) << variant;
        writeLines(fragmentFile(directory, step), lines);
    }

    struct Record
    {
        int least;
        int most;
        QStringList lines;
    };

    void writeFinale(const QString &directory, const QList<Record> &records) const
    {
        QStringList lines;
        for (const Record &record : records)
            lines << QString::number(record.least) << QString::number(record.most)
                  << QString::number(record.lines.size()) << record.lines;
        writeLines(fragmentFile(directory, 65), lines);
    }

    // A whole genre: steps 1..64 of one variant with one line "<dir> <step>", and a finale
    // with one record for every pair of `genres` genres, each line "<dir> end L M".
    void writeGenre(const QString &directory, int genres) const
    {
        for (int step = 1; step <= 64; ++step) {
            const QString line = step == 37 ? directory + QStringLiteral(" iq(IQ)!")
                                            : QStringLiteral("%1 %2").arg(directory).arg(step);
            writeFragment(directory, step, {{line}});
        }
        QList<Record> records;
        for (int least = 1; least <= genres; ++least)
            for (int most = 1; most <= genres; ++most)
                records.append(
                    {least,
                     most,
                     {QStringLiteral("%1 end %2 %3").arg(directory).arg(least).arg(most)}});
        writeFinale(directory, records);
    }

    static QString fragmentFile(const QString &directory, int step)
    {
        return QStringLiteral("Genres/%1/%2.vtq").arg(directory).arg(step);
    }

private:
    QTemporaryDir m_dir;
};
