// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tree_unpack.h"

#include "author/manuscript/manuscript.h"

#include "core/catalogue_file.h"
#include "core/finale_file.h"
#include "core/fragment_file.h"
#include "core/line_ends.h"
#include "core/settings_file.h"
#include "core/story_facts.h"
#include "core/story_tree.h"
#include "core/tree_paths.h"
#include "core/windows1251.h"
#include "format/qt_text.h"

#include "core/text.h"

#include <unordered_set>

namespace vorta::author {

namespace {

class Unpacker
{
public:
    explicit Unpacker(const DataTree &tree) : m_tree(tree) {}

    TreeUnpack run()
    {
        unpackSettings();
        std::unordered_set<std::u16string> done;
        for (const CatalogueEntry &entry : unpackCatalogue()) {
            if (done.insert(entry.dir).second)
                unpackGenre(entry);
        }
        sortDiagnostics(m_result.diagnostics);
        if (countOf(m_result.diagnostics, Severity::Error) > 0)
            m_result.files.clear();
        return std::move(m_result);
    }

private:
    void report(const StoryError &e, const std::u16string &path)
    {
        m_result.diagnostics.push_back(
            {e.file().empty() ? path : e.file(), e.line(), Severity::Error, errorText(e)});
    }
    void error(const std::u16string &path, int line, const QString &text)
    {
        m_result.diagnostics.push_back({path, line, Severity::Error, toU16(text)});
    }

    void unpackSettings()
    {
        try {
            const std::string bytes = m_tree.readBytes(kSettingsFile);
            if (bytes != settingsFileBytes(kDefaultWaitingPeriod, kDefaultSwitchProbability))
                m_result.files.append({toQString(kSettingsFile), toQByteArray(bytes)});
        } catch (const StoryError &e) {
            if (e.kind() != ErrorKind::FileNotFound)
                report(e, kSettingsFile);
        }
    }

    // The catalogue's lines as they stand, and its pairs as the program reads them. Blank lines
    // after the last pair are layout, as in a manuscript; one before it is an error at its line.
    std::vector<CatalogueEntry> unpackCatalogue()
    {
        std::vector<CatalogueEntry> entries;
        try {
            std::vector<std::u16string> lines = splitLines(m_tree.readText(kCatalogueFile));
            for (const int line : blankLinesInside(lines))
                m_result.diagnostics.push_back(
                    {kCatalogueFile, line, Severity::Error, blankCatalogueLineText()});
            lines.resize(linesBeforeTrailingBlanks(lines));
            std::string manuscript;
            std::u16string text;
            for (const std::u16string &line : lines) {
                manuscript += toUtf8(line) + '\n';
                text += line + u"\r\n";
            }
            m_result.files.append({kManuscriptCatalogue, toQByteArray(manuscript)});
            CatalogueReader reader(TextReader(text, kCatalogueFile));
            while (!reader.atEnd())
                entries.push_back(reader.next());
        } catch (const StoryError &e) {
            report(e, kCatalogueFile);
            return {};
        }
        return entries;
    }

    void unpackGenre(const CatalogueEntry &entry)
    {
        QStringList text{QStringLiteral("// Жанр «%1»: шаги «## N» (варианты через «---»), "
                                        "концовки «## %2: наименее, наиболее используемый жанр».")
                             .arg(toQString(entry.name), QString::number(kFinaleStep))};
        for (qint32 step = kFirstStep; step < kFinaleStep; ++step)
            unpackFragment(fragmentFilePath(entry.dir, step), step, text);
        unpackFinale(fragmentFilePath(entry.dir, kFinaleStep), text);
        QByteArray bytes;
        for (const QString &line : std::as_const(text))
            bytes += line.toUtf8() + '\n';
        m_result.files.append({toQString(entry.dir) + QStringLiteral(".txt"), bytes});
    }

    // Takes the lines of one variant or record, each as the manuscript writes it.
    StoryLineHandler lineTaker(QStringList &lines)
    {
        return [&lines](const std::u16string &line, int) {
            lines.append(toQString(line));
        };
    }

    void appendLines(const QStringList &lines, QStringList &text)
    {
        for (qsizetype i = 0; i < lines.size(); ++i)
            text.append(manuscriptLine(lines.at(i), i == 0 || i == lines.size() - 1));
    }

    void refuseNegative(const std::u16string &path, const CountedLines &lines)
    {
        if (lines.count() < 0)
            error(path, lines.countLine(),
                  QStringLiteral("число строк %1 меньше нуля").arg(*lines.count()));
    }

    void unpackFragment(const std::u16string &path, qint32 step, QStringList &text)
    {
        text << QString() << QStringLiteral("## %1").arg(step);
        try {
            FragmentReader reader(TextReader::open(m_tree, path));
            if (reader.variantCount() < 1)
                error(path, reader.variantCountLine(),
                      QStringLiteral("число вариантов %1: нужен хотя бы один")
                          .arg(reader.variantCount()));
            for (qint32 v = 1; v <= reader.variantCount(); ++v) {
                if (v > 1)
                    text << QStringLiteral("---");
                QStringList lines;
                reader.readVariant(lineTaker(lines));
                refuseNegative(path, reader.lines());
                appendLines(lines, text);
            }
            if (!reader.restIsBlank())
                m_result.diagnostics.push_back(
                    {path, reader.line(), Severity::Warning,
                     u"после последнего варианта есть ещё строки: программа их не читает, и в "
                     u"рукопись они не попадут"});
        } catch (const StoryError &e) {
            report(e, path);
        }
    }

    void unpackFinale(const std::u16string &path, QStringList &text)
    {
        try {
            FinaleReader reader(TextReader::open(m_tree, path));
            while (!reader.atEnd()) {
                const RecordPair pair = reader.readPair();
                if (!pair.leastUsedGenre || !pair.mostUsedGenre) {
                    error(path, reader.recordLine(),
                          QStringLiteral("номер жанра в записи концовки не число"));
                    return;
                }
                text << QString() << finaleHeading(*pair.leastUsedGenre, *pair.mostUsedGenre);
                QStringList lines;
                reader.readLines(lineTaker(lines));
                refuseNegative(path, reader.lines());
                appendLines(lines, text);
            }
        } catch (const StoryError &e) {
            report(e, path);
        }
    }

    DataTree m_tree;
    TreeUnpack m_result;
};

} // namespace

TreeUnpack unpackTree(const DataTree &tree)
{
    return Unpacker(tree).run();
}

} // namespace vorta::author
