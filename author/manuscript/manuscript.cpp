// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "manuscript.h"

#include "core/catalogue_file.h"
#include "core/line_ends.h"
#include "core/numbers.h"
#include "core/story_facts.h"
#include "core/text_reader.h"
#include "core/windows1251.h"
#include "format/qt_text.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <limits>

namespace vorta::author {

namespace {

const QString kSeparator = QStringLiteral("---");
const QString kHeadingStart = QStringLiteral("## ");
const QString kCommentStart = QStringLiteral("//");
constexpr QChar kEscape = QLatin1Char('\\');

QString withoutTrailingBlanks(QString line)
{
    while (!line.isEmpty() && (line.back() == QLatin1Char(' ') || line.back() == QLatin1Char('\t')))
        line.chop(1);
    return line;
}

bool isSeparator(const QString &line)
{
    return withoutTrailingBlanks(line) == kSeparator;
}

std::optional<qint32> wholeNumber(const QString &text)
{
    const std::optional<qint64> value = parseInteger(toU16(text));
    if (!value || *value < std::numeric_limits<qint32>::min() ||
        *value > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(*value);
}

// A story line as the manuscript holds it, before the edges of its variant are known.
struct PendingLine
{
    SourceLine source;
    bool escaped = false;
};

// Blank lines at the edges of a variant or record are layout.
QList<SourceLine> toldLines(const QList<PendingLine> &pending)
{
    auto layout = [](const PendingLine &l) {
        return !l.escaped && isBlank(l.source.text);
    };
    qsizetype first = 0;
    qsizetype end = pending.size();
    while (first < end && layout(pending.at(first)))
        ++first;
    while (end > first && layout(pending.at(end - 1)))
        --end;
    QList<SourceLine> lines;
    for (qsizetype i = first; i < end; ++i)
        lines.append(pending.at(i).source);
    return lines;
}

class ManuscriptParser
{
public:
    ManuscriptParser(QString shownPath, std::vector<Diagnostic> &diagnostics)
        : m_path(std::move(shownPath)), m_diagnostics(diagnostics)
    {}

    GenreManuscript parse(const QStringList &lines)
    {
        for (qsizetype i = 0; i < lines.size(); ++i)
            take(lines.at(i), int(i) + 1);
        finishBlock();
        QStringList missing;
        for (int step = kFirstStep; step < kFinaleStep; ++step) {
            if (m_result.steps[std::size_t(step)].line == 0)
                missing.append(QString::number(step));
        }
        if (!missing.isEmpty())
            error(1,
                  QStringLiteral("нет %1 %2: каждый шаг %3..%4 пишется один раз, «## N»")
                      .arg(missing.size() == 1 ? QStringLiteral("шага") : QStringLiteral("шагов"),
                           missing.join(QStringLiteral(", ")))
                      .arg(kFirstStep)
                      .arg(kLastStep));
        checkIqStep();
        return std::move(m_result);
    }

private:
    enum class Block
    {
        None,    // before the first heading
        Step,    // the variants of a step
        Record,  // a finale record
        Ignored, // under a heading in error
    };

    void add(int line, Severity severity, const QString &text)
    {
        m_diagnostics.push_back(diagnostic(m_path, line, severity, text));
    }
    void error(int line, const QString &text) { add(line, Severity::Error, text); }

    void take(const QString &line, int number)
    {
        if (line.startsWith(kCommentStart))
            return;
        if (line.startsWith(kHeadingStart)) {
            finishBlock();
            heading(withoutTrailingBlanks(line), number);
            return;
        }
        if (isSeparator(line)) {
            if (m_block == Block::Step) {
                finishVariant();
                m_variantLine = number;
            } else if (m_block == Block::Record) {
                error(number, QStringLiteral("у концовки нет вариантов: «---» здесь не к месту; "
                                             "строка текста «---» пишется как «\\---»"));
            } else if (m_block == Block::None) {
                textBeforeHeading(number);
            }
            return;
        }
        const bool escaped = line.startsWith(kEscape);
        if (m_block == Block::None) {
            if (!isBlank(line))
                textBeforeHeading(number);
            return;
        }
        m_pending.append({{escaped ? line.mid(1) : line, number}, escaped});
    }

    void textBeforeHeading(int number)
    {
        if (m_reportedTextBeforeHeading)
            return;
        m_reportedTextBeforeHeading = true;
        error(number, QStringLiteral("текст до первого заголовка: шаг начинается строкой «## N», "
                                     "концовка строкой %1")
                          .arg(finaleHeadingPattern()));
    }

    void heading(const QString &line, int number)
    {
        static const QRegularExpression stepHeading(QStringLiteral("^## +([0-9]+)$"));
        static const QRegularExpression finaleHeading(
            QStringLiteral("^## +%1 *:(.*)$").arg(kFinaleStep));
        m_block = Block::Ignored;
        if (const QRegularExpressionMatch match = finaleHeading.match(line); match.hasMatch()) {
            const QStringList parts = match.captured(1).split(QLatin1Char(','));
            const std::optional<qint32> least =
                parts.size() == 2 ? wholeNumber(parts.at(0)) : std::nullopt;
            const std::optional<qint32> most =
                parts.size() == 2 ? wholeNumber(parts.at(1)) : std::nullopt;
            if (!least || !most) {
                badFinaleHeading(line, number);
                return;
            }
            m_block = Block::Record;
            m_record = {number, *least, *most, {}};
            return;
        }
        const QRegularExpressionMatch match = stepHeading.match(line);
        const std::optional<qint32> step =
            match.hasMatch() ? wholeNumber(match.captured(1)) : std::nullopt;
        if (!step) {
            error(number, QStringLiteral("непонятный заголовок %1: шаг пишется «## N», концовка "
                                         "%2, а строка текста с «## » в начале — с «\\» впереди")
                              .arg(quoted(line), finaleHeadingPattern()));
            return;
        }
        if (*step == kFinaleStep) {
            badFinaleHeading(line, number);
            return;
        }
        if (*step < kFirstStep || *step > kLastStep) {
            error(number, QStringLiteral("шага %1 нет: шаги идут от %2 до %3, концовка — %4")
                              .arg(*step)
                              .arg(kFirstStep)
                              .arg(kLastStep)
                              .arg(finaleHeadingPattern()));
            return;
        }
        ManuscriptStep &target = m_result.steps[std::size_t(*step)];
        if (target.line != 0) {
            error(number,
                  QStringLiteral("шаг %1 уже начат в строке %2").arg(*step).arg(target.line));
            return;
        }
        target.line = number;
        m_block = Block::Step;
        m_step = *step;
        m_variantLine = number;
    }

    void badFinaleHeading(const QString &line, int number)
    {
        error(number, QStringLiteral("в заголовке концовки нужны два целых числа, %1: %2")
                          .arg(finaleHeadingPattern(), quoted(line)));
    }

    void finishVariant()
    {
        m_result.steps[std::size_t(m_step)].variants.append({m_variantLine, toldLines(m_pending)});
        m_pending.clear();
    }

    void finishBlock()
    {
        if (m_block == Block::Step) {
            finishVariant();
        } else if (m_block == Block::Record) {
            m_record.lines = toldLines(m_pending);
            m_result.records.append(m_record);
        }
        m_pending.clear();
        m_block = Block::None;
    }

    void checkIqStep()
    {
        for (const ManuscriptVariant &variant : m_result.steps[kIqStep].variants) {
            for (const SourceLine &line : variant.lines) {
                const qsizetype marker = line.text.indexOf(kIqMarker);
                if (marker < 0) {
                    error(line.line, QStringLiteral("в строке шага %1 нет метки (%2): в неё "
                                                    "встаёт число")
                                         .arg(kIqStep)
                                         .arg(kIqMarker));
                } else if (marker == 0 ||
                           marker + qsizetype(kIqMarker.size()) >= line.text.size()) {
                    error(line.line, QStringLiteral("метке %1 нужно по знаку с каждой стороны, "
                                                    "«(%1)»: они уступают место числу")
                                         .arg(kIqMarker));
                } else if (marker >= 2 && line.text.at(marker - 2) == QLatin1Char(' ')) {
                    add(line.line, Severity::Warning,
                        QStringLiteral("пробел перед (%1): число приходит со своим пробелом, "
                                       "и выйдет «на  %2»")
                            .arg(kIqMarker)
                            .arg(kHighestIq));
                }
            }
        }
    }

    QString m_path;
    std::vector<Diagnostic> &m_diagnostics;
    GenreManuscript m_result;
    Block m_block = Block::None;
    bool m_reportedTextBeforeHeading = false;
    int m_step = 0;
    int m_variantLine = 0;
    ManuscriptRecord m_record;
    QList<PendingLine> m_pending;
};

} // namespace

bool isBlank(QStringView line)
{
    for (const QChar c : line) {
        if (c != QLatin1Char(' ') && c != QLatin1Char('\t'))
            return false;
    }
    return true;
}

bool needsEscape(const QString &storyLine)
{
    return storyLine.startsWith(kHeadingStart) || storyLine.startsWith(kCommentStart) ||
           storyLine.startsWith(kEscape) || isSeparator(storyLine);
}

QList<SourceLine> catalogueLines(const QStringList &lines, const QString &shownPath,
                                 std::vector<Diagnostic> &diagnostics)
{
    const std::vector<std::u16string> text = toU16List(lines);
    const std::vector<int> blank = blankLinesInside(text);
    for (const int line : blank)
        diagnostics.push_back({toU16(shownPath), line, Severity::Error, blankCatalogueLineText()});
    QList<SourceLine> told;
    const std::size_t end = linesBeforeTrailingBlanks(text);
    for (std::size_t i = 0; i < end; ++i) {
        if (std::find(blank.begin(), blank.end(), int(i) + 1) == blank.end())
            told.append({lines.at(qsizetype(i)), int(i) + 1});
    }
    return told;
}

QList<CatalogueEntry> readCatalogue(const QList<SourceLine> &lines, const QString &shownPath,
                                    std::vector<Diagnostic> &diagnostics)
{
    // The reader counts the lines of the told text; the author reads the manuscript's.
    auto lineOf = [&lines](int textLine) {
        return lines.isEmpty() ? textLine
                               : lines.at(qBound(0, textLine - 1, int(lines.size()) - 1)).line;
    };
    auto error = [&](int line, const std::u16string &message) {
        diagnostics.push_back({toU16(shownPath), lineOf(line), Severity::Error, message});
    };
    QString text;
    for (const SourceLine &line : lines)
        text += line.text + QLatin1Char('\n');
    QList<CatalogueEntry> entries;
    CatalogueReader reader(TextReader(toU16(text), toU16(shownPath)));
    try {
        while (!reader.atEnd()) {
            // A folder's name that could leave the genres' folder is said at its line, and the
            // pairs after it are read on, so that one round shows every fault.
            try {
                CatalogueEntry entry = reader.next();
                entry.line = lineOf(entry.line);
                entry.dirLine = lineOf(entry.dirLine);
                entries.append(entry);
            } catch (const StoryError &e) {
                if (e.kind() != ErrorKind::BadName)
                    throw;
                error(e.line(), errorText(e));
            }
        }
    } catch (const StoryError &e) {
        error(e.line(), errorText(e));
        return entries;
    }
    if (entries.isEmpty() && countOf(diagnostics, Severity::Error) == 0)
        error(1, u"в каталоге нет ни одного жанра");
    return entries;
}

QString manuscriptLine(const QString &storyLine, bool atEdge)
{
    return needsEscape(storyLine) || (atEdge && isBlank(storyLine)) ? kEscape + storyLine
                                                                    : storyLine;
}

QString finaleHeading(qint64 leastUsedGenre, qint64 mostUsedGenre)
{
    return QStringLiteral("## %1: %2, %3").arg(kFinaleStep).arg(leastUsedGenre).arg(mostUsedGenre);
}

QString finaleHeadingPattern()
{
    return QStringLiteral("«## %1: L, M»").arg(kFinaleStep);
}

QStringList manuscriptLines(const QByteArray &bytes, const QString &shownPath,
                            std::vector<Diagnostic> &diagnostics, Comments comments)
{
    auto error = [&](std::size_t index, const QString &message) {
        diagnostics.push_back(diagnostic(shownPath, int(index) + 1, Severity::Error, message));
    };
    // Line by line, so that every line that is not UTF-8 is named, and the rest still read.
    QStringList lines;
    const std::vector<std::string> rawLines =
        splitLines(std::string_view(bytes.data(), std::size_t(bytes.size())));
    for (std::size_t i = 0; i < rawLines.size(); ++i) {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString line =
            decoder.decode(QByteArrayView(rawLines[i].data(), qsizetype(rawLines[i].size())));
        // A byte order mark opens the file for some editors; it is not text.
        if (i == 0 && line.startsWith(QChar(0xFEFF)))
            line.remove(0, 1);
        if (decoder.hasError()) {
            error(i, QStringLiteral("строка не в кодировке UTF-8: рукопись пишется в UTF-8"));
        } else if (comments == Comments::Told || !line.startsWith(kCommentStart)) {
            const std::u16string text = toU16(line);
            if (const std::optional<std::size_t> at = firstUnencodable(text))
                error(i, QStringLiteral("у знака %1 нет формы в кодировке Windows-1251")
                             .arg(toQString(characterName(text, *at))));
        }
        lines.append(line);
    }
    return lines;
}

GenreManuscript parseGenreManuscript(const QByteArray &bytes, const QString &shownPath,
                                     std::vector<Diagnostic> &diagnostics)
{
    return ManuscriptParser(shownPath, diagnostics)
        .parse(manuscriptLines(bytes, shownPath, diagnostics, Comments::Skipped));
}

} // namespace vorta::author
