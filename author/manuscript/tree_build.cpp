#include "tree_build.h"

#include "author/manuscript/manuscript.h"
#include "format/windows1251.h"

#include "engine/data_files.h"
#include "engine/story_state.h"
#include "engine/story_step.h"
#include "format/file_reader.h"
#include "format/story_error.h"

#include <QSet>

namespace vorta::author {

namespace {

constexpr qint32 kDefaultWaitingPeriod = 2;
constexpr qint32 kDefaultSwitchProbability = 5;

class Builder
{
public:
    Builder(const QDir &manuscriptDir, const QString &shownManuscript, const QDir &treeDir)
        : m_manuscript(manuscriptDir), m_shown(QDir::cleanPath(shownManuscript)), m_tree(treeDir)
    {}

    TreeBuild run()
    {
        buildSettings();
        const QList<CatalogueEntry> entries = buildCatalogue();
        QSet<QString> built;
        for (const CatalogueEntry &entry : entries) {
            if (built.contains(entry.dir))
                continue;
            built.insert(entry.dir);
            buildGenre(entry);
        }
        sortDiagnostics(m_build.diagnostics);
        if (countOf(m_build.diagnostics, Severity::Error) > 0)
            m_build.files.clear();
        return std::move(m_build);
    }

private:
    QString shown(const QString &name) const
    {
        return m_shown == QLatin1String(".") ? name : m_shown + QLatin1Char('/') + name;
    }

    void error(const QString &path, int line, const QString &text)
    {
        m_build.diagnostics.append({path, line, Severity::Error, text});
    }

    std::optional<QByteArray> read(const QString &name, qint64 cap)
    {
        try {
            return readCappedFile(m_manuscript.filePath(name), shown(name), cap);
        } catch (const StoryError &e) {
            error(shown(name), 0, errorText(e));
            return std::nullopt;
        }
    }

    void buildSettings()
    {
        if (QFileInfo::exists(m_manuscript.filePath(kSettingsFile))) {
            if (const std::optional<QByteArray> bytes = read(kSettingsFile, kSettingsFileCap)) {
                QList<SourcePlace> sources;
                for (int line = 1; line <= bytes->count('\n'); ++line)
                    sources.append({shown(kSettingsFile), line});
                m_build.files.append({kSettingsFile, *bytes, sources});
            }
            return;
        }
        // The reader's settings, saved by the window, outlive every rebuild.
        if (QFileInfo::exists(m_tree.filePath(kSettingsFile)))
            return;
        m_build.files.append({kSettingsFile,
                              settingsFileBytes(kDefaultWaitingPeriod, kDefaultSwitchProbability),
                              {}});
    }

    QList<CatalogueEntry> buildCatalogue()
    {
        const QString path = shown(kManuscriptCatalogue);
        const std::optional<QByteArray> bytes = read(kManuscriptCatalogue, kDataFileCap);
        if (!bytes)
            return {};
        const std::optional<QStringList> lines =
            manuscriptLines(*bytes, path, m_build.diagnostics, Comments::Told);
        if (!lines)
            return {};
        // Blank lines that an editor leaves at the end would read as one more genre that never
        // comes, so they are layout here.
        qsizetype end = lines->size();
        while (end > 0 && isBlank(lines->at(end - 1)))
            --end;
        FileText file;
        for (qsizetype i = 0; i < end; ++i)
            file.addLine(lines->at(i), {path, int(i) + 1});
        m_build.files.append({kCatalogueFile, file.bytes, file.sources});

        return readCatalogue(decodeWindows1251(file.bytes), path, m_build.diagnostics);
    }

    void buildGenre(const CatalogueEntry &entry)
    {
        const QString name = entry.dir + QStringLiteral(".txt");
        if (!QFileInfo::exists(m_manuscript.filePath(name))) {
            error(shown(kManuscriptCatalogue), entry.line,
                  QStringLiteral("нет рукописи жанра: %1").arg(shown(name)));
            return;
        }
        const std::optional<QByteArray> bytes = read(name, kDataFileCap);
        if (!bytes)
            return;
        const QString path = shown(name);
        const GenreManuscript genre = parseGenreManuscript(*bytes, path, m_build.diagnostics);
        const QString genreDir = QStringLiteral("Genres/") + entry.dir + QLatin1Char('/');
        for (qint32 step = 1; step < kFinaleStep; ++step) {
            const ManuscriptStep &source = genre.steps[std::size_t(step)];
            FileText file;
            file.addLine(QString::number(source.variants.size()), {path, source.line});
            for (const ManuscriptVariant &variant : source.variants) {
                file.addLine(QString::number(variant.lines.size()), {path, variant.line});
                for (const SourceLine &line : variant.lines)
                    file.addLine(line.text, {path, line.line});
            }
            m_build.files.append({genreDir + QString::number(step) + QStringLiteral(".vtq"),
                                  file.bytes, file.sources});
        }
        FileText finale;
        for (const ManuscriptRecord &record : genre.records) {
            finale.addLine(QString::number(record.leastUsedGenre), {path, record.line});
            finale.addLine(QString::number(record.mostUsedGenre), {path, record.line});
            finale.addLine(QString::number(record.lines.size()), {path, record.line});
            for (const SourceLine &line : record.lines)
                finale.addLine(line.text, {path, line.line});
        }
        // An empty finale file still has a place to point at: the manuscript's first line.
        if (finale.sources.isEmpty())
            finale.sources.append({path, 1});
        m_build.files.append({genreDir + QStringLiteral("65.vtq"), finale.bytes, finale.sources});
    }

    QDir m_manuscript;
    QString m_shown;
    QDir m_tree;
    TreeBuild m_build;
};

} // namespace

void FileText::addLine(const QString &text, const SourcePlace &source)
{
    bytes += encodeWindows1251(text);
    bytes += "\r\n";
    sources.append(source);
}

TreeBuild buildTree(const QDir &manuscriptDir, const QString &shownManuscript, const QDir &treeDir)
{
    return Builder(manuscriptDir, shownManuscript, treeDir).run();
}

QList<Diagnostic> atManuscriptLines(const QList<Diagnostic> &treeDiagnostics,
                                    const QList<BuiltFile> &files, const QString &shownTree)
{
    QHash<QString, const BuiltFile *> byPath;
    for (const BuiltFile &file : files)
        byPath.insert(file.path, &file);
    QList<Diagnostic> moved;
    for (Diagnostic diagnostic : treeDiagnostics) {
        const BuiltFile *file = byPath.value(diagnostic.path);
        if (file && !file->sources.isEmpty()) {
            // A finding past the last line (an end of file) belongs to the last one.
            const qsizetype index =
                qBound(qsizetype(0), qsizetype(diagnostic.line) - 1, file->sources.size() - 1);
            diagnostic.path = file->sources.at(index).path;
            diagnostic.line = file->sources.at(index).line;
        } else if (QDir::cleanPath(shownTree) != QLatin1String(".")) {
            diagnostic.path = QDir::cleanPath(shownTree) + QLatin1Char('/') + diagnostic.path;
        }
        moved.append(diagnostic);
    }
    sortDiagnostics(moved);
    return moved;
}

} // namespace vorta::author
