#include "tree_check.h"

#include "author/check/byte_checks.h"
#include "author/report/plural.h"

#include "engine/data_files.h"
#include "engine/fragments.h"
#include "engine/numbers.h"
#include "engine/story_state.h"
#include "engine/story_step.h"
#include "format/file_reader.h"
#include "format/story_error.h"

#include <QFileInfo>
#include <QSet>
#include <QStringDecoder>

#include <algorithm>
#include <array>

namespace vorta::author {

namespace {

// Steps 1 to 64 less the one of 38 and 39 that the branch skips.
constexpr int kStepsToldPerStory = kFinaleStep - 2;

constexpr qint32 kLargestSetting = 10;

QString genreIndexText(const std::optional<qint64> &index)
{
    return index ? QString::number(*index) : QStringLiteral("?");
}

QString pairText(qint64 least, qint64 most)
{
    return QStringLiteral("(%1, %2)").arg(least).arg(most);
}

// Why no story ends with this pair, for a pair that is not reachable.
QString unreachableReason(qint64 least, qint64 most, int genreCount)
{
    if (least < 1 || least > genreCount || most < 1 || most > genreCount)
        return QStringLiteral("в каталоге жанров %1").arg(genreCount);
    if (least == 1)
        return QStringLiteral("все жанры поровну бывают, только если %1 делятся на число "
                              "жанров %2")
            .arg(countText(kStepsToldPerStory, QStringLiteral("шаг"), QStringLiteral("шага"),
                           QStringLiteral("шагов")))
            .arg(genreCount);
    return QStringLiteral("наименее и наиболее используемый жанр совпадают, только когда все "
                          "жанры использованы поровну, и тогда оба равны 1");
}

QString charactersText(qsizetype count)
{
    return countText(count, QStringLiteral("знак"), QStringLiteral("знака"),
                     QStringLiteral("знаков"));
}

// A file's text as its author wrote it: UTF-8 when it reads as UTF-8 (a byte order mark
// dropped), Windows-1251 otherwise, so that quotes and widths show what the author sees.
QString authorsText(const QByteArray &bytes, const ByteFindings &findings)
{
    if (!findings.looksLikeUtf8)
        return decodeWindows1251(bytes);
    QStringDecoder decoder(QStringDecoder::Utf8);
    return decoder.decode(bytes);
}

// A file's bytes read once, with what they tell and the text they hold.
struct FileText
{
    ByteFindings bytes;
    QString text; // as the author wrote it

    TextReader reader(const QString &path) const { return TextReader(text, path); }
};

class TreeChecker
{
public:
    TreeChecker(const QDir &dataDir, const DiagnosticSink &sink) : m_dir(dataDir), m_sink(sink) {}

    CheckResult run()
    {
        StoryState catalogue;
        const bool catalogueOk = checkCatalogue(catalogue);
        finishFile();
        checkGenreDirectories(catalogue, catalogueOk);
        checkSettings();
        finishFile();
        return {std::move(m_data), std::move(m_diagnostics)};
    }

private:
    void add(const QString &path, int line, Severity severity, const QString &text)
    {
        m_pending.append({path, line, severity, text});
    }

    // Hands on the findings of the file just read, by line.
    void finishFile()
    {
        std::stable_sort(m_pending.begin(), m_pending.end(),
                         [](const Diagnostic &a, const Diagnostic &b) { return a.line < b.line; });
        for (const Diagnostic &diagnostic : std::as_const(m_pending)) {
            m_diagnostics.append(diagnostic);
            if (m_sink)
                m_sink(diagnostic);
        }
        m_pending.clear();
    }
    void error(const QString &path, int line, const QString &text)
    {
        add(path, line, Severity::Error, text);
    }
    void warning(const QString &path, int line, const QString &text)
    {
        add(path, line, Severity::Warning, text);
    }

    // An error of the engine's reader, with where in the file's structure it struck.
    void report(const StoryError &e, const QString &path, const QString &context = {})
    {
        QString text = e.kindText();
        if (!e.detail().isEmpty())
            text += QStringLiteral(": ") + e.detail();
        if (!context.isEmpty())
            text += QStringLiteral(" (") + context + QLatin1Char(')');
        error(e.file().isEmpty() ? path : e.file(), e.line(), text);
    }

    // Reads the raw bytes for the checks that decoding hides; a missing file is reported here.
    std::optional<FileText> checkBytes(const QString &path)
    {
        QByteArray bytes;
        try {
            bytes = readDataFile(m_dir, path);
        } catch (const StoryError &e) {
            report(e, path);
            return std::nullopt;
        }
        FileText file{checkFileBytes(path, bytes), {}};
        file.text = authorsText(bytes, file.bytes);
        m_pending.append(file.bytes.diagnostics);
        return file;
    }

    void checkSettings()
    {
        const std::optional<FileText> file = checkBytes(kSettingsFile);
        if (!file)
            return;
        // The same reads as the program's, one value at a time to know each value's line.
        const std::array<qint32, 2> factors{5000, 10};
        try {
            TextReader reader = file->reader(kSettingsFile);
            for (const qint32 factor : factors) {
                reader.atEndAfterBlankLines();
                const int line = reader.line();
                const qint32 value = reader.readNumber();
                try {
                    checkedMul(value, factor);
                } catch (const StoryError &e) {
                    error(kSettingsFile, line,
                          QStringLiteral("%1: %2 × %3 не помещается в 32 бита")
                              .arg(e.kindText())
                              .arg(value)
                              .arg(factor));
                    continue;
                }
                if (value < 0 || value > kLargestSetting)
                    warning(kSettingsFile, line,
                            QStringLiteral("значение %1 вне диапазона 0..%2 окна настроек")
                                .arg(value)
                                .arg(kLargestSetting));
            }
        } catch (const StoryError &e) {
            report(e, kSettingsFile);
        }
    }

    // Fills the catalogue state as the program does; the genres are its complete pairs.
    bool checkCatalogue(StoryState &catalogue)
    {
        const std::optional<FileText> file = checkBytes(kCatalogueFile);
        if (!file)
            return false;
        bool ok = true;
        try {
            loadCatalogue(catalogue, m_dir);
        } catch (const StoryError &e) {
            report(e, kCatalogueFile);
            ok = false;
        }
        // A failed load has counted the pair it failed in.
        const qint32 complete = ok ? catalogue.genreCount : qMax(0, catalogue.genreCount - 1);
        catalogue.genreCount = complete;

        // The same pairs again in the author's decoding, with the line of each.
        QList<Genre> pairs;
        try {
            TextReader reader = file->reader(kCatalogueFile);
            while (pairs.size() < complete) {
                Genre genre;
                genre.line = reader.line();
                genre.name = reader.readValue();
                reader.readValue();
                pairs.append(genre);
            }
        } catch (const StoryError &) {
            // The load above has read these pairs already; it cannot fail here.
        }
        for (qint32 g = 1; g <= complete && g <= pairs.size(); ++g) {
            Genre genre = pairs.at(g - 1);
            genre.dir = element(catalogue.genreDirs, g);
            checkGenreName(genre);
            // The program's click compares names as it reads them.
            const QString &name = element(catalogue.genreNames, g);
            for (qint32 earlier = 1; earlier < g; ++earlier) {
                if (element(catalogue.genreNames, earlier) == name) {
                    warning(kCatalogueFile, genre.line,
                            QStringLiteral("жанр %1 уже назван в строке %2: щелчок по этому имени "
                                           "всегда выбирает первый из них, и читатель не выберет "
                                           "этот жанр никогда (его выбирает только программа)")
                                .arg(quoted(genre.name),
                                     QString::number(m_data.genres.at(earlier - 1).line)));
                    break;
                }
            }
            m_data.genres.append(genre);
        }
        if (ok && complete == 0) {
            error(kCatalogueFile, 1,
                  QStringLiteral("в каталоге нет ни одного жанра: первый же ход остановит "
                                 "программу"));
            return false;
        }
        checkGenreFolders(catalogue);
        return ok;
    }

    // What a choice label would show of the name.
    void checkGenreName(const Genre &genre)
    {
        const qsizetype width = characterCount(genre.name);
        if (genre.name.isEmpty())
            warning(kCatalogueFile, genre.line,
                    QStringLiteral("имя жанра пусто: его метка выбора будет пустой"));
        else if (genre.name.trimmed().isEmpty())
            warning(kCatalogueFile, genre.line,
                    QStringLiteral("имя жанра %1 из одних пробелов: его метка выбора будет "
                                   "пустой на вид")
                        .arg(quoted(genre.name)));
        else if (width > kChoiceLabelWidth)
            warning(kCatalogueFile, genre.line,
                    QStringLiteral("имя жанра %1 шире метки выбора: %2, а на метке помещается %3")
                        .arg(quoted(genre.name), charactersText(width),
                             charactersText(kChoiceLabelWidth)));
    }

    // Each folder once, in catalogue order; the catalogue's line takes what is wrong with it.
    void checkGenreFolders(const StoryState &catalogue)
    {
        QSet<QString> seen;
        for (qint32 g = 1; g <= catalogue.genreCount && g <= m_data.genres.size(); ++g) {
            const Genre &genre = m_data.genres.at(g - 1);
            if (genre.dir.isEmpty()) {
                error(kCatalogueFile, genre.line,
                      QStringLiteral("у жанра %1 пустое имя папки").arg(quoted(genre.name)));
                continue;
            }
            if (seen.contains(genre.dir))
                continue;
            seen.insert(genre.dir);
            const QString dirPath =
                QFileInfo(m_dir.filePath(fragmentPath(catalogue, g, 1))).absolutePath();
            if (!QFileInfo(dirPath).isDir()) {
                error(kCatalogueFile, genre.line,
                      QStringLiteral("нет папки жанра %1: %2")
                          .arg(quoted(genre.name), m_dir.relativeFilePath(dirPath)));
                continue;
            }
            m_foldersToRead.append(g);
        }
    }

    void checkGenreDirectories(const StoryState &catalogue, bool catalogueOk)
    {
        // With a broken catalogue the program never starts, so which endings a story reaches
        // is moot.
        const std::optional<QList<std::pair<int, int>>> wantedPairs =
            catalogueOk ? std::optional(reachableFinalePairs(catalogue.genreCount)) : std::nullopt;
        for (const qint32 g : std::as_const(m_foldersToRead)) {
            for (qint32 step = 1; step < kFinaleStep; ++step) {
                checkFragment(fragmentPath(catalogue, g, step), step);
                finishFile();
            }
            checkFinale(fragmentPath(catalogue, g, kFinaleStep), catalogue.genreCount, wantedPairs);
            finishFile();
        }
    }

    void checkStoryLine(const QString &path, int line, const QString &text, qint32 step)
    {
        if (step == kIqStep) {
            const qsizetype marker = text.indexOf(QLatin1String("IQ"));
            if (marker < 0)
                error(path, line,
                      QStringLiteral("в строке шага %1 нет метки IQ для числа").arg(kIqStep));
            else if (marker == 0 || marker + 2 >= text.size())
                error(path, line,
                      QStringLiteral("первой метке IQ нужно по знаку с каждой стороны: они "
                                     "уступают место числу"));
        }
        // Measured in the author's characters, whatever the file's encoding.
        if (const qsizetype width = characterCount(text); width > kRowWidth)
            warning(path, line,
                    QStringLiteral("строка шире окна: %1, а в строке окна помещается %2")
                        .arg(charactersText(width), charactersText(kRowWidth)));
    }

    void warnIfNegative(const QString &path, int line, qint32 lineCount)
    {
        if (lineCount < 0)
            warning(path, line,
                    QStringLiteral("число строк %1 меньше нуля: программа не прочтёт ни одной")
                        .arg(lineCount));
    }

    // A line count and the lines it counts, each checked as a line of the step. The context
    // says where the read stands (owner: the variant or the record), for an error's report.
    QStringList readCountedLines(TextReader &reader, const QString &path, qint32 step,
                                 const QString &owner, QString &context, int &countLine)
    {
        context = owner + QStringLiteral(", число строк");
        reader.atEndAfterBlankLines();
        countLine = reader.line();
        const qint32 lineCount = reader.readCount();
        warnIfNegative(path, countLine, lineCount);
        QStringList lines;
        for (qint32 j = 1; j <= lineCount; ++j) {
            context = owner + QStringLiteral(", строка %1 из %2").arg(j).arg(lineCount);
            const int line = reader.line();
            const QString text = reader.readLine();
            checkStoryLine(path, line, text, step);
            lines.append(text);
        }
        return lines;
    }

    void checkFragment(const QString &path, qint32 step)
    {
        const std::optional<FileText> content = checkBytes(path);
        if (!content)
            return;
        FragmentFile file{path, 0, {}, content->bytes.looksLikeUtf8};
        QString context;
        try {
            TextReader reader = content->reader(path);
            reader.atEndAfterBlankLines();
            const int countLine = reader.line();
            file.variantCount = reader.readCount();
            if (file.variantCount < 1)
                error(path, countLine,
                      QStringLiteral("число вариантов %1: нужен хотя бы один вариант")
                          .arg(file.variantCount));
            for (qint32 v = 1; v <= file.variantCount; ++v) {
                const QString variantText =
                    QStringLiteral("вариант %1 из %2").arg(v).arg(file.variantCount);
                Variant variant;
                variant.lines =
                    readCountedLines(reader, path, step, variantText, context, variant.countLine);
                file.variants.append(variant);
            }
            if (file.variantCount >= 1 && !reader.atEnd())
                warning(path, reader.line(),
                        QStringLiteral("после последнего варианта есть ещё строки: программа их "
                                       "не читает"));
        } catch (const StoryError &e) {
            report(e, path, context);
        }
        m_data.fragments.append(file);
    }

    void checkFinale(const QString &path, int genreCount,
                     const std::optional<QList<std::pair<int, int>>> &wantedPairs)
    {
        const std::optional<FileText> content = checkBytes(path);
        if (!content)
            return;
        FinaleFile file{path, {}, content->bytes.looksLikeUtf8};
        QString context;
        try {
            TextReader reader = content->reader(path);
            // As the program reads it: the end is tested only before a record.
            while (!reader.atEndAfterBlankLines()) {
                const QString recordText = QStringLiteral("запись %1").arg(file.records.size() + 1);
                context = recordText;
                FinaleRecord record;
                record.line = reader.line();
                record.leastUsedGenre = reader.readIndex();
                record.mostUsedGenre = reader.readIndex();
                record.lines = readCountedLines(reader, path, kFinaleStep, recordText, context,
                                                record.countLine);
                file.records.append(record);
            }
        } catch (const StoryError &e) {
            report(e, path, context);
        }

        if (wantedPairs) {
            QList<std::pair<int, int>> missing = *wantedPairs;
            for (const FinaleRecord &record : std::as_const(file.records)) {
                if (!record.leastUsedGenre || !record.mostUsedGenre) {
                    warning(path, record.line,
                            QStringLiteral("номер жанра в паре (%1, %2) не число: запись не "
                                           "будет рассказана никогда")
                                .arg(genreIndexText(record.leastUsedGenre),
                                     genreIndexText(record.mostUsedGenre)));
                    continue;
                }
                const qint64 least = *record.leastUsedGenre;
                const qint64 most = *record.mostUsedGenre;
                const bool inRange =
                    least >= 1 && least <= genreCount && most >= 1 && most <= genreCount;
                const std::pair<int, int> pair(inRange ? int(least) : 0, inRange ? int(most) : 0);
                if (!inRange || !wantedPairs->contains(pair)) {
                    // A genre outside the catalogue is likely a slip; an even split that this
                    // catalogue cannot make is kept for a catalogue that can, so only noted.
                    add(path, record.line, inRange ? Severity::Note : Severity::Warning,
                        QStringLiteral("пару %1 не даёт ни один рассказ (%2): запись не "
                                       "будет рассказана никогда")
                            .arg(pairText(least, most),
                                 unreachableReason(least, most, genreCount)));
                    continue;
                }
                missing.removeAll(pair);
            }
            if (!missing.isEmpty()) {
                QStringList pairs;
                for (const auto &[least, most] : std::as_const(missing))
                    pairs.append(pairText(least, most));
                warning(path, 1,
                        QStringLiteral("нет записи для пар (наименее, наиболее используемый "
                                       "жанр): %1")
                            .arg(pairs.join(QStringLiteral(", "))));
            }
        }
        m_data.finales.append(file);
    }

    QDir m_dir;
    const DiagnosticSink &m_sink;
    StoryData m_data;
    QList<Diagnostic> m_pending; // of the file being read
    QList<Diagnostic> m_diagnostics;
    QList<qint32> m_foldersToRead; // genres whose folder is there, each folder once
};

} // namespace

CheckResult checkTree(const QDir &dataDir, const DiagnosticSink &sink)
{
    return TreeChecker(dataDir, sink).run();
}

qsizetype characterCount(QStringView text)
{
    qsizetype count = text.size();
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && text.at(i + 1).isLowSurrogate())
            --count;
    }
    return count;
}

QList<std::pair<int, int>> reachableFinalePairs(int genreCount)
{
    QList<std::pair<int, int>> pairs;
    if (genreCount < 1)
        return pairs;
    if (kStepsToldPerStory % genreCount == 0)
        pairs.append({1, 1});
    for (int least = 1; least <= genreCount; ++least) {
        for (int most = 1; most <= genreCount; ++most) {
            if (least != most)
                pairs.append({least, most});
        }
    }
    return pairs;
}

} // namespace vorta::author
