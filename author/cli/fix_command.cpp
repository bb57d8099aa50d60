#include "author/check/byte_checks.h"
#include "author/cli/commands.h"
#include "author/cli/file_writes.h"
#include "author/report/plural.h"

#include "format/data_tree.h"
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
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes.at(i) == '\n')
            return true;
        if (bytes.at(i) == '\r') {
            if (i + 1 >= bytes.size() || bytes.at(i + 1) != '\n')
                return true;
            ++i;
        }
    }
    return false;
}

// The files a tree holds: its settings and every .vtq file under Genres/.
QStringList treeFiles(const QDir &treeDir)
{
    QStringList files;
    if (QFileInfo(treeDir.filePath(kSettingsFile)).isFile())
        files.append(kSettingsFile);
    // Only the program's files: an editor's backup or a note beside them is left alone.
    QDirIterator it(treeDir.filePath(kGenresFolder), {QStringLiteral("*.vtq")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(treeDir.relativeFilePath(it.next()));
    std::sort(files.begin(), files.end(), pathLess);
    return files;
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
        int rewritten = 0;
        for (const QString &path : treeFiles(*treeDir)) {
            QByteArray bytes;
            try {
                bytes = DataTree(*treeDir).readBytes(path);
            } catch (const StoryError &e) {
                diagnostics.append({path, 0, Severity::Error, errorText(e)});
                continue;
            }
            const bool utf8 =
                bytes.startsWith(kByteOrderMark) || checkFileBytes(path, bytes).looksLikeUtf8;
            if (!utf8 && !hasBareLineEnds(bytes))
                continue;
            const QStringList lines = splitLines(
                utf8 ? QStringDecoder(QStringDecoder::Utf8)
                           .decode(bytes.startsWith(kByteOrderMark) ? bytes.mid(3) : bytes)
                     : decodeWindows1251(bytes));
            bool encodable = true;
            for (qsizetype i = 0; i < lines.size() && encodable; ++i) {
                if (const std::optional<qsizetype> at = firstUnencodable(lines.at(i))) {
                    diagnostics.append({path, int(i) + 1, Severity::Error,
                                        QStringLiteral("у знака %1 нет формы в кодировке "
                                                       "Windows-1251: файл оставлен как был")
                                            .arg(characterName(lines.at(i), *at))});
                    encodable = false;
                }
            }
            if (!encodable)
                continue;
            const QByteArray fixed = windows1251Lines(lines);
            try {
                writeIfChanged(treeDir->filePath(path), fixed);
            } catch (const FileWriteError &e) {
                out.flush();
                err << kProgramName
                    << QStringLiteral(" fix: не записан файл %1: %2").arg(path, e.reason) << '\n';
                return ExitUsage;
            }
            out << QStringLiteral("переписан %1 (%2)")
                       .arg(path, utf8 ? QStringLiteral("был в UTF-8")
                                       : QStringLiteral("были концы строк LF или CR"))
                << '\n';
            ++rewritten;
        }
        out << QStringLiteral("переписано: %1")
                   .arg(countText(rewritten, QStringLiteral("файл"), QStringLiteral("файла"),
                                  QStringLiteral("файлов")))
            << '\n';
        return reportDiagnostics(diagnostics, out);
    }
};

} // namespace

std::shared_ptr<Command> fixCommand()
{
    return std::make_shared<FixCommand>();
}

} // namespace vorta::author
