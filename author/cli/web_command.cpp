// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "author/cli/commands.h"
#include "author/cli/file_writes.h"
#include "author/cli/page_sources.h"
#include "author/cli/story_input.h"
#include "author/cli/story_publication.h"
#include "author/manuscript/manuscript.h"
#include "author/report/plural.h"

#include "format/file_reader.h"
#include "format/qt_text.h"
#include "format/story_file.h"
#include "format/story_file_writer.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

namespace vorta::author {

namespace {

// The names the page asks for, as its script and its service worker know them.
const QString kPageStoryFile = QStringLiteral("story.vorta");
const QString kManifestFile = QStringLiteral("manifest.webmanifest");
const QStringList kPageFiles{QStringLiteral("index.html"), QStringLiteral("page.js"),
                             QStringLiteral("page.css"), QStringLiteral("service-worker.js")};
const QStringList kModuleFiles{QStringLiteral("vorta-core.js"), QStringLiteral("vorta-core.wasm")};
// The program's icon, a resource of this program: its name in the page, and where it is kept.
const QList<std::pair<QString, QString>> kIcons{
    {QStringLiteral("icon.svg"), QStringLiteral(":/vorta-author/web/io.github.vorta.Vorta.svg")},
    {QStringLiteral("icon-128.png"),
     QStringLiteral(":/vorta-author/web/128x128/io.github.vorta.Vorta.png")},
    {QStringLiteral("icon-256.png"),
     QStringLiteral(":/vorta-author/web/256x256/io.github.vorta.Vorta.png")},
};
// Marks a folder that web wrote, which a later run may write again.
const QString kStampFile = QStringLiteral(".vorta-web");
const QByteArray kStamp = "Эту папку записал vorta-author web; он же перепишет её для новой версии "
                          "рассказа.\n";
// The page's language, whatever its manifest's template says.
const QString kPageLanguage = QStringLiteral("ru");

struct PageFile
{
    QString name;
    QByteArray bytes;
};

// A page's file that cannot be had says where it should come from.
struct MissingPageFile
{
    QString text;
};

QByteArray pageFile(const QString &folder, const QString &name, const PageSources &sources)
{
    const QString path = QDir(folder).filePath(name);
    try {
        return readCappedFile(path, path, kDataFileCap);
    } catch (const StoryError &e) {
        if (e.kind() != ErrorKind::FileNotFound)
            throw MissingPageFile{toQString(errorText(e))};
        if (sources.installed)
            throw MissingPageFile{QStringLiteral("нет файла страницы %1: установка программы "
                                                 "неполна, переустановите пакет vorta")
                                      .arg(path)};
        if (kModuleFiles.contains(name))
            throw MissingPageFile{QStringLiteral("нет модуля рассказа %1: его собирает пресет "
                                                 "web (cmake --preset web && cmake --build "
                                                 "--preset web)")
                                      .arg(path)};
        throw MissingPageFile{QStringLiteral("нет файла страницы %1").arg(path)};
    }
}

// The page's manifest: its template with the story's title and the page's language.
QByteArray manifest(const QByteArray &pageTemplate, const QString &path, const QString &title)
{
    QJsonParseError error;
    QJsonObject object = QJsonDocument::fromJson(pageTemplate, &error).object();
    if (error.error != QJsonParseError::NoError)
        throw MissingPageFile{QStringLiteral("файл страницы %1 не читается как JSON: %2")
                                  .arg(path, error.errorString())};
    object.insert(QStringLiteral("name"), title);
    object.insert(QStringLiteral("lang"), kPageLanguage);
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

// Every file of the page, in the order they are put in place: the story and the module before
// the page that loads them.
QList<PageFile> pageFiles(const StoryMetadata &metadata, const std::vector<StoryFileEntry> &files)
{
    const PageSources sources = pageSources();
    QList<PageFile> page{{kPageStoryFile, storyFileBytes(kPageStoryFile, metadata, files)}};
    for (const QString &name : kModuleFiles)
        page.append({name, pageFile(sources.moduleDir, name, sources)});
    for (const auto &[name, resource] : kIcons) {
        QFile icon(resource);
        icon.open(QIODevice::ReadOnly); // built into the program: it always opens
        page.append({name, icon.readAll()});
    }
    page.append(
        {kManifestFile, manifest(pageFile(sources.pageDir, kManifestFile, sources),
                                 QDir(sources.pageDir).filePath(kManifestFile), metadata.title)});
    for (const QString &name : kPageFiles)
        page.append({name, pageFile(sources.pageDir, name, sources)});
    page.append({kStampFile, kStamp});
    return page;
}

class WebCommand : public Command
{
public:
    WebCommand()
        : Command(QStringLiteral("web"),
                  QStringLiteral("пишет папку страницы, где рассказ читают в браузере"))
    {}

protected:
    void addOptions(QCommandLineParser &parser) override
    {
        parser.addOption(m_output);
        parser.addPositionalArgument(
            QStringLiteral("STORY"),
            QStringLiteral("папка рукописи (с genres.txt и %1) или файл рассказа .%2")
                .arg(kStoryMetadataFile, kStoryFileSuffix));
    }

    int execute(const QCommandLineParser &parser, const CommandContext &context) override
    {
        const QStringList positional = parser.positionalArguments();
        if (positional.isEmpty())
            return usageError(QStringLiteral("не задан рассказ"), context.err);
        if (positional.size() > 1)
            return usageError(QStringLiteral("лишний аргумент %1").arg(positional.at(1)),
                              context.err);
        std::optional<StoryPublication> story = published(positional.at(0), context);
        if (!story)
            return ExitUsage;
        if (story->refused())
            return reportDiagnostics(story->diagnostics, context.out);
        const StoryMetadata &metadata = *story->metadata;

        const QString output =
            parser.isSet(m_output)
                ? parser.value(m_output)
                : QStringLiteral("%1-%2-web").arg(metadata.identifier, metadata.version);
        const QDir folder(context.workingDir.filePath(output));
        if (const std::optional<QString> refusal = foreignFolder(folder, output))
            return usageError(*refusal, context.err);

        int written = 0;
        qsizetype total = 0;
        try {
            const QList<PageFile> page = pageFiles(metadata, story->files);
            total = page.size();
            FileWrites writes;
            for (const PageFile &file : page) {
                if (writes.add(folder.filePath(file.name), file.bytes) == WriteOutcome::Written)
                    ++written;
            }
            writes.commit();
        } catch (const MissingPageFile &e) {
            return failure(e.text, context);
        } catch (const StoryError &e) {
            return failure(toQString(errorText(e)), context);
        } catch (const FileWriteError &e) {
            return failure(QStringLiteral("не записан файл %1: %2").arg(e.path, e.reason), context);
        }
        context.out << QStringLiteral("страница %1: «%2», версия %3; записано %4 из %5")
                           .arg(output, metadata.title, metadata.version,
                                countText(written, QStringLiteral("файл"), QStringLiteral("файла"),
                                          QStringLiteral("файлов")))
                           .arg(total)
                    << '\n'
                    << QStringLiteral("её отдаёт любой веб-сервер; для пробы: python3 -m "
                                      "http.server -d %1, затем http://localhost:8000/")
                           .arg(output)
                    << '\n';
        return reportDiagnostics(story->diagnostics, context.out);
    }

private:
    // The story as pack would publish it: a manuscript or a story file. A tree has no metadata
    // to title the page with, and a path that leads nowhere is a usage error: none then.
    std::optional<StoryPublication> published(const QString &shown,
                                              const CommandContext &context) const
    {
        const QString fullPath = context.workingDir.filePath(shown);
        if (isStoryFilePath(fullPath)) {
            try {
                return publishStoryFile(StoryInput::fromStoryFile(fullPath, shown));
            } catch (const StoryError &e) {
                return StoryPublication{
                    {}, {}, {{e.file(), e.line(), Severity::Error, errorText(e)}}, {}};
            }
        }
        const std::optional<QDir> folder = existingDir(shown, context);
        if (!folder)
            return std::nullopt;
        if (!QFileInfo(folder->filePath(kManuscriptCatalogue)).isFile()) {
            usageError(QStringLiteral("%1 — папка данных рассказа, а в ней нет сведений о "
                                      "рассказе (%2), без которых нет страницы: задайте папку "
                                      "рукописи с %2 или файл рассказа .%3")
                           .arg(QDir::cleanPath(shown), kStoryMetadataFile, kStoryFileSuffix),
                       context.err);
            return std::nullopt;
        }
        return publishManuscript(*folder, QDir::cleanPath(shown));
    }

    // Why the folder may not be written: it holds files, and web did not write it.
    std::optional<QString> foreignFolder(const QDir &folder, const QString &shown) const
    {
        const QFileInfo info(folder.path());
        if (info.exists() && !info.isDir())
            return QStringLiteral("%1 — не папка").arg(shown);
        const QStringList present =
            folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        if (present.isEmpty() || present.contains(kStampFile))
            return std::nullopt;
        return QStringLiteral("папка %1 не пуста (%2), и её писал не web (в ней нет %3): "
                              "страница пишется в новую или пустую папку или поверх прежней "
                              "страницы, чтобы не затереть чужие файлы")
            .arg(shown,
                 countText(present.size(), QStringLiteral("файл"), QStringLiteral("файла"),
                           QStringLiteral("файлов")),
                 kStampFile);
    }

    int failure(const QString &text, const CommandContext &context) const
    {
        context.out.flush();
        context.err << kProgramName << QStringLiteral(" web: ") << text << '\n';
        return ExitUsage;
    }

    const QCommandLineOption m_output{
        {QStringLiteral("o"), QStringLiteral("output")},
        QStringLiteral("папка страницы (по умолчанию <identifier>-<version>-web в текущей папке): "
                       "новая, пустая или записанная web прежде"),
        QStringLiteral("DIR")};
};

} // namespace

std::shared_ptr<Command> webCommand()
{
    return std::make_shared<WebCommand>();
}

} // namespace vorta::author
