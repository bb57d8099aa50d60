#include "proof_sheet.h"

#include "author/check/story_index.h"
#include "author/report/plural.h"
#include "author/report/story_stats.h"

#include "engine/story_step.h"

#include <QSet>

#include <algorithm>
#include <functional>

namespace vorta::author {

namespace {

// Light on screen and on paper; the row's width is drawn as a red rule at 46 characters, and
// whatever runs past it shows on pink.
const QString kStyle = QStringLiteral(R"css(
body{font-family:"DejaVu Sans",Arial,sans-serif;font-size:14px;color:#222;margin:16px;background:#fff}
h1{font-size:22px;margin:0 0 4px}
h2{font-size:18px;margin:28px 0 8px;border-bottom:1px solid #bbb}
h3{font-size:14px;margin:0 0 4px}
small{color:#666;font-weight:normal}
p{margin:4px 0}
table{border-collapse:collapse}
.sub{color:#555}
.stats td,.stats th{border:1px solid #ccc;padding:2px 8px;text-align:right}
.stats .name{text-align:left}
nav{margin:10px 0}
nav a{margin-right:14px}
.scroll{overflow-x:auto}
.diags{margin:6px 0;padding:0;list-style:none;font-size:12px}
.error{color:#b00}
.warning{color:#a50}
.note{color:#456}
.map{font-size:10px;margin:6px 0;width:100%;min-width:1100px;table-layout:fixed}
.map th,.map td{border:1px solid #ddd;padding:0;text-align:center;height:22px;overflow:hidden}
.map th.g{width:11.5em;text-align:left;padding:0 6px;white-space:nowrap;text-overflow:ellipsis;font-size:12px}
.map th.f{width:3.8em}
.map td a{display:block;color:#123;text-decoration:none;line-height:22px;white-space:nowrap}
.map .mark{font-size:9px;line-height:9px;vertical-align:super;background:#fff;border-radius:2px;padding:0 2px}
.map td.e{box-shadow:inset 0 0 0 2px #c00}
.map td.w{box-shadow:inset 0 0 0 2px #e80}
.map td.n{box-shadow:inset 0 0 0 1px #678}
.map td.x{background:#fff;color:#c00}
.mark{font-weight:bold}
.h0{background:#fff}
.h1{background:#eaf2fb}
.h2{background:#cde0f4}
.h3{background:#a0c3e9}
.h4,.h4 a{background:#5f97d3;color:#fff}
.h5,.h5 a{background:#245f9f;color:#fff}
.legend span{display:inline-block;min-width:3.5em;padding:1px 6px;margin-right:4px;border:1px solid #ddd;font-size:11px;text-align:center}
.genres{display:flex;flex-wrap:wrap;gap:12px;align-items:flex-start}
.genre{flex:none;border:1px solid #ddd;padding:6px 8px;background:#fafafa}
.genre .diags{max-width:36em}
.file{font-size:11px;color:#666}
.variant{margin:8px 0 10px}
.vhead{font-size:12px;color:#444}
.never{color:#b00;font-weight:bold}
.row{display:flex;align-items:baseline}
.ln{flex:none;width:2.6em;padding-right:6px;text-align:right;color:#999;font-size:10px}
.text{flex:none;margin:0;white-space:pre;font-family:"Courier New",Courier,monospace;font-size:12px;line-height:1.25em}
.fit{display:inline-block;width:46ch;min-height:1.25em;vertical-align:top;background:#fff;border-right:1px solid #c33}
.over{background:#fcc;color:#800}
.diag{font-size:11px;margin-left:8px;max-width:24em}
.matrix td,.matrix th{border:1px solid #ccc;padding:3px 6px;font-size:12px;text-align:center}
.matrix td.unreach{background:repeating-linear-gradient(45deg,#eee 0,#eee 4px,#fff 4px,#fff 8px);color:#777}
.missing{color:#b00;font-weight:bold}
@page{size:A4 landscape;margin:10mm}
@media print{
body{margin:0;font-size:10px}
*{-webkit-print-color-adjust:exact;print-color-adjust:exact}
nav{display:none}
.scroll{overflow:visible}
.map{min-width:0}
.variant,.row,.matrix{break-inside:avoid}
h2,h3{break-after:avoid}
.step{break-before:page}
.map th,.map td{min-width:12px;height:16px}
.map td a{line-height:16px}
a{color:inherit;text-decoration:none}
.text{font-size:9pt}
}
@media (max-width:700px){
body{margin:8px;font-size:13px}
.genres{flex-direction:column}
.text{font-size:11px}
.stats{font-size:11px}
.row{flex-wrap:wrap}
.diag{max-width:none;margin-left:3.2em}
}
)css");

// Text for an XML document: the five markup characters as entities, and control characters
// (which XML cannot hold at all) as their visible pictures.
QString escaped(QStringView text)
{
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'&':
            result += QStringLiteral("&amp;");
            break;
        case u'<':
            result += QStringLiteral("&lt;");
            break;
        case u'>':
            result += QStringLiteral("&gt;");
            break;
        case u'"':
            result += QStringLiteral("&quot;");
            break;
        case u'\'':
            result += QStringLiteral("&#39;");
            break;
        default:
            if (c.unicode() < 0x20)
                result += QChar(0x2400 + c.unicode());
            else if (c.unicode() == 0x7F)
                result += QChar(0x2421);
            else if (c.isSurrogate() || c.unicode() >= 0xFFFE)
                result += QChar(QChar::ReplacementCharacter);
            else
                result += c;
        }
    }
    return result;
}

QString timesText(int times)
{
    return countText(times, QStringLiteral("раз"), QStringLiteral("раза"), QStringLiteral("раз"));
}

QString severityMark(Severity severity)
{
    switch (severity) {
    case Severity::Error:
        return QStringLiteral("✖");
    case Severity::Warning:
        return QStringLiteral("!");
    case Severity::Note:
        return QStringLiteral("i");
    }
    return {};
}

QString severityWord(Severity severity)
{
    switch (severity) {
    case Severity::Error:
        return QStringLiteral("ошибка");
    case Severity::Warning:
        return QStringLiteral("предупреждение");
    case Severity::Note:
        return QStringLiteral("замечание");
    }
    return {};
}

// The shade of a map cell: white for never told, then five bands, each a fifth of the count
// of the most told step, so the map keeps its contrast whatever the number of genres.
int heatBand(int told, int mostTold)
{
    if (told <= 0 || mostTold <= 0)
        return 0;
    return 1 + int(qMin<qint64>(4, (qint64(told) * 5 - 1) / mostTold));
}

QString stepAnchor(qint32 step)
{
    return step == kFinaleStep ? QStringLiteral("finale") : QStringLiteral("s%1").arg(step);
}

class ProofWriter
{
public:
    explicit ProofWriter(const ProofSheetInput &input)
        : m_input(input), m_data(input.checked->data), m_index(m_data)
    {
        for (const Diagnostic &d : input.checked->diagnostics)
            m_byPath[d.path].append(&d);
        for (qint32 g = 1; g <= m_index.genreCount(); ++g) {
            for (qint32 step = 1; step <= kFinaleStep; ++step)
                m_stepFiles.insert(m_index.path(g, step));
        }
        if (input.counts) {
            for (auto it = input.counts->variants.begin(); it != input.counts->variants.end(); ++it)
                m_mostTold = qMax(m_mostTold, input.counts->stepTold(it.key()));
        }
    }

    QString write()
    {
        m_html += QStringLiteral("<!DOCTYPE html>\n<html lang=\"ru\">\n<head>\n"
                                 "<meta charset=\"utf-8\"/>\n"
                                 "<meta name=\"viewport\" content=\"width=device-width, "
                                 "initial-scale=1\"/>\n");
        m_html += QStringLiteral("<title>Корректура: %1</title>\n").arg(escaped(m_input.title));
        m_html +=
            QStringLiteral("<style>") + kStyle + QStringLiteral("</style>\n</head>\n<body>\n");
        writeHeader();
        writeMap();
        for (qint32 step = 1; step < kFinaleStep; ++step)
            writeStep(step);
        writeFinale();
        m_html += QStringLiteral("</body>\n</html>\n");
        return m_html;
    }

private:
    QList<int> variantTells(const QString &path) const
    {
        return m_input.counts ? m_input.counts->variants.value(path) : QList<int>();
    }

    // The most serious finding about a file, if any.
    std::optional<Severity> worst(const QString &path) const
    {
        std::optional<Severity> worst;
        for (const Diagnostic *d : m_byPath.value(path)) {
            if (!worst || int(d->severity) < int(*worst))
                worst = d->severity;
        }
        return worst;
    }

    QString diagnosticItem(const Diagnostic &d, bool withPlace) const
    {
        QString place;
        if (withPlace)
            place = escaped(d.line > 0 ? QStringLiteral("%1:%2: ").arg(d.path).arg(d.line)
                                       : d.path + QStringLiteral(": "));
        return QStringLiteral("<li class=\"%1\">%2<span class=\"mark\">%3</span> %4</li>")
            .arg(severityName(d.severity), place, severityMark(d.severity), escaped(d.text));
    }

    void writeHeader()
    {
        const QList<Diagnostic> &all = m_input.checked->diagnostics;
        m_html += QStringLiteral("<header>\n<h1>Корректура: %1</h1>\n").arg(escaped(m_input.title));
        m_html +=
            QStringLiteral("<p class=\"sub\">Жанров в каталоге: %1. Проверка: %2, %3, %4.")
                .arg(m_index.genreCount())
                .arg(countText(countOf(all, Severity::Error), QStringLiteral("ошибка"),
                               QStringLiteral("ошибки"), QStringLiteral("ошибок")),
                     countText(countOf(all, Severity::Warning), QStringLiteral("предупреждение"),
                               QStringLiteral("предупреждения"), QStringLiteral("предупреждений")),
                     countText(countOf(all, Severity::Note), QStringLiteral("замечание"),
                               QStringLiteral("замечания"), QStringLiteral("замечаний")));
        if (m_input.counts) {
            const StoryCounts &counts = *m_input.counts;
            m_html += QStringLiteral(" Прогон: %1 (зерно %2); на шаге 37 к шагу 38 — %3, к "
                                     "шагу 39 — %4; без финала — %5.")
                          .arg(countText(counts.stories, QStringLiteral("рассказ"),
                                         QStringLiteral("рассказа"), QStringLiteral("рассказов")))
                          .arg(m_input.seed)
                          .arg(shareText(counts.lowBranch, counts.stories),
                               shareText(counts.highBranch, counts.stories),
                               shareText(counts.endingsWithoutAnyRecord(), counts.stories));
        } else {
            m_html += QStringLiteral(" Прогон остановлен: %1").arg(escaped(m_input.runFailure));
        }
        m_html += QStringLiteral("</p>\n");
        writeStats();

        QString general;
        for (const Diagnostic &d : all) {
            if (!m_stepFiles.contains(d.path))
                general += diagnosticItem(d, true) + QLatin1Char('\n');
        }
        if (!general.isEmpty())
            m_html +=
                QStringLiteral("<ul class=\"diags\">\n") + general + QStringLiteral("</ul>\n");
        m_html += QStringLiteral("<nav><a href=\"#map\">Карта</a><a href=\"#s1\">Шаги</a>"
                                 "<a href=\"#finale\">Финал</a></nav>\n</header>\n");
    }

    void writeStats()
    {
        m_html += QStringLiteral(
            "<div class=\"scroll\"><table class=\"stats\">\n<tr><th class=\"name\">жанр</th>"
            "<th>папка</th><th>шагов</th><th>вариантов</th><th>пустых</th><th>строк</th>"
            "<th>слов</th><th>пар финала</th></tr>\n");
        for (const GenreStats &s : genreStats(m_data)) {
            m_html += QStringLiteral("<tr><td class=\"name\">%1</td><td>%2</td><td>%3</td>"
                                     "<td>%4</td><td>%5</td><td>%6</td><td>%7</td>"
                                     "<td>%8 из %9</td></tr>\n")
                          .arg(escaped(s.name), escaped(s.dir), QString::number(s.steps),
                               QString::number(s.variants), QString::number(s.emptyVariants),
                               QString::number(s.lines), QString::number(s.words),
                               QString::number(s.finalePairs), QString::number(s.reachablePairs));
        }
        m_html += QStringLiteral("</table></div>\n");
    }

    void writeMap()
    {
        m_html += QStringLiteral("<section id=\"map\">\n<h2>Карта <small>как часто рассказан "
                                 "каждый шаг; в клетке — число вариантов</small></h2>\n");
        m_html += QStringLiteral("<p class=\"legend\"><span class=\"h0\">ни разу</span>");
        for (int band = 1; band <= 5; ++band) {
            const int from = int(qint64(band - 1) * m_mostTold / 5) + 1;
            const int to = int(qint64(band) * m_mostTold / 5);
            if (from <= to)
                m_html += QStringLiteral("<span class=\"h%1\">%2</span>")
                              .arg(band)
                              .arg(from == to ? QString::number(to)
                                              : QStringLiteral("%1–%2").arg(from).arg(to));
        }
        m_html += QStringLiteral(
            " <span class=\"mark error\">✖ ошибка</span><span class=\"mark warning\">! "
            "предупреждение</span><span class=\"mark note\">i замечание</span></p>\n");
        m_html += QStringLiteral(
            "<div class=\"scroll\"><table class=\"map\">\n<tr><th class=\"g\">жанр</th>");
        for (qint32 step = 1; step < kFinaleStep; ++step)
            m_html += QStringLiteral("<th>%1</th>").arg(step);
        m_html += QStringLiteral("<th class=\"f\">финал</th></tr>\n");
        for (qint32 g = 1; g <= m_index.genreCount(); ++g) {
            const Genre &genre = m_index.genre(g);
            m_html += QStringLiteral("<tr><th class=\"g\">%1</th>").arg(escaped(genre.name));
            for (qint32 step = 1; step <= kFinaleStep; ++step)
                writeMapCell(g, step);
            m_html += QStringLiteral("</tr>\n");
        }
        m_html += QStringLiteral("</table></div>\n</section>\n");
    }

    void writeMapCell(qint32 g, qint32 step)
    {
        const Genre &genre = m_index.genre(g);
        const QString path = m_index.path(g, step);
        int told = 0;
        QString content;
        // The cell's tooltip, one line each: the file, its counts, its findings.
        QStringList title{path};
        if (step == kFinaleStep) {
            const FinaleFile *file = m_index.finale(g);
            told = m_input.counts ? m_input.counts->finales.value(path) : 0;
            content = file ? QString::number(file->records.size()) : QString();
            title.back() += QStringLiteral(": записей %1").arg(file ? file->records.size() : 0);
        } else {
            const FragmentFile *file = m_index.fragment(g, step);
            told = m_input.counts ? m_input.counts->stepTold(path) : 0;
            content = file ? QString::number(file->variants.size()) : QString();
            title.back() += QStringLiteral(": вариантов %1").arg(file ? file->variants.size() : 0);
        }
        title.back() += QStringLiteral(", рассказан %1").arg(timesText(told));
        QStringList classes{QStringLiteral("h%1").arg(heatBand(told, m_mostTold))};
        for (const Diagnostic *d : m_byPath.value(path))
            title.append(severityWord(d->severity) + QStringLiteral(": ") + d->text);
        if (const std::optional<Severity> severity = worst(path)) {
            classes.append(
                QStringList{QStringLiteral("e"), QStringLiteral("w"), QStringLiteral("n")}.at(
                    int(*severity)));
            content += QStringLiteral("<span class=\"mark %1\">%2</span>")
                           .arg(severityName(*severity), severityMark(*severity));
        }
        for (QString &line : title)
            line = escaped(line);
        m_html += QStringLiteral("<td class=\"%1\" data-genre=\"%2\" data-step=\"%3\" "
                                 "data-told=\"%4\" title=\"%5\"><a href=\"#%6\">%7</a></td>")
                      .arg(classes.join(QLatin1Char(' ')), escaped(genre.dir),
                           QString::number(step), QString::number(told),
                           title.join(QStringLiteral("&#10;")), stepAnchor(step), content);
    }

    // The lines of one variant or record, each with its file line and the findings at it.
    void writeLines(const QString &path, int firstLine, const QStringList &lines, QSet<int> &placed)
    {
        const QList<const Diagnostic *> diagnostics = m_byPath.value(path);
        for (qsizetype j = 0; j < lines.size(); ++j) {
            const int line = firstLine + int(j);
            placed.insert(line);
            // What fits the row, and what runs past its edge.
            const QString &text = lines.at(j);
            m_html += QStringLiteral("<div class=\"row\"><span class=\"ln\">%1</span>"
                                     "<pre class=\"text\"><span class=\"fit\">%2</span>")
                          .arg(line)
                          .arg(escaped(QStringView(text).first(qMin(text.size(), kRowWidth))));
            if (text.size() > kRowWidth)
                m_html += QStringLiteral("<span class=\"over\">%1</span>")
                              .arg(escaped(QStringView(text).sliced(kRowWidth)));
            m_html += QStringLiteral("</pre>");
            for (const Diagnostic *d : diagnostics) {
                if (d->line == line)
                    m_html += QStringLiteral("<span class=\"diag %1\"><span class=\"mark\">%2"
                                             "</span> %3</span>")
                                  .arg(severityName(d->severity), severityMark(d->severity),
                                       escaped(d->text));
            }
            m_html += QStringLiteral("</div>\n");
        }
    }

    // The findings at a count line, and those of the whole file once nothing else took them.
    void writeDiagnosticsAt(const QString &path, const std::function<bool(int)> &where)
    {
        QString items;
        for (const Diagnostic *d : m_byPath.value(path)) {
            if (where(d->line))
                items += diagnosticItem(*d, false) + QLatin1Char('\n');
        }
        if (!items.isEmpty())
            m_html += QStringLiteral("<ul class=\"diags\">\n") + items + QStringLiteral("</ul>\n");
    }

    // " · рассказан 3 раза", or "рассказана" for a record.
    QString toldText(int told, const QString &told1 = QStringLiteral("рассказан")) const
    {
        if (!m_input.counts)
            return {};
        if (told == 0)
            return QStringLiteral(" · <span class=\"never\">ни разу не %1</span>").arg(told1);
        return QStringLiteral(" · %1 %2").arg(told1, timesText(told));
    }

    void writeStep(qint32 step)
    {
        m_html += QStringLiteral("<section class=\"step\" id=\"%1\">\n<h2>Шаг %2")
                      .arg(stepAnchor(step))
                      .arg(step);
        if (step == kIqStep)
            m_html += QStringLiteral(" <small>метка IQ уступает место числу от 80 до 119</small>");
        else if (step == kLowBranchStep)
            m_html += QStringLiteral(" <small>рассказывается при IQ до 100</small>");
        else if (step == kHighBranchStep)
            m_html += QStringLiteral(" <small>рассказывается при IQ от 101</small>");
        m_html += QStringLiteral("</h2>\n<div class=\"genres\">\n");
        for (qint32 g = 1; g <= m_index.genreCount(); ++g) {
            const Genre &genre = m_index.genre(g);
            const QString path = m_index.path(g, step);
            m_html += QStringLiteral("<div class=\"genre\">\n<h3>%1 <small>%2</small></h3>\n")
                          .arg(escaped(genre.name), escaped(path));
            QSet<int> placed;
            if (const FragmentFile *file = m_index.fragment(g, step)) {
                m_html += QStringLiteral("<p class=\"file\">вариантов %1%2</p>\n")
                              .arg(file->variantCount)
                              .arg(toldText(m_input.counts ? m_input.counts->stepTold(path) : 0));
                const QList<int> tells = variantTells(path);
                for (qsizetype v = 0; v < file->variants.size(); ++v) {
                    const Variant &variant = file->variants.at(v);
                    m_html += QStringLiteral("<div class=\"variant\">\n<p class=\"vhead\">вариант "
                                             "%1 из %2%3</p>\n")
                                  .arg(v + 1)
                                  .arg(file->variantCount)
                                  .arg(toldText(tells.value(v)));
                    placed.insert(variant.countLine);
                    writeDiagnosticsAt(path,
                                       [&variant](int line) { return line == variant.countLine; });
                    writeLines(path, variant.countLine + 1, variant.lines, placed);
                    m_html += QStringLiteral("</div>\n");
                }
            }
            writeDiagnosticsAt(path, [&placed](int line) { return !placed.contains(line); });
            m_html += QStringLiteral("</div>\n");
        }
        m_html += QStringLiteral("</div>\n</section>\n");
    }

    void writeFinale()
    {
        const qint32 count = m_index.genreCount();
        const QList<std::pair<int, int>> reachable = reachableFinalePairs(count);
        m_html += QStringLiteral(
            "<section class=\"step\" id=\"finale\">\n<h2>Финал <small>строки — наименее, "
            "столбцы — наиболее используемый жанр</small></h2>\n");
        m_html += QStringLiteral("<div class=\"scroll\"><table class=\"matrix\">\n<tr><th>"
                                 "наименее \\ наиболее</th>");
        for (qint32 most = 1; most <= count; ++most)
            m_html +=
                QStringLiteral("<th>%1 %2</th>").arg(most).arg(escaped(m_index.genre(most).name));
        m_html += QStringLiteral("</tr>\n");
        for (qint32 least = 1; least <= count; ++least) {
            m_html += QStringLiteral("<tr><th>%1 %2</th>")
                          .arg(least)
                          .arg(escaped(m_index.genre(least).name));
            for (qint32 most = 1; most <= count; ++most)
                writeMatrixCell({least, most}, reachable.contains({least, most}));
            m_html += QStringLiteral("</tr>\n");
        }
        m_html += QStringLiteral("</table></div>\n<div class=\"genres\">\n");
        for (qint32 g = 1; g <= count; ++g) {
            const QString path = m_index.path(g, kFinaleStep);
            m_html += QStringLiteral("<div class=\"genre\">\n<h3>%1 <small>%2</small></h3>\n")
                          .arg(escaped(m_index.genre(g).name), escaped(path));
            QSet<int> placed;
            if (const FinaleFile *file = m_index.finale(g)) {
                const QList<int> tells =
                    m_input.counts ? m_input.counts->records.value(path) : QList<int>();
                for (qsizetype r = 0; r < file->records.size(); ++r) {
                    const FinaleRecord &record = file->records.at(r);
                    m_html +=
                        QStringLiteral("<div class=\"variant\">\n<p class=\"vhead\">пара "
                                       "(%1, %2)%3</p>\n")
                            .arg(pairPart(record.leastUsedGenre), pairPart(record.mostUsedGenre),
                                 toldText(tells.value(r), QStringLiteral("рассказана")));
                    placed << record.line << record.line + 1 << record.countLine;
                    writeDiagnosticsAt(path, [&record](int line) {
                        return line >= record.line && line <= record.countLine;
                    });
                    writeLines(path, record.countLine + 1, record.lines, placed);
                    m_html += QStringLiteral("</div>\n");
                }
            }
            writeDiagnosticsAt(path, [&placed](int line) { return !placed.contains(line); });
            m_html += QStringLiteral("</div>\n");
        }
        m_html += QStringLiteral("</div>\n</section>\n");
    }

    static QString pairPart(const std::optional<qint64> &index)
    {
        return index ? QString::number(*index) : QStringLiteral("?");
    }

    void writeMatrixCell(const FinalePair &pair, bool reachable)
    {
        QStringList without;
        for (qint32 g = 1; g <= m_index.genreCount(); ++g) {
            const FinaleFile *file = m_index.finale(g);
            const bool has = file && std::any_of(file->records.begin(), file->records.end(),
                                                 [&pair](const FinaleRecord &record) {
                                                     return record.leastUsedGenre == pair.first &&
                                                            record.mostUsedGenre == pair.second;
                                                 });
            if (!has)
                without.append(m_index.genre(g).dir);
        }
        const int told = m_input.counts ? m_input.counts->endings.value(pair) : 0;
        const qint32 genres = m_index.genreCount();
        QString records;
        if (without.isEmpty())
            records = QStringLiteral("записи есть");
        else if (without.size() == genres)
            records = QStringLiteral("записей нет");
        else
            records = QStringLiteral("нет записи: ") + escaped(without.join(QStringLiteral(", ")));
        const bool missing = reachable && !without.isEmpty();
        m_html += QStringLiteral("<td class=\"%1\" data-least=\"%2\" data-most=\"%3\" "
                                 "data-told=\"%4\"><span%5>%6</span><br/>%7<br/>%8</td>")
                      .arg(reachable ? QStringLiteral("reach") : QStringLiteral("unreach"))
                      .arg(pair.first)
                      .arg(pair.second)
                      .arg(told)
                      .arg(missing ? QStringLiteral(" class=\"missing\"") : QString(), records,
                           reachable ? QStringLiteral("достижима") : QStringLiteral("недостижима"),
                           m_input.counts ? QStringLiteral("рассказана %1").arg(timesText(told))
                                          : QString());
    }

    const ProofSheetInput &m_input;
    const StoryData &m_data;
    const StoryIndex m_index;
    QHash<QString, QList<const Diagnostic *>> m_byPath;
    QSet<QString> m_stepFiles;
    int m_mostTold = 0; // the count of the most told step file
    QString m_html;
};

} // namespace

QString proofSheet(const ProofSheetInput &input)
{
    return ProofWriter(input).write();
}

} // namespace vorta::author
