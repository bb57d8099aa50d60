// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tree_check.h"

#include "author/check/byte_checks.h"
#include "author/report/plural.h"

#include "format/catalogue_file.h"
#include "format/fragment_file.h"
#include "format/line_ends.h"
#include "format/settings_file.h"
#include "format/story_error.h"
#include "format/story_facts.h"
#include "format/text_reader.h"
#include "format/tree_paths.h"
#include "format/windows1251.h"

#include <QHash>
#include <QSet>
#include <QStringDecoder>

#include <algorithm>
#include <array>

namespace vorta::author {

namespace {

QString numberPairText(qint64 least, qint64 most)
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

// What lies past a row of this many characters, a pair of UTF-16 halves counting as one.
QString tailPast(const QString &text, int characters)
{
    qsizetype at = 0;
    for (int seen = 0; seen < characters && at < text.size(); ++seen)
        at += text.at(at).isHighSurrogate() && at + 1 < text.size() ? 2 : 1;
    return text.mid(at);
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
    QString programsText;
};

// Where a read of a fragment stood when it failed, for the report of the failure.
QString readPlace(const FragmentReader &reader)
{
    if (reader.variant() == 0)
        return {};
    QString place =
        QStringLiteral("вариант %1 из %2").arg(reader.variant()).arg(reader.variantCount());
    const std::optional<qint32> count = reader.lines().count();
    if (!count)
        return place + QStringLiteral(", число строк");
    return place +
           QStringLiteral(", строка %1 из %2").arg(reader.lines().linesRead() + 1).arg(*count);
}

QString readPlace(const FinaleReader &reader)
{
    if (reader.record() == 0)
        return {};
    QString place = QStringLiteral("запись %1").arg(reader.record());
    if (!reader.pairRead())
        return place;
    const std::optional<qint32> count = reader.lines().count();
    if (!count)
        return place + QStringLiteral(", число строк");
    return place +
           QStringLiteral(", строка %1 из %2").arg(reader.lines().linesRead() + 1).arg(*count);
}

class TreeChecker
{
public:
    TreeChecker(const DataTree &tree, const DiagnosticSink &sink) : m_tree(tree), m_sink(sink) {}

    CheckResult run()
    {
        QList<CatalogueEntry> catalogue;
        const bool catalogueOk = checkCatalogue(catalogue);
        checkGenreFolders(catalogue, catalogueOk);
        checkSettings();
        finishFile();
        return {std::move(m_data), std::move(m_diagnostics), DataTree(m_files)};
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

    // An error of the program's reader, with where in the file's structure it struck.
    void report(const StoryError &e, const QString &path, const QString &context = {})
    {
        QString text = errorText(e);
        if (!context.isEmpty())
            text += QStringLiteral(" (") + context + QLatin1Char(')');
        error(e.file().isEmpty() ? path : e.file(), e.line(), text);
    }

    // Reads the file once: its raw bytes for the checks that decoding hides, its text as the
    // author and as the program read it. A file that cannot be read is reported here.
    std::optional<FileText> readFile(const QString &path)
    {
        QByteArray bytes;
        try {
            bytes = m_tree.readBytes(path);
        } catch (const StoryError &e) {
            m_files->addFailure(path, e);
            report(e, path);
            return std::nullopt;
        }
        m_files->add(path, bytes);
        FileText file{checkFileBytes(path, bytes), {}, m_files->readText(path)};
        file.text = file.bytes.looksLikeUtf8 ? authorsText(bytes, file.bytes) : file.programsText;
        m_pending.append(file.bytes.diagnostics);
        return file;
    }

    void checkSettings()
    {
        const std::optional<FileText> file = readFile(kSettingsFile);
        if (!file)
            return;
        struct Setting
        {
            qint32 unit;
            std::optional<qint32> (*inForce)(qint32);
        };
        const std::array<Setting, 2> settings{Setting{kPeriodUnitMs, autoPeriodMsOf},
                                              Setting{kPercentUnit, switchPercentOf}};
        try {
            TextReader reader(file->text, kSettingsFile);
            for (const Setting &setting : settings) {
                const SettingValue read = readSettingValue(reader);
                if (!setting.inForce(read.value))
                    error(kSettingsFile, read.line,
                          QStringLiteral("%1: %2 × %3 не помещается в 32 бита")
                              .arg(StoryError(ErrorKind::Overflow).kindText())
                              .arg(read.value)
                              .arg(setting.unit));
                else if (read.value < kSmallestSetting || read.value > kLargestSetting)
                    warning(kSettingsFile, read.line,
                            QStringLiteral("значение %1 вне диапазона %2..%3 окна настроек")
                                .arg(read.value)
                                .arg(kSmallestSetting)
                                .arg(kLargestSetting));
            }
        } catch (const StoryError &e) {
            report(e, kSettingsFile);
        }
    }

    // Reads the catalogue's pairs as the program does; the genres are its complete pairs, with
    // their names as the author wrote them.
    bool checkCatalogue(QList<CatalogueEntry> &catalogue)
    {
        const std::optional<FileText> file = readFile(kCatalogueFile);
        if (!file)
            return false;
        bool ok = true;
        // The program reads on past a blank line, so what it makes of the pairs after one is
        // reported below; the blank line itself is the cause.
        for (const int line : blankLinesInside(splitLines(file->text)))
            error(kCatalogueFile, line, blankCatalogueLineText());
        CatalogueReader programs(TextReader(file->programsText, kCatalogueFile));
        try {
            while (!programs.atEnd())
                catalogue.append(programs.next());
        } catch (const StoryError &e) {
            report(e, kCatalogueFile);
            ok = false;
        }
        // The author's decoding parts the text at the same commas and line ends.
        CatalogueReader authors(TextReader(file->text, kCatalogueFile));
        for (qsizetype g = 0; g < catalogue.size(); ++g) {
            const CatalogueEntry &entry = catalogue.at(g);
            const Genre genre{authors.next().name, entry.dir, entry.line};
            checkGenreName(genre);
            // The program's click compares names as it reads them.
            for (qsizetype earlier = 0; earlier < g; ++earlier) {
                if (catalogue.at(earlier).name == entry.name) {
                    warning(
                        kCatalogueFile, genre.line,
                        QStringLiteral("жанр %1 уже назван в строке %2: щелчок по этому имени "
                                       "всегда выбирает первый из них, и читатель не выберет "
                                       "этот жанр никогда (его выбирает только программа)")
                            .arg(quoted(genre.name), QString::number(catalogue.at(earlier).line)));
                    break;
                }
            }
            m_data.genres.append(genre);
        }
        if (ok && catalogue.isEmpty()) {
            error(kCatalogueFile, 1,
                  QStringLiteral("в каталоге нет ни одного жанра: первый же ход остановит "
                                 "программу"));
            return false;
        }
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

    // Each folder once, in catalogue order: what is wrong with one goes to its catalogue line,
    // then its files are read.
    void checkGenreFolders(const QList<CatalogueEntry> &catalogue, bool catalogueOk)
    {
        QHash<QString, int> seen;
        QList<QString> toRead;
        for (qsizetype g = 0; g < catalogue.size(); ++g) {
            const Genre &genre = m_data.genres.at(g);
            if (genre.dir.isEmpty()) {
                error(kCatalogueFile, genre.line,
                      QStringLiteral("у жанра %1 пустое имя папки").arg(quoted(genre.name)));
                continue;
            }
            if (const auto earlier = seen.constFind(genre.dir); earlier != seen.cend()) {
                warning(kCatalogueFile, genre.line,
                        QStringLiteral("папка %1 уже названа в строке %2: оба жанра рассказывают "
                                       "один и тот же текст")
                            .arg(quoted(genre.dir))
                            .arg(*earlier));
                continue;
            }
            seen.insert(genre.dir, genre.line);
            if (!m_tree.hasFolder(genreFolderPath(genre.dir))) {
                error(kCatalogueFile, genre.line,
                      QStringLiteral("нет папки жанра %1: %2")
                          .arg(quoted(genre.name), genreFolderPath(genre.dir)));
                continue;
            }
            toRead.append(genre.dir);
        }
        finishFile();
        // With a broken catalogue the program never starts, so which endings a story reaches
        // is moot.
        const int genreCount = int(catalogue.size());
        const std::optional<QList<std::pair<int, int>>> wantedPairs =
            catalogueOk ? std::optional(reachableFinalePairs(genreCount)) : std::nullopt;
        for (const QString &dir : std::as_const(toRead)) {
            for (qint32 step = kFirstStep; step < kFinaleStep; ++step) {
                checkFragment(fragmentFilePath(dir, step), step);
                finishFile();
            }
            checkFinale(fragmentFilePath(dir, kFinaleStep), genreCount, wantedPairs);
            finishFile();
        }
    }

    void checkStoryLine(const QString &path, int line, const QString &text, qint32 step)
    {
        if (step == kIqStep) {
            const qsizetype marker = text.indexOf(kIqMarker);
            if (marker < 0)
                error(path, line,
                      QStringLiteral("в строке шага %1 нет метки %2 для числа")
                          .arg(kIqStep)
                          .arg(kIqMarker));
            else if (marker == 0 || marker + kIqMarker.size() >= text.size())
                error(path, line,
                      QStringLiteral("первой метке %1 нужно по знаку с каждой стороны: они "
                                     "уступают место числу")
                          .arg(kIqMarker));
        }
        // Measured in the author's characters, whatever the file's encoding.
        if (const qsizetype width = characterCount(text); width > kRowWidth)
            warning(path, line,
                    QStringLiteral("строка шире окна: %1, а в строке окна помещается %2; не видно "
                                   "конца %3")
                        .arg(charactersText(width), charactersText(kRowWidth),
                             quoted(tailPast(text, kRowWidth))));
    }

    void warnIfNegative(const QString &path, const CountedLines &lines)
    {
        if (lines.count() < 0)
            warning(path, lines.countLine(),
                    QStringLiteral("число строк %1 меньше нуля: программа не прочтёт ни одной")
                        .arg(*lines.count()));
    }

    void checkFragment(const QString &path, qint32 step)
    {
        const std::optional<FileText> content = readFile(path);
        if (!content)
            return;
        FragmentFile file{path, 0, {}, content->bytes.looksLikeUtf8};
        std::optional<FragmentReader> reader;
        try {
            reader.emplace(TextReader(content->text, path));
            file.variantCount = reader->variantCount();
            reader->requireVariants();
            for (qint32 v = 1; v <= file.variantCount; ++v) {
                Variant variant;
                reader->readVariant([&](const QString &text, int line) {
                    checkStoryLine(path, line, text, step);
                    variant.lines.append(text);
                });
                variant.countLine = reader->lines().countLine();
                warnIfNegative(path, reader->lines());
                file.variants.append(variant);
            }
            if (!reader->restIsBlank())
                warning(path, reader->line(),
                        QStringLiteral("после последнего варианта есть ещё строки: программа их "
                                       "не читает"));
        } catch (const StoryError &e) {
            report(e, path, reader ? readPlace(*reader) : QString());
        }
        m_data.fragments.append(file);
    }

    void checkFinale(const QString &path, int genreCount,
                     const std::optional<QList<std::pair<int, int>>> &wantedPairs)
    {
        const std::optional<FileText> content = readFile(path);
        if (!content)
            return;
        FinaleFile file{path, {}, content->bytes.looksLikeUtf8};
        FinaleReader reader(TextReader(content->text, path));
        try {
            while (!reader.atEnd()) {
                FinaleRecord record;
                record.pair = reader.readPair();
                record.line = reader.recordLine();
                reader.readLines([&](const QString &text, int line) {
                    checkStoryLine(path, line, text, kFinaleStep);
                    record.lines.append(text);
                });
                record.countLine = reader.lines().countLine();
                warnIfNegative(path, reader.lines());
                file.records.append(record);
            }
        } catch (const StoryError &e) {
            report(e, path, readPlace(reader));
        }
        if (wantedPairs)
            checkFinalePairs(file, genreCount, *wantedPairs);
        m_data.finales.append(file);
    }

    void checkFinalePairs(const FinaleFile &file, int genreCount,
                          const QList<std::pair<int, int>> &wantedPairs)
    {
        QList<std::pair<int, int>> missing = wantedPairs;
        for (const FinaleRecord &record : file.records) {
            if (!record.pair.leastUsedGenre || !record.pair.mostUsedGenre) {
                warning(file.path, record.line,
                        QStringLiteral("номер жанра в паре %1 не число: запись не будет "
                                       "рассказана никогда")
                            .arg(pairText(record.pair)));
                continue;
            }
            const qint32 least = *record.pair.leastUsedGenre;
            const qint32 most = *record.pair.mostUsedGenre;
            const bool inRange =
                least >= 1 && least <= genreCount && most >= 1 && most <= genreCount;
            const std::pair<int, int> pair(inRange ? least : 0, inRange ? most : 0);
            if (!inRange || !wantedPairs.contains(pair)) {
                // A genre outside the catalogue is likely a slip; an even split that this
                // catalogue cannot make is kept for a catalogue that can, so only noted.
                add(file.path, record.line, inRange ? Severity::Note : Severity::Warning,
                    QStringLiteral("пару %1 не даёт ни один рассказ (%2): запись не будет "
                                   "рассказана никогда")
                        .arg(numberPairText(least, most),
                             unreachableReason(least, most, genreCount)));
                continue;
            }
            if (record.lines.isEmpty())
                warning(file.path, record.line,
                        QStringLiteral("концовка %1 не дописана: в записи нет ни строки")
                            .arg(numberPairText(least, most)));
            missing.removeAll(pair);
        }
        if (!missing.isEmpty()) {
            QStringList pairs;
            for (const auto &[least, most] : std::as_const(missing))
                pairs.append(numberPairText(least, most));
            warning(file.path, 1,
                    QStringLiteral("нет записи для пар (наименее, наиболее используемый жанр): %1")
                        .arg(pairs.join(QStringLiteral(", "))));
        }
    }

    DataTree m_tree;
    const DiagnosticSink &m_sink;
    std::shared_ptr<MemoryTree> m_files = std::make_shared<MemoryTree>();
    StoryData m_data;
    QList<Diagnostic> m_pending; // of the file being read
    QList<Diagnostic> m_diagnostics;
};

} // namespace

CheckResult checkTree(const DataTree &tree, const DiagnosticSink &sink)
{
    return TreeChecker(tree, sink).run();
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

QString pairText(const RecordPair &pair)
{
    auto index = [](const std::optional<qint32> &genre) {
        return genre ? QString::number(*genre) : QStringLiteral("?");
    };
    return QStringLiteral("(%1, %2)").arg(index(pair.leastUsedGenre), index(pair.mostUsedGenre));
}

} // namespace vorta::author
