// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "author/cli/commands.h"
#include "author/cli/file_writes.h"
#include "author/manuscript/manuscript.h"
#include "author/report/plural.h"
#include "core/story_check.h"

#include "core/catalogue_file.h"
#include "core/line_ends.h"
#include "core/story_facts.h"
#include "format/file_reader.h"
#include "format/qt_text.h"
#include "format/story_metadata.h"

#include <QSet>

namespace vorta::author {

namespace {

// What a step is for, where the plot asks something of it.
QString stepComment(int step)
{
    switch (step) {
    case kFirstStep:
        return QStringLiteral("// Начало рассказа: первый шаг в этом жанре.");
    case kIqStep:
        return QStringLiteral(
                   "// Каждая строка несёт метку (%1): в неё встаёт число от %2 до %3 со "
                   "своим пробелом впереди («на(%1)» читается «на %3»).")
            .arg(kIqMarker)
            .arg(kLowestIq)
            .arg(kHighestIq);
    case kLowBranchStep:
    case kHighBranchStep:
        return QStringLiteral("// Рассказывается, когда число шага %1 %2 %3; иначе шаг %4.")
            .arg(kIqStep)
            .arg(step == branchStep(kIqThreshold) ? QStringLiteral("не больше")
                                                  : QStringLiteral("больше"))
            .arg(kIqThreshold)
            .arg(step == kLowBranchStep ? kHighBranchStep : kLowBranchStep);
    case kLastStep:
        return QStringLiteral("// Последний шаг перед концовкой.");
    default:
        return {};
    }
}

// The catalogue sizes whose stories can share their steps evenly among the genres.
QStringList evenSplitSizes()
{
    QStringList sizes;
    for (int genres = 1; genres <= kMaxGenres; ++genres) {
        if (kStepsToldPerStory % genres == 0)
            sizes.append(QString::number(genres));
    }
    return sizes;
}

// The pairs whose headings new-genre writes: those a story over this many genres can end with
// that stay so whatever genres are added. Those are the pairs of two genres; the even split
// (1, 1) is an ending only while the steps divide by the number of genres, so its heading would
// turn into one for no story with the next genre.
QList<std::pair<int, int>> headedFinalePairs(int genreCount)
{
    QList<std::pair<int, int>> pairs;
    for (const std::pair<int, int> &pair : reachableFinalePairs(genreCount)) {
        if (pair.first != pair.second)
            pairs.append(pair);
    }
    return pairs;
}

// The comment that opens the finale records of a genre's manuscript.
QStringList finaleComment(int genre)
{
    return {QStringLiteral("// Концовки: %1 рассказывается, когда реже всех использован жанр L, "
                           "а чаще всех M")
                .arg(finaleHeadingPattern()),
            QStringLiteral("// (номера жанров по genres.txt; этот жанр — %1). Рассказываются все "
                           "записи, чья пара совпала.")
                .arg(genre),
            QStringLiteral("// Пара 1, 1 (все жанры поровну) бывает, только когда %1 делятся на "
                           "число жанров (%2):")
                .arg(countText(kStepsToldPerStory, QStringLiteral("шаг"), QStringLiteral("шага"),
                               QStringLiteral("шагов")),
                     evenSplitSizes().join(QStringLiteral(", "))),
            QStringLiteral("// её заголовок «%1» пишется от руки, когда каталог готов; check "
                           "напомнит о нём.")
                .arg(finaleHeading(1, 1))};
}

QByteArray genreSkeleton(const QString &name, const QString &dir, int genre,
                         const QList<std::pair<int, int>> &pairs, const QByteArray &lineEnd)
{
    QStringList lines{
        QStringLiteral("// Жанр «%1» (папка %2), рукопись в UTF-8; vorta-author build собирает "
                       "из неё Genres/%2/.")
            .arg(name, dir),
        QStringLiteral("// «## N» начинает шаг N (%1..%2); строка «---» отделяет варианты шага, "
                       "и программа рассказывает один из них наугад.")
            .arg(kFirstStep)
            .arg(kLastStep),
        QStringLiteral("// Строка не шире %1 знаков: программа её не переносит. Пустые строки в "
                       "начале и в конце варианта не рассказываются;")
            .arg(kRowWidth),
        QStringLiteral("// пустая строка на краю пишется как «\\». Строка, начатая с «//», — "
                       "комментарий; её не рассказывают."),
    };
    for (int step = kFirstStep; step < kFinaleStep; ++step) {
        lines << QString() << QStringLiteral("## %1").arg(step);
        if (const QString comment = stepComment(step); !comment.isEmpty())
            lines << comment;
    }
    lines << QString() << finaleComment(genre);
    for (const auto &[least, most] : pairs)
        lines << QString() << finaleHeading(least, most);
    QByteArray bytes;
    for (const QString &line : std::as_const(lines))
        bytes += line.toUtf8() + lineEnd;
    return bytes;
}

// The catalogue's bytes with the new genre's line after its last genre: blank lines after it,
// a byte order mark and every line end stay as the author left them.
QByteArray withGenreLine(const QByteArray &catalogue, const SourceLine &added,
                         const QByteArray &lineEnd)
{
    const std::vector<LineSpan> spans =
        lineSpans(std::string_view(catalogue.data(), std::size_t(catalogue.size())));
    const std::size_t after = std::size_t(added.line - 1); // catalogue lines before the new one
    const qsizetype at = after == 0 ? 0 : qsizetype(spans.at(after - 1).next());
    QByteArray line = added.text.toUtf8() + lineEnd;
    if (after > 0 && spans.at(after - 1).endLength == 0)
        line.prepend(lineEnd);
    return QByteArray(catalogue).insert(at, line);
}

// The manuscript of a genre with a heading for every pair a story can now end with that it has
// no record for, after a comment naming the new genre; none when it has them all.
std::optional<QByteArray> withMissingHeadings(const QByteArray &bytes, const QString &newName,
                                              int genreCount)
{
    std::vector<Diagnostic> ignored;
    QSet<std::pair<int, int>> written;
    for (const ManuscriptRecord &record : parseGenreManuscript(bytes, {}, ignored).records)
        written.insert({record.leastUsedGenre, record.mostUsedGenre});
    QList<std::pair<int, int>> missing;
    for (const std::pair<int, int> &pair : headedFinalePairs(genreCount)) {
        if (!written.contains(pair))
            missing.append(pair);
    }
    if (missing.isEmpty())
        return std::nullopt;
    // Written with the line ends the file has.
    const QByteArray lineEnd = toQByteArray(firstLineEnd(toBytes(bytes)));
    QByteArray result = bytes;
    if (!result.isEmpty() && !result.endsWith('\n') && !result.endsWith('\r'))
        result += lineEnd;
    result += lineEnd +
              QStringLiteral("// Концовки для пар с новым жанром «%1» (%2), дописать:")
                  .arg(newName)
                  .arg(genreCount)
                  .toUtf8() +
              lineEnd;
    for (const auto &[least, most] : std::as_const(missing))
        result += lineEnd + finaleHeading(least, most).toUtf8() + lineEnd;
    return result;
}

// The metadata a new manuscript starts with, for the author to fill in: sound, so that pack
// takes it as soon as the story is written.
StoryMetadata metadataSkeleton(const QDir &manuscriptDir)
{
    const QString folder = QFileInfo(manuscriptDir.absolutePath()).fileName().toLower();
    return {isValidStoryIdentifier(folder) ? folder : QStringLiteral("moy-rasskaz"),
            QStringLiteral("0.1"), QStringLiteral("Название рассказа"),
            QStringLiteral("Имя автора"), QStringLiteral("О чём рассказ, в двух-трёх строках.")};
}

class NewGenreCommand : public Command
{
public:
    NewGenreCommand()
        : Command(QStringLiteral("new-genre"),
                  QStringLiteral("добавляет жанр в рукопись: каталог и заготовку с заголовками"))
    {}

protected:
    void addOptions(QCommandLineParser &parser) override
    {
        parser.setApplicationDescription(
            QStringLiteral("добавляет жанр в каталог рукописи и пишет заготовку его рукописи: %1 "
                           "заголовка шагов и заголовки концовок; в рукописи других жанров "
                           "дописывает заголовки концовок для пар с новым жанром; в новой "
                           "рукописи пишет и заготовку %2 для pack")
                .arg(kLastStep)
                .arg(kStoryMetadataFile));
        parser.addPositionalArgument(QStringLiteral("NAME"),
                                     QStringLiteral("имя жанра для читателя"));
        parser.addPositionalArgument(QStringLiteral("DIRNAME"),
                                     QStringLiteral("имя папки жанра в данных"));
        parser.addPositionalArgument(QStringLiteral("MANUSCRIPT"),
                                     QStringLiteral("папка рукописи"));
    }

    int execute(const QCommandLineParser &parser, const CommandContext &context) override
    {
        QTextStream &out = context.out;
        const QStringList positional = parser.positionalArguments();
        if (positional.size() != 3)
            return usageError(QStringLiteral("нужны NAME, DIRNAME и MANUSCRIPT"), context.err);
        const QString name = positional.at(0).trimmed();
        const QString dir = positional.at(1);
        if (name.isEmpty() || name.contains(QLatin1Char('"')))
            return usageError(QStringLiteral("имя жанра не пустое и без кавычек"), context.err);
        // The first genre may start the manuscript's folder too.
        const QDir manuscriptDir(context.workingDir.filePath(positional.at(2)));
        const QString shown = QDir::cleanPath(positional.at(2));
        auto shownFile = [&shown](const QString &file) {
            return shown + QLatin1Char('/') + file;
        };
        const QString cataloguePath = shownFile(kManuscriptCatalogue);
        const QString genreFile = dir + QStringLiteral(".txt");

        std::vector<Diagnostic> diagnostics;
        QByteArray catalogueBytes;
        // A manuscript's first genre starts it: it gets the metadata that pack needs, too.
        const QString metadataFile = toQString(kStoryMetadataFile);
        const bool firstGenre = !QFileInfo::exists(manuscriptDir.filePath(kManuscriptCatalogue)) &&
                                !QFileInfo::exists(manuscriptDir.filePath(metadataFile));
        try {
            catalogueBytes = readCappedFile(manuscriptDir.filePath(kManuscriptCatalogue),
                                            cataloguePath, kDataFileCap);
        } catch (const StoryError &e) {
            if (e.kind() != ErrorKind::FileNotFound)
                diagnostics.push_back({toU16(cataloguePath), 0, Severity::Error, errorText(e)});
        }
        QList<SourceLine> lines = catalogueLines(
            manuscriptLines(catalogueBytes, cataloguePath, diagnostics, Comments::Told),
            cataloguePath, diagnostics);
        QList<CatalogueEntry> entries;
        if (countOf(diagnostics, Severity::Error) == 0) {
            lines.append({toQString(catalogueLine(toU16(name), toU16(dir))),
                          lines.isEmpty() ? 1 : lines.back().line + 1});
            entries = readCatalogue(lines, cataloguePath, diagnostics);
            for (qsizetype i = 0; i + 1 < entries.size(); ++i) {
                if (entries.at(i).dir == toU16(dir))
                    diagnostics.push_back(
                        diagnostic(cataloguePath, entries.at(i).line, Severity::Error,
                                   QStringLiteral("папка %1 уже в каталоге").arg(dir)));
            }
        }
        if (QFileInfo::exists(manuscriptDir.filePath(genreFile)))
            diagnostics.push_back(diagnostic(shownFile(genreFile), 0, Severity::Error,
                                             QStringLiteral("рукопись жанра уже есть; новая её не "
                                                            "заменит")));
        if (countOf(diagnostics, Severity::Error) > 0)
            return reportDiagnostics(diagnostics, out);

        const QByteArray lineEnd = toQByteArray(firstLineEnd(toBytes(catalogueBytes)));
        const int genre = int(entries.size());
        QStringList completed;
        try {
            FileWrites writes;
            writes.add(manuscriptDir.filePath(genreFile),
                       genreSkeleton(name, dir, genre, headedFinalePairs(genre), lineEnd));
            writes.add(manuscriptDir.filePath(kManuscriptCatalogue),
                       withGenreLine(catalogueBytes, lines.back(), lineEnd));
            completed = addMissingHeadings(manuscriptDir, entries, name, writes);
            if (firstGenre)
                writes.add(manuscriptDir.filePath(metadataFile),
                           storyMetadataJson(metadataSkeleton(manuscriptDir)));
            writes.commit();
        } catch (const FileWriteError &e) {
            context.err
                << kProgramName
                << QStringLiteral(" new-genre: не записан файл %1: %2").arg(e.path, e.reason)
                << '\n';
            return ExitUsage;
        }
        out << QStringLiteral("записан %1\nдополнен %2: жанр %3 «%4»")
                   .arg(shownFile(genreFile), cataloguePath)
                   .arg(genre)
                   .arg(name)
            << '\n';
        if (firstGenre)
            out << QStringLiteral("записан %1: сведения о рассказе для pack, впишите свои")
                       .arg(shownFile(metadataFile))
                << '\n';
        for (const QString &file : std::as_const(completed))
            out << QStringLiteral("дополнен %1: заголовки концовок для пар с жанром %2")
                       .arg(shownFile(file))
                       .arg(genre)
                << '\n';
        return reportDiagnostics(diagnostics, out);
    }

private:
    // Every other genre's manuscript gets the headings of the pairs it now lacks; returns the
    // files written. A manuscript that is not there is the build's to report.
    static QStringList addMissingHeadings(const QDir &manuscriptDir,
                                          const QList<CatalogueEntry> &entries,
                                          const QString &newName, FileWrites &writes)
    {
        QStringList completed;
        QSet<QString> done{toQString(entries.back().dir)};
        for (const CatalogueEntry &entry : entries) {
            const QString dir = toQString(entry.dir);
            const QString file = dir + QStringLiteral(".txt");
            if (done.contains(dir))
                continue;
            done.insert(dir);
            std::optional<QByteArray> bytes;
            try {
                bytes = readExisting(manuscriptDir.filePath(file), file);
            } catch (const StoryError &e) {
                throw FileWriteError{manuscriptDir.filePath(file), toQString(errorText(e))};
            }
            if (!bytes)
                continue;
            if (const std::optional<QByteArray> completedBytes =
                    withMissingHeadings(*bytes, newName, int(entries.size()))) {
                writes.add(manuscriptDir.filePath(file), *completedBytes);
                completed.append(file);
            }
        }
        return completed;
    }
};

} // namespace

std::shared_ptr<Command> newGenreCommand()
{
    return std::make_shared<NewGenreCommand>();
}

} // namespace vorta::author
