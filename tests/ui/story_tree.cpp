#include "story_tree.h"

#include <QFile>
#include <QStringEncoder>

namespace storytree {

void writeLines(const QDir &root, const QString &path, const QStringList &lines)
{
    const QString fullPath = root.filePath(path);
    QDir().mkpath(QFileInfo(fullPath).absolutePath());
    QStringEncoder encoder("windows-1251");
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += encoder.encode(line) + QByteArray("\r\n");
    QFile file(fullPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(fullPath));
}

void writeSettings(const QDir &root, int waitingPeriod, int switchProbability)
{
    writeLines(
        root, QStringLiteral("vorta.cfg"),
        {QStringLiteral(" %1 ").arg(waitingPeriod), QStringLiteral(" %1 ").arg(switchProbability)});
}

void writeCatalogue(const QDir &root, const QList<Genre> &genres)
{
    QStringList lines;
    for (const Genre &genre : genres)
        lines.append(genre.name + QLatin1Char(',') + genre.dir);
    writeLines(root, QStringLiteral("Genres/genres.vtq"), lines);
}

void writeFragment(const QDir &root, const QString &dir, int step,
                   const QList<QStringList> &variants)
{
    QStringList lines{QString::number(variants.size())};
    for (const QStringList &variant : variants) {
        lines.append(QString::number(variant.size()));
        lines += variant;
    }
    writeLines(root, QStringLiteral("Genres/%1/%2.vtq").arg(dir).arg(step), lines);
}

void writeFinale(const QDir &root, const QString &dir, const QList<FinaleRecord> &records)
{
    QStringList lines;
    for (const FinaleRecord &record : records) {
        lines << QString::number(record.least) << QString::number(record.most)
              << QString::number(record.lines.size());
        lines += record.lines;
    }
    writeLines(root, QStringLiteral("Genres/%1/65.vtq").arg(dir), lines);
}

QString storyLine(const Genre &genre, int step)
{
    return QStringLiteral("%1, шаг %2").arg(genre.name).arg(step);
}

void writeStory(const QDir &root, const QList<Genre> &genres, int waitingPeriod,
                int switchProbability)
{
    writeSettings(root, waitingPeriod, switchProbability);
    writeCatalogue(root, genres);
    QList<FinaleRecord> finale;
    for (int least = 1; least <= genres.size(); ++least) {
        for (int most = 1; most <= genres.size(); ++most)
            finale.append({least, most, {QStringLiteral("Конец %1 %2").arg(least).arg(most)}});
    }
    for (const Genre &genre : genres) {
        for (int step = 1; step <= 64; ++step) {
            const QString line = step == 37 ? QStringLiteral("ИТОГ:(IQ)") : storyLine(genre, step);
            writeFragment(root, genre.dir, step, {{line}});
        }
        writeFinale(root, genre.dir, finale);
    }
}

QByteArray fileBytes(const QDir &root, const QString &path)
{
    QFile file(root.filePath(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace storytree
