// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "author/check/byte_checks.h"
#include "author/cli/commands.h"
#include "author/cli/file_writes.h"
#include "author/report/plural.h"

#include "format/data_tree.h"
#include "format/line_ends.h"
#include "format/story_error.h"
#include "format/tree_paths.h"
#include "format/windows1251.h"

#include <QDirIterator>
#include <QStringDecoder>

namespace vorta::author {

namespace {

const QByteArray kByteOrderMark("\xEF\xBB\xBF");

// A line end other than CR LF: a LF alone or a CR alone.
bool hasBareLineEnds(const QByteArray &bytes)
{
    const QList<LineSpan> spans = lineSpans(bytes);
    return std::any_of(spans.cbegin(), spans.cend(),
                       [](const LineSpan &span) { return span.endLength == 1; });
}

// What fix leaves alone, and why, in the words of a note.
std::optional<QString> leftAlone(const QFileInfo &file, bool settings)
{
    if (file.isSymLink())
        return QStringLiteral("символическая ссылка");
    if (!file.isFile())
        return QStringLiteral("не обычный файл");
    // The program opens "<step>.vtq" exactly; a name that differs only in case is not its file.
    if (!settings && !file.fileName().endsWith(QLatin1String(".vtq")))
        return QStringLiteral("программа не читает файл с таким именем: её файлы — *.vtq");
    return std::nullopt;
}

// The files of a tree that fix rewrites when they need it: its settings and every .vtq file
// under Genres/, only regular files and never through a link, so nothing outside the tree is
// written. Each that is left alone is a note.
QStringList treeFiles(const QDir &treeDir, QList<Diagnostic> &notes)
{
    QStringList files;
    auto take = [&](const QString &path, bool settings) {
        if (const std::optional<QString> why =
                leftAlone(QFileInfo(treeDir.filePath(path)), settings))
            notes.append({path, 0, Severity::Note, QStringLiteral("оставлен как есть: ") + *why});
        else
            files.append(path);
    };
    const QFileInfo settings(treeDir.filePath(kSettingsFile));
    if (settings.exists() || settings.isSymLink())
        take(kSettingsFile, true);
    // Only the program's files: an editor's backup or a note beside them is left alone. Name
    // filters ignore case, so the case is judged by leftAlone.
    QDirIterator it(treeDir.filePath(kGenresFolder), {QStringLiteral("*.vtq")},
                    QDir::Files | QDir::System | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        take(treeDir.relativeFilePath(it.next()), false);
    std::sort(files.begin(), files.end(), pathLess);
    return files;
}

// A file as fix rewrites it, and why.
struct FixedFile
{
    QByteArray bytes;
    QString reason;
};

// The file in Windows-1251 with CR LF, when it is not so already and can be; what keeps it from
// being rewritten is an error.
std::optional<FixedFile> fixedFile(const QDir &treeDir, const QString &path,
                                   QList<Diagnostic> &diagnostics)
{
    QByteArray bytes;
    try {
        bytes = DataTree(treeDir).readBytes(path);
    } catch (const StoryError &e) {
        diagnostics.append({path, 0, Severity::Error, errorText(e)});
        return std::nullopt;
    }
    const bool utf8 = bytes.startsWith(kByteOrderMark) || checkFileBytes(path, bytes).looksLikeUtf8;
    if (!utf8 && !hasBareLineEnds(bytes))
        return std::nullopt;
    QString text = decodeWindows1251(bytes);
    if (utf8)
        text = QStringDecoder(QStringDecoder::Utf8)
                   .decode(bytes.startsWith(kByteOrderMark) ? bytes.mid(3) : bytes);
    const QStringList lines = splitLines(text);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (const std::optional<qsizetype> at = firstUnencodable(lines.at(i))) {
            diagnostics.append({path, int(i) + 1, Severity::Error,
                                QStringLiteral("у знака %1 нет формы в кодировке Windows-1251: "
                                               "файл оставлен как был")
                                    .arg(characterName(lines.at(i), *at))});
            return std::nullopt;
        }
    }
    return FixedFile{windows1251Lines(lines), utf8 ? QStringLiteral("был в UTF-8")
                                                   : QStringLiteral("были концы строк LF или CR")};
}

class FixCommand : public Command
{
public:
    FixCommand()
        : Command(QStringLiteral("fix"),
                  QStringLiteral("переписывает файлы данных в UTF-8 или с концами строк LF в "
                                 "Windows-1251 с CR LF"))
    {}

protected:
    void addOptions(QCommandLineParser &parser) override
    {
        parser.setApplicationDescription(
            QStringLiteral("переписывает в Windows-1251 с концами строк CR LF каждый файл данных, "
                           "что в UTF-8 (с BOM или без) или с концами строк LF или CR"));
        parser.addPositionalArgument(QStringLiteral("DIR"),
                                     QStringLiteral("папка данных рассказа (по умолчанию текущая)"),
                                     QStringLiteral("[DIR]"));
    }

    int execute(const QCommandLineParser &parser, const CommandContext &context) override
    {
        QTextStream &out = context.out;
        QTextStream &err = context.err;
        const QStringList positional = parser.positionalArguments();
        if (positional.size() > 1)
            return usageError(QStringLiteral("лишний аргумент %1").arg(positional.at(1)), err);
        const std::optional<QDir> treeDir = existingDir(positional.value(0), context);
        if (!treeDir)
            return ExitUsage;

        QList<Diagnostic> diagnostics;
        FileWrites writes;
        QList<std::pair<QString, QString>> rewritten; // path, reason
        try {
            for (const QString &path : treeFiles(*treeDir, diagnostics)) {
                const std::optional<FixedFile> fixed = fixedFile(*treeDir, path, diagnostics);
                if (fixed &&
                    writes.add(treeDir->filePath(path), fixed->bytes) == WriteOutcome::Written)
                    rewritten.append({path, fixed->reason});
            }
            writes.commit();
        } catch (const FileWriteError &e) {
            out.flush();
            err << kProgramName
                << QStringLiteral(" fix: не записан файл %1: %2; файлы остались как были")
                       .arg(treeDir->relativeFilePath(e.path), e.reason)
                << '\n';
            return ExitUsage;
        }
        for (const auto &[path, reason] : std::as_const(rewritten))
            out << QStringLiteral("переписан %1 (%2)").arg(path, reason) << '\n';
        out << QStringLiteral("переписано: %1")
                   .arg(countText(rewritten.size(), QStringLiteral("файл"), QStringLiteral("файла"),
                                  QStringLiteral("файлов")))
            << '\n';
        sortDiagnostics(diagnostics);
        return reportDiagnostics(diagnostics, out);
    }
};

} // namespace

std::shared_ptr<Command> fixCommand()
{
    return std::make_shared<FixCommand>();
}

} // namespace vorta::author
