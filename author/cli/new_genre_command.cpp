#include "author/check/tree_check.h"
#include "author/cli/command_line.h"
#include "author/cli/file_writes.h"
#include "author/manuscript/manuscript.h"

#include "engine/story_step.h"
#include "format/file_reader.h"
#include "format/story_error.h"

namespace vorta::author {

namespace {

// What a step is for, where the plot asks something of it.
QString stepComment(int step)
{
    switch (step) {
    case 1:
        return QStringLiteral("// Начало рассказа: первый шаг в этом жанре.");
    case kIqStep:
        return QStringLiteral("// Каждая строка несёт метку (IQ): в неё встаёт число от 80 до "
                              "119 со своим пробелом впереди («на(IQ)» читается «на 103»).");
    case 38:
        return QStringLiteral("// Рассказывается, когда число шага 37 больше 100.");
    case 39:
        return QStringLiteral("// Рассказывается, когда число шага 37 не больше 100.");
    case kFinaleStep - 1:
        return QStringLiteral("// Последний шаг перед концовкой.");
    default:
        return {};
    }
}

QByteArray genreSkeleton(const QString &name, const QString &dir, int genre,
                         const QList<std::pair<int, int>> &pairs)
{
    QStringList lines{
        QStringLiteral("// Жанр «%1» (папка %2), рукопись в UTF-8; vorta-author build собирает "
                       "из неё Genres/%2/.")
            .arg(name, dir),
        QStringLiteral("// «## N» начинает шаг N (1..64); строка «---» отделяет варианты шага, "
                       "и программа рассказывает один из них наугад."),
        QStringLiteral("// Строка не шире 46 знаков: программа её не переносит. Пустые строки в "
                       "начале и в конце варианта не рассказываются;"),
        QStringLiteral("// пустая строка на краю пишется как «\\». Строка, начатая с «//», — "
                       "комментарий; её не рассказывают."),
    };
    for (int step = 1; step < kFinaleStep; ++step) {
        lines << QString() << QStringLiteral("## %1").arg(step);
        if (const QString comment = stepComment(step); !comment.isEmpty())
            lines << comment;
    }
    lines << QString()
          << QStringLiteral("// Концовки: «## 65: L, M» рассказывается, когда реже всех "
                            "использован жанр L, а чаще всех M")
          << QStringLiteral("// (номера жанров по genres.txt; этот жанр — %1). Рассказываются "
                            "все записи, чья пара совпала.")
                 .arg(genre);
    for (const auto &[least, most] : pairs)
        lines << QString() << finaleHeading(least, most);
    QByteArray bytes;
    for (const QString &line : std::as_const(lines))
        bytes += line.toUtf8() + '\n';
    return bytes;
}

// The catalogue line for a genre: a name with a comma goes in quotes.
QString catalogueLine(const QString &name, const QString &dir)
{
    return (name.contains(QLatin1Char(',')) ? QLatin1Char('"') + name + QLatin1Char('"') : name) +
           QLatin1Char(',') + dir;
}

} // namespace

int newGenreCommand(const QStringList &arguments, const QDir &workingDir, QTextStream &out,
                    QTextStream &err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("добавляет жанр в каталог рукописи и пишет заготовку его рукописи: 64 "
                       "заголовка шагов и заголовки концовок"));
    parser.addPositionalArgument(QStringLiteral("NAME"), QStringLiteral("имя жанра для читателя"));
    parser.addPositionalArgument(QStringLiteral("DIRNAME"),
                                 QStringLiteral("имя папки жанра в данных"));
    parser.addPositionalArgument(QStringLiteral("MANUSCRIPT"), QStringLiteral("папка рукописи"));
    if (const std::optional<int> done = parseCommand(parser, arguments, out, err))
        return *done;
    const QString command = arguments.first();
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 3)
        return usageError(command, QStringLiteral("нужны NAME, DIRNAME и MANUSCRIPT"), err);
    const QString name = positional.at(0).trimmed();
    const QString dir = positional.at(1);
    if (name.isEmpty() || name.contains(QLatin1Char('"')))
        return usageError(command, QStringLiteral("имя жанра не пустое и без кавычек"), err);
    const std::optional<QDir> manuscriptDir =
        existingDir(command, positional.at(2), workingDir, err);
    if (!manuscriptDir)
        return ExitUsage;
    const QString shown = QDir::cleanPath(positional.at(2));
    const QString cataloguePath = shown + QLatin1Char('/') + kManuscriptCatalogue;
    const QString genreFile = dir + QStringLiteral(".txt");

    QList<Diagnostic> diagnostics;
    QByteArray catalogueBytes;
    try {
        catalogueBytes = readCappedFile(manuscriptDir->filePath(kManuscriptCatalogue),
                                        cataloguePath, kDataFileCap);
    } catch (const StoryError &e) {
        if (e.kind() != ErrorKind::FileNotFound)
            diagnostics.append({cataloguePath, 0, Severity::Error, errorText(e)});
    }
    std::optional<QStringList> lines =
        manuscriptLines(catalogueBytes, cataloguePath, diagnostics, Comments::Told);
    QList<CatalogueEntry> entries;
    if (lines) {
        lines->append(catalogueLine(name, dir));
        entries = readCatalogue(lines->join(QLatin1Char('\n')) + QLatin1Char('\n'), cataloguePath,
                                diagnostics);
        for (qsizetype i = 0; i + 1 < entries.size(); ++i) {
            if (entries.at(i).dir == dir)
                diagnostics.append({cataloguePath, entries.at(i).line, Severity::Error,
                                    QStringLiteral("папка %1 уже в каталоге").arg(dir)});
        }
    }
    if (QFileInfo::exists(manuscriptDir->filePath(genreFile)))
        diagnostics.append({shown + QLatin1Char('/') + genreFile, 0, Severity::Error,
                            QStringLiteral("рукопись жанра уже есть; новая её не заменит")});
    if (countOf(diagnostics, Severity::Error) > 0)
        return reportDiagnostics(diagnostics, out);

    QByteArray catalogue;
    for (const QString &line : std::as_const(*lines))
        catalogue += line.toUtf8() + '\n';
    const int genre = int(entries.size());
    try {
        writeIfChanged(manuscriptDir->filePath(genreFile),
                       genreSkeleton(name, dir, genre, reachableFinalePairs(genre)));
        writeIfChanged(manuscriptDir->filePath(kManuscriptCatalogue), catalogue);
    } catch (const FileWriteError &e) {
        err << kProgramName
            << QStringLiteral(" new-genre: не записан файл %1: %2").arg(e.path, e.reason) << '\n';
        return ExitUsage;
    }
    out << QStringLiteral("записан %1/%2\nдополнен %3: жанр %4 «%5»")
               .arg(shown, genreFile, cataloguePath)
               .arg(genre)
               .arg(name)
        << '\n';
    if (genre > 1)
        out << QStringLiteral("В рукописях других жанров нет концовок для пар с жанром %1: "
                              "их покажет build.")
                   .arg(genre)
            << '\n';
    return reportDiagnostics(diagnostics, out);
}

} // namespace vorta::author
