// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "author/cli/commands.h"
#include "author/cli/file_writes.h"
#include "author/report/plural.h"
#include "core/byte_checks.h"

#include "core/line_ends.h"
#include "core/story_tree.h"
#include "core/text.h"
#include "core/tree_paths.h"
#include "core/windows1251.h"
#include "format/folder_tree.h"
#include "format/qt_text.h"

#include <QDirIterator>

namespace vorta::author {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// A line end other than CR LF: a LF alone or a CR alone.
bool hasBareLineEnds(std::string_view bytes)
{
    const std::vector<LineSpan> spans = lineSpans(bytes);
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
QStringList treeFiles(const QDir &treeDir, std::vector<Diagnostic> &notes)
{
    QStringList files;
    auto take = [&](const QString &path, bool settings) {
        if (const std::optional<QString> why =
                leftAlone(QFileInfo(treeDir.filePath(path)), settings))
            notes.push_back(
                diagnostic(path, 0, Severity::Note, QStringLiteral("оставлен как есть: ") + *why));
        else
            files.append(path);
    };
    const QFileInfo settings(treeDir.filePath(toQString(kSettingsFile)));
    if (settings.exists() || settings.isSymLink())
        take(toQString(kSettingsFile), true);
    // Only the program's files: an editor's backup or a note beside them is left alone. Name
    // filters ignore case, so the case is judged by leftAlone.
    QDirIterator it(treeDir.filePath(toQString(kGenresFolder)), {QStringLiteral("*.vtq")},
                    QDir::Files | QDir::System | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        take(treeDir.relativeFilePath(it.next()), false);
    std::sort(files.begin(), files.end(),
              [](const QString &a, const QString &b) { return pathLess(toU16(a), toU16(b)); });
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
                                   std::vector<Diagnostic> &diagnostics)
{
    const std::u16string treePath = toU16(path);
    std::string bytes;
    try {
        bytes = folderTree(treeDir).readBytes(treePath);
    } catch (const StoryError &e) {
        diagnostics.push_back({treePath, 0, Severity::Error, errorText(e)});
        return std::nullopt;
    }
    const bool bom = std::string_view(bytes).substr(0, kByteOrderMark.size()) == kByteOrderMark;
    const bool utf8 = bom || checkFileBytes(treePath, bytes).looksLikeUtf8;
    if (!utf8 && !hasBareLineEnds(bytes))
        return std::nullopt;
    const std::u16string text =
        utf8 ? fromUtf8(std::string_view(bytes).substr(bom ? 3 : 0)) : decodeWindows1251(bytes);
    const std::vector<std::u16string> lines = splitLines(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (const std::optional<std::size_t> at = firstUnencodable(lines[i])) {
            diagnostics.push_back(
                {treePath, int(i) + 1, Severity::Error,
                 u"у знака " + characterName(lines[i], *at) +
                     u" нет формы в кодировке Windows-1251: файл оставлен как был"});
            return std::nullopt;
        }
    }
    return FixedFile{toQByteArray(windows1251Lines(lines)),
                     utf8 ? QStringLiteral("был в UTF-8")
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

        std::vector<Diagnostic> diagnostics;
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
