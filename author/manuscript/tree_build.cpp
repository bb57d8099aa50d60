// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tree_build.h"

#include "author/manuscript/manuscript.h"

#include "core/finale_file.h"
#include "core/fragment_file.h"
#include "core/line_ends.h"
#include "core/settings_file.h"
#include "core/story_facts.h"
#include "core/tree_paths.h"
#include "core/windows1251.h"
#include "format/file_reader.h"
#include "format/folder_tree.h"
#include "format/qt_text.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <unordered_set>

namespace vorta::author {

namespace {

class Builder
{
public:
    Builder(const QDir &manuscriptDir, const QString &shownManuscript,
            const std::optional<QDir> &treeDir)
        : m_manuscript(manuscriptDir), m_shown(QDir::cleanPath(shownManuscript)), m_tree(treeDir)
    {}

    TreeBuild run()
    {
        buildSettings();
        const QList<CatalogueEntry> entries = buildCatalogue();
        std::unordered_set<std::u16string> built;
        for (const CatalogueEntry &entry : entries) {
            if (built.insert(entry.dir).second)
                buildGenre(entry);
        }
        sortDiagnostics(m_build.diagnostics);
        m_build.tree = DataTree(m_files);
        return std::move(m_build);
    }

private:
    QString shown(const QString &name) const
    {
        return m_shown == QLatin1String(".") ? name : m_shown + QLatin1Char('/') + name;
    }

    void error(const QString &path, int line, const QString &text)
    {
        m_build.diagnostics.push_back(diagnostic(path, line, Severity::Error, text));
    }

    std::optional<QByteArray> read(const QString &name, qint64 cap)
    {
        m_build.sourceFiles.append(name);
        try {
            return readCappedFile(m_manuscript.filePath(name), shown(name), cap);
        } catch (const StoryError &e) {
            error(shown(name), 0, toQString(errorText(e)));
            return std::nullopt;
        }
    }

    void addFile(const QString &path, const QByteArray &bytes, const QList<SourcePlace> &sources)
    {
        m_build.fileIndex.insert(path, m_build.files.size());
        m_build.files.append({path, bytes, sources});
        m_files->add(toU16(path), toBytes(bytes));
    }

    void buildSettings()
    {
        const QString settingsFile = toQString(kSettingsFile);
        if (QFileInfo::exists(m_manuscript.filePath(settingsFile))) {
            if (const std::optional<QByteArray> bytes = read(settingsFile, kSettingsFileCap)) {
                QList<SourcePlace> sources;
                const std::size_t lines =
                    lineSpans(std::string_view(bytes->data(), std::size_t(bytes->size()))).size();
                for (std::size_t line = 1; line <= lines; ++line)
                    sources.append({shown(settingsFile), int(line)});
                addFile(settingsFile, *bytes, sources);
            }
            return;
        }
        // The reader's settings, saved by the window, outlive every rebuild; the checks read
        // them where they are.
        if (m_tree && QFileInfo::exists(m_tree->filePath(settingsFile))) {
            try {
                m_files->add(kSettingsFile, folderTree(*m_tree).readBytes(kSettingsFile));
            } catch (const StoryError &e) {
                m_files->addFailure(kSettingsFile, e);
            }
            return;
        }
        addFile(settingsFile,
                toQByteArray(settingsFileBytes(kDefaultWaitingPeriod, kDefaultSwitchProbability)),
                {});
    }

    QList<CatalogueEntry> buildCatalogue()
    {
        const QString path = shown(kManuscriptCatalogue);
        const std::optional<QByteArray> bytes = read(kManuscriptCatalogue, kDataFileCap);
        if (!bytes)
            return {};
        const QList<SourceLine> lines =
            catalogueLines(manuscriptLines(*bytes, path, m_build.diagnostics, Comments::Told), path,
                           m_build.diagnostics);
        QList<SourcePlace> sources;
        std::vector<std::u16string> told;
        for (const SourceLine &line : lines) {
            sources.append({path, line.line});
            told.push_back(toU16(line.text));
        }
        addFile(toQString(kCatalogueFile), toQByteArray(windows1251Lines(told)), sources);
        return readCatalogue(lines, path, m_build.diagnostics);
    }

    void buildGenre(const CatalogueEntry &entry)
    {
        const QString name = toQString(entry.dir) + QStringLiteral(".txt");
        if (!QFileInfo::exists(m_manuscript.filePath(name))) {
            error(shown(kManuscriptCatalogue), entry.line,
                  QStringLiteral("нет рукописи жанра: %1").arg(shown(name)));
            return;
        }
        const std::optional<QByteArray> bytes = read(name, kDataFileCap);
        if (!bytes) {
            m_build.unreadGenres.append({shown(kManuscriptCatalogue), entry.line});
            return;
        }
        const QString path = shown(name);
        const GenreManuscript genre = parseGenreManuscript(*bytes, path, m_build.diagnostics);
        for (qint32 step = kFirstStep; step < kFinaleStep; ++step)
            buildFragment(toQString(fragmentFilePath(entry.dir, step)), path,
                          genre.steps[std::size_t(step)]);
        buildFinale(toQString(fragmentFilePath(entry.dir, kFinaleStep)), path, genre.records);
    }

    void buildFragment(const QString &file, const QString &path, const ManuscriptStep &step)
    {
        std::vector<std::vector<std::u16string>> variants;
        for (const ManuscriptVariant &variant : step.variants)
            variants.push_back(texts(variant.lines));
        QList<SourcePlace> sources;
        const std::string bytes = fragmentFileBytes(variants, [&](const WrittenLine &written) {
            if (written.part == 0) {
                sources.append({path, step.line});
                return;
            }
            const ManuscriptVariant &variant = step.variants.at(written.part - 1);
            sources.append(
                {path, written.line == 0 ? variant.line : variant.lines.at(written.line - 1).line});
        });
        addFile(file, toQByteArray(bytes), sources);
    }

    void buildFinale(const QString &file, const QString &path,
                     const QList<ManuscriptRecord> &records)
    {
        std::vector<FinaleRecordText> texts;
        for (const ManuscriptRecord &record : records)
            texts.push_back(
                {record.leastUsedGenre, record.mostUsedGenre, this->texts(record.lines)});
        QList<SourcePlace> sources;
        const std::string bytes = finaleFileBytes(texts, [&](const WrittenLine &written) {
            const ManuscriptRecord &record = records.at(written.part - 1);
            sources.append(
                {path, written.line == 0 ? record.line : record.lines.at(written.line - 1).line});
        });
        // An empty finale file still has a place to point at: the manuscript's first line.
        if (sources.isEmpty())
            sources.append({path, 1});
        addFile(file, toQByteArray(bytes), sources);
    }

    static std::vector<std::u16string> texts(const QList<SourceLine> &lines)
    {
        std::vector<std::u16string> result;
        for (const SourceLine &line : lines)
            result.push_back(toU16(line.text));
        return result;
    }

    QDir m_manuscript;
    QString m_shown;
    std::optional<QDir> m_tree;
    std::shared_ptr<MemoryTree> m_files = std::make_shared<MemoryTree>();
    TreeBuild m_build;
};

} // namespace

bool TreeBuild::madeCatalogue() const
{
    return fileIndex.contains(toQString(kCatalogueFile));
}

std::optional<SourcePlace> TreeBuild::sourceOf(const QString &path, int line) const
{
    const auto found = fileIndex.constFind(path);
    if (found == fileIndex.cend() || files.at(*found).sources.isEmpty())
        return std::nullopt;
    const QList<SourcePlace> &sources = files.at(*found).sources;
    // A place past the last line (an end of file) belongs to the last one.
    return sources.at(qBound(qsizetype(0), qsizetype(line) - 1, sources.size() - 1));
}

TreeBuild buildTree(const QDir &manuscriptDir, const QString &shownManuscript,
                    const std::optional<QDir> &treeDir)
{
    return Builder(manuscriptDir, shownManuscript, treeDir).run();
}

std::vector<Diagnostic> atManuscriptLines(const std::vector<Diagnostic> &treeDiagnostics,
                                          const TreeBuild &build, const QString &shownTree)
{
    std::vector<Diagnostic> moved;
    for (Diagnostic diagnostic : treeDiagnostics) {
        if (const std::optional<SourcePlace> source =
                build.sourceOf(toQString(diagnostic.path), diagnostic.line)) {
            diagnostic.path = toU16(source->path);
            diagnostic.line = source->line;
        } else if (QDir::cleanPath(shownTree) != QLatin1String(".")) {
            diagnostic.path =
                toU16(QDir::cleanPath(shownTree) + QLatin1Char('/')) + diagnostic.path;
        }
        moved.push_back(std::move(diagnostic));
    }
    sortDiagnostics(moved);
    return moved;
}

std::vector<Diagnostic> withTreeFindings(const TreeBuild &build,
                                         const std::vector<Diagnostic> &treeDiagnostics,
                                         const QString &shownTree)
{
    QSet<QString> withErrors;
    for (const Diagnostic &diagnostic : build.diagnostics) {
        if (diagnostic.severity == Severity::Error)
            withErrors.insert(toQString(diagnostic.path));
    }
    auto atUnreadGenre = [&build](const Diagnostic &diagnostic) {
        return std::any_of(build.unreadGenres.cbegin(), build.unreadGenres.cend(),
                           [&diagnostic](const SourcePlace &place) {
                               return toU16(place.path) == diagnostic.path &&
                                      place.line == diagnostic.line;
                           });
    };
    std::vector<Diagnostic> all = build.diagnostics;
    for (const Diagnostic &diagnostic : atManuscriptLines(treeDiagnostics, build, shownTree)) {
        if (diagnostic.severity != Severity::Error ||
            (!withErrors.contains(toQString(diagnostic.path)) && !atUnreadGenre(diagnostic)))
            all.push_back(diagnostic);
    }
    sortDiagnostics(all);
    return all;
}

} // namespace vorta::author
