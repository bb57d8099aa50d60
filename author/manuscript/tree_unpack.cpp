#include "tree_unpack.h"

#include "author/manuscript/manuscript.h"
#include "format/windows1251.h"

#include "engine/data_files.h"
#include "engine/fragments.h"
#include "engine/numbers.h"
#include "engine/story_state.h"
#include "engine/story_step.h"
#include "format/file_reader.h"
#include "format/story_error.h"

#include <QSet>

namespace vorta::author {

namespace {

class Unpacker
{
public:
    explicit Unpacker(const QDir &treeDir) : m_tree(treeDir) {}

    TreeUnpack run()
    {
        unpackSettings();
        StoryState catalogue;
        if (unpackCatalogue(catalogue)) {
            QSet<QString> done;
            for (qint32 g = 1; g <= catalogue.genreCount; ++g) {
                const QString dir = element(catalogue.genreDirs, g);
                if (done.contains(dir))
                    continue;
                done.insert(dir);
                unpackGenre(catalogue, g);
            }
        }
        sortDiagnostics(m_result.diagnostics);
        if (countOf(m_result.diagnostics, Severity::Error) > 0)
            m_result.files.clear();
        return std::move(m_result);
    }

private:
    void report(const StoryError &e, const QString &path)
    {
        m_result.diagnostics.append(
            {e.file().isEmpty() ? path : e.file(), e.line(), Severity::Error, errorText(e)});
    }
    void error(const QString &path, int line, const QString &text)
    {
        m_result.diagnostics.append({path, line, Severity::Error, text});
    }

    void unpackSettings()
    {
        try {
            const QByteArray bytes = readDataFile(m_tree, kSettingsFile);
            if (bytes != settingsFileBytes(2, 5))
                m_result.files.append({kSettingsFile, bytes});
        } catch (const StoryError &e) {
            if (e.kind() != ErrorKind::FileNotFound)
                report(e, kSettingsFile);
        }
    }

    bool unpackCatalogue(StoryState &catalogue)
    {
        try {
            const QStringList lines =
                splitLines(decodeWindows1251(readDataFile(m_tree, kCatalogueFile)));
            QByteArray text;
            for (const QString &line : lines)
                text += line.toUtf8() + '\n';
            m_result.files.append({kManuscriptCatalogue, text});
            loadCatalogue(catalogue, m_tree);
            return true;
        } catch (const StoryError &e) {
            report(e, kCatalogueFile);
            return false;
        }
    }

    void unpackGenre(const StoryState &catalogue, qint32 genre)
    {
        const QString dir = element(catalogue.genreDirs, genre);
        QStringList text{QStringLiteral("// Жанр «%1»: шаги «## N» (варианты через «---»), "
                                        "концовки «## 65: наименее, наиболее используемый жанр».")
                             .arg(element(catalogue.genreNames, genre))};
        for (qint32 step = 1; step < kFinaleStep; ++step)
            unpackFragment(fragmentPath(catalogue, genre, step), step, text);
        unpackFinale(fragmentPath(catalogue, genre, kFinaleStep), text);
        QByteArray bytes;
        for (const QString &line : std::as_const(text))
            bytes += line.toUtf8() + '\n';
        m_result.files.append({dir + QStringLiteral(".txt"), bytes});
    }

    void appendLines(const QStringList &lines, QStringList &text)
    {
        for (qsizetype i = 0; i < lines.size(); ++i)
            text.append(manuscriptLine(lines.at(i), i == 0 || i == lines.size() - 1));
    }

    QStringList readLines(TextReader &reader, const QString &path)
    {
        const int countLine = reader.line();
        const qint32 count = reader.readCount();
        if (count < 0)
            error(path, countLine, QStringLiteral("число строк %1 меньше нуля").arg(count));
        QStringList lines;
        for (qint32 j = 0; j < count; ++j)
            lines.append(reader.readLine());
        return lines;
    }

    void unpackFragment(const QString &path, qint32 step, QStringList &text)
    {
        text << QString() << QStringLiteral("## %1").arg(step);
        try {
            TextReader reader = TextReader::open(m_tree, path);
            const int countLine = reader.line();
            const qint32 variants = reader.readCount();
            if (variants < 1)
                error(path, countLine,
                      QStringLiteral("число вариантов %1: нужен хотя бы один").arg(variants));
            for (qint32 v = 1; v <= variants; ++v) {
                if (v > 1)
                    text << QStringLiteral("---");
                appendLines(readLines(reader, path), text);
            }
            if (!reader.atEndAfterBlankLines())
                m_result.diagnostics.append(
                    {path, reader.line(), Severity::Warning,
                     QStringLiteral("после последнего варианта есть ещё строки: программа их не "
                                    "читает, и в рукопись они не попадут")});
        } catch (const StoryError &e) {
            report(e, path);
        }
    }

    void unpackFinale(const QString &path, QStringList &text)
    {
        try {
            TextReader reader = TextReader::open(m_tree, path);
            while (!reader.atEndAfterBlankLines()) {
                const int line = reader.line();
                const std::optional<qint64> least = reader.readIndex();
                const std::optional<qint64> most = reader.readIndex();
                if (!least || !most) {
                    error(path, line, QStringLiteral("номер жанра в записи концовки не число"));
                    return;
                }
                text << QString() << finaleHeading(*least, *most);
                appendLines(readLines(reader, path), text);
            }
        } catch (const StoryError &e) {
            report(e, path);
        }
    }

    QDir m_tree;
    TreeUnpack m_result;
};

} // namespace

TreeUnpack unpackTree(const QDir &treeDir)
{
    return Unpacker(treeDir).run();
}

} // namespace vorta::author
