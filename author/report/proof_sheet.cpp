// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "proof_sheet.h"

#include "author/check/story_index.h"
#include "author/report/plural.h"
#include "author/report/story_stats.h"

#include "core/story_facts.h"
#include "format/qt_text.h"

#include <QFile>
#include <QSet>
#include <QXmlStreamWriter>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <utility>

namespace vorta::author {

namespace {

// The style sheet, a resource of the program; the row's width is the page's own, from the fact.
QString styleSheet()
{
    static const QString style = [] {
        QFile file(QStringLiteral(":/vorta-author/proof_sheet.css"));
        QString text =
            file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
        return QStringLiteral(":root{--row-width:%1}\n").arg(kRowWidth) + text;
    }();
    return style;
}

// Text as an XML document can hold it: control characters (which XML cannot hold at all) as
// their visible pictures, a lone UTF-16 half or a non-character as the replacement character.
QString visible(QStringView text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.unicode() < 0x20)
            result += QChar(0x2400 + c.unicode());
        else if (c.unicode() == 0x7F)
            result += QChar(0x2421);
        else if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            result += text.sliced(i++, 2);
        else if (c.isSurrogate() || c.unicode() >= 0xFFFE)
            result += QChar(QChar::ReplacementCharacter);
        else
            result += c;
    }
    return result;
}

using Attributes = std::initializer_list<std::pair<QString, QString>>;

// XHTML through QXmlStreamWriter, which nests and escapes; text goes in only as XML can hold it.
class Html
{
public:
    explicit Html(QString *out) : m_xml(out) {}

    void start(const QString &tag, Attributes attributes = {})
    {
        m_xml.writeStartElement(tag);
        for (const auto &[name, value] : attributes)
            m_xml.writeAttribute(name, visibleLines(value));
    }
    void end() { m_xml.writeEndElement(); }
    void empty(const QString &tag, Attributes attributes = {})
    {
        m_xml.writeEmptyElement(tag);
        for (const auto &[name, value] : attributes)
            m_xml.writeAttribute(name, visibleLines(value));
    }
    void text(QStringView text) { m_xml.writeCharacters(visible(text)); }
    // Layout between elements, as a reader of the page's source expects it.
    void newline() { m_xml.writeCharacters(QStringLiteral("\n")); }
    void element(const QString &tag, const QString &content, Attributes attributes = {})
    {
        start(tag, attributes);
        text(content);
        end();
    }
    // Text already free of what XML cannot hold: the style sheet.
    void verbatim(const QString &text) { m_xml.writeCharacters(text); }
    void doctype() { m_xml.writeDTD(QStringLiteral("<!DOCTYPE html>")); }
    void finish() { m_xml.writeEndDocument(); }

private:
    // An attribute may hold several lines (a tooltip's): each made visible, the breaks kept.
    static QString visibleLines(const QString &value)
    {
        QStringList lines = value.split(QLatin1Char('\n'));
        for (QString &line : lines)
            line = visible(line);
        return lines.join(QLatin1Char('\n'));
    }

    QXmlStreamWriter m_xml;
};

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
        : m_input(input), m_data(input.checked->data), m_index(m_data), m_html(&m_page)
    {
        for (const Diagnostic &d : input.checked->diagnostics)
            m_byPath[toQString(d.path)].append(&d);
        for (qint32 g = 1; g <= m_index.genreCount(); ++g) {
            for (qint32 step = kFirstStep; step <= kFinaleStep; ++step)
                m_stepFiles.insert(toQString(m_index.path(g, step)));
        }
        if (input.counts) {
            for (auto it = input.counts->variants.begin(); it != input.counts->variants.end(); ++it)
                m_mostTold = qMax(m_mostTold, input.counts->stepTold(it.key()));
        }
    }

    QString write()
    {
        m_html.doctype();
        m_html.newline();
        m_html.start(QStringLiteral("html"), {{QStringLiteral("lang"), QStringLiteral("ru")}});
        m_html.newline();
        m_html.start(QStringLiteral("head"));
        m_html.newline();
        m_html.empty(QStringLiteral("meta"),
                     {{QStringLiteral("charset"), QStringLiteral("utf-8")}});
        m_html.newline();
        m_html.empty(
            QStringLiteral("meta"),
            {{QStringLiteral("name"), QStringLiteral("viewport")},
             {QStringLiteral("content"), QStringLiteral("width=device-width, initial-scale=1")}});
        m_html.newline();
        m_html.element(QStringLiteral("title"), QStringLiteral("Корректура: ") + m_input.title);
        m_html.newline();
        m_html.start(QStringLiteral("style"));
        m_html.verbatim(styleSheet());
        m_html.end();
        m_html.newline();
        m_html.end(); // head
        m_html.newline();
        m_html.start(QStringLiteral("body"));
        m_html.newline();
        writeHeader();
        writeMap();
        for (qint32 step = kFirstStep; step < kFinaleStep; ++step)
            writeStep(step);
        writeFinale();
        m_html.end(); // body
        m_html.newline();
        m_html.end(); // html
        m_html.newline();
        m_html.finish();
        return m_page;
    }

private:
    QList<int> variantTells(const QString &path) const
    {
        return m_input.counts ? m_input.counts->variants.value(path) : QList<int>();
    }

    SourcePlace placeOf(const QString &path, int line) const
    {
        return m_input.placeOf ? m_input.placeOf(path, line) : SourcePlace{path, line};
    }

    // A file as the page names it: its path for a tree, the manuscript's place of its first
    // line for a story built from one.
    QString fileName(const QString &path) const
    {
        const SourcePlace place = placeOf(path, 1);
        return place.path == path ? path : QStringLiteral("%1:%2").arg(place.path).arg(place.line);
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

    void writeMark(Severity severity, const QString &classes = QStringLiteral("mark"))
    {
        m_html.element(QStringLiteral("span"), severityMark(severity),
                       {{QStringLiteral("class"), classes}});
    }

    void writeDiagnosticItem(const Diagnostic &d, bool withPlace)
    {
        m_html.start(QStringLiteral("li"),
                     {{QStringLiteral("class"), toQString(severityName(d.severity))}});
        if (withPlace) {
            const SourcePlace place = placeOf(toQString(d.path), d.line);
            m_html.text(place.line > 0 ? QStringLiteral("%1:%2: ").arg(place.path).arg(place.line)
                                       : place.path + QStringLiteral(": "));
        }
        writeMark(d.severity);
        m_html.text(QLatin1Char(' ') + toQString(d.text));
        m_html.end();
        m_html.newline();
    }

    void writeHeader()
    {
        std::vector<Diagnostic> all = m_input.sourceDiagnostics;
        all.insert(all.end(), m_input.checked->diagnostics.begin(),
                   m_input.checked->diagnostics.end());
        m_html.start(QStringLiteral("header"));
        m_html.newline();
        m_html.element(QStringLiteral("h1"), QStringLiteral("Корректура: ") + m_input.title);
        m_html.newline();
        QString summary =
            QStringLiteral("Жанров в каталоге: %1. Проверка: %2, %3, %4.")
                .arg(m_index.genreCount())
                .arg(countText(countOf(all, Severity::Error), QStringLiteral("ошибка"),
                               QStringLiteral("ошибки"), QStringLiteral("ошибок")),
                     countText(countOf(all, Severity::Warning), QStringLiteral("предупреждение"),
                               QStringLiteral("предупреждения"), QStringLiteral("предупреждений")),
                     countText(countOf(all, Severity::Note), QStringLiteral("замечание"),
                               QStringLiteral("замечания"), QStringLiteral("замечаний")));
        if (m_input.counts) {
            const StoryCounts &counts = *m_input.counts;
            summary += QStringLiteral(" Прогон: %1 (зерно %2); на шаге %3 к шагу %4 — %5, к шагу "
                                      "%6 — %7; без финала — %8.")
                           .arg(countText(counts.stories, QStringLiteral("рассказ"),
                                          QStringLiteral("рассказа"), QStringLiteral("рассказов")))
                           .arg(m_input.seed)
                           .arg(kIqStep)
                           .arg(kLowBranchStep)
                           .arg(shareText(counts.lowBranch, counts.stories))
                           .arg(kHighBranchStep)
                           .arg(shareText(counts.highBranch, counts.stories),
                                shareText(counts.endingsWithoutAnyRecord(), counts.stories));
        } else {
            summary += QStringLiteral(" Прогон остановлен: ") + m_input.runFailure;
        }
        m_html.element(QStringLiteral("p"), summary,
                       {{QStringLiteral("class"), QStringLiteral("sub")}});
        m_html.newline();
        writeStats();

        QList<const Diagnostic *> general;
        for (const Diagnostic &d : std::as_const(all)) {
            if (!m_stepFiles.contains(toQString(d.path)))
                general.append(&d);
        }
        if (!general.isEmpty()) {
            m_html.start(QStringLiteral("ul"),
                         {{QStringLiteral("class"), QStringLiteral("diags")}});
            m_html.newline();
            for (const Diagnostic *d : std::as_const(general))
                writeDiagnosticItem(*d, true);
            m_html.end();
            m_html.newline();
        }
        m_html.start(QStringLiteral("nav"));
        const std::pair<QString, QString> links[] = {
            {QStringLiteral("#map"), QStringLiteral("Карта")},
            {QStringLiteral("#") + stepAnchor(kFirstStep), QStringLiteral("Шаги")},
            {QStringLiteral("#") + stepAnchor(kFinaleStep), QStringLiteral("Финал")}};
        for (const auto &[target, caption] : links)
            m_html.element(QStringLiteral("a"), caption, {{QStringLiteral("href"), target}});
        m_html.end();
        m_html.newline();
        m_html.end(); // header
        m_html.newline();
    }

    void writeStats()
    {
        m_html.start(QStringLiteral("div"), {{QStringLiteral("class"), QStringLiteral("scroll")}});
        m_html.start(QStringLiteral("table"), {{QStringLiteral("class"), QStringLiteral("stats")}});
        m_html.newline();
        m_html.start(QStringLiteral("tr"));
        m_html.element(QStringLiteral("th"), QStringLiteral("жанр"),
                       {{QStringLiteral("class"), QStringLiteral("name")}});
        for (const char *heading :
             {"папка", "шагов", "вариантов", "пустых", "строк", "слов", "пар финала"})
            m_html.element(QStringLiteral("th"), QString::fromUtf8(heading));
        m_html.end();
        m_html.newline();
        for (const GenreStats &s : genreStats(m_data)) {
            m_html.start(QStringLiteral("tr"));
            m_html.element(QStringLiteral("td"), s.name,
                           {{QStringLiteral("class"), QStringLiteral("name")}});
            for (const QString &cell :
                 {s.dir, QString::number(s.steps), QString::number(s.variants),
                  QString::number(s.emptyVariants), QString::number(s.lines),
                  QString::number(s.words),
                  QStringLiteral("%1 из %2").arg(s.finalePairs).arg(s.reachablePairs)})
                m_html.element(QStringLiteral("td"), cell);
            m_html.end();
            m_html.newline();
        }
        m_html.end(); // table
        m_html.end(); // div
        m_html.newline();
    }

    void writeMap()
    {
        m_html.start(QStringLiteral("section"), {{QStringLiteral("id"), QStringLiteral("map")}});
        m_html.newline();
        m_html.start(QStringLiteral("h2"));
        m_html.text(QStringLiteral("Карта "));
        m_html.element(
            QStringLiteral("small"),
            QStringLiteral("как часто рассказан каждый шаг; в клетке — число вариантов"));
        m_html.end();
        m_html.newline();
        m_html.start(QStringLiteral("p"), {{QStringLiteral("class"), QStringLiteral("legend")}});
        m_html.element(QStringLiteral("span"), QStringLiteral("ни разу"),
                       {{QStringLiteral("class"), QStringLiteral("h0")}});
        for (int band = 1; band <= 5; ++band) {
            const int from = int(qint64(band - 1) * m_mostTold / 5) + 1;
            const int to = int(qint64(band) * m_mostTold / 5);
            if (from <= to)
                m_html.element(QStringLiteral("span"),
                               from == to ? QString::number(to)
                                          : QStringLiteral("%1–%2").arg(from).arg(to),
                               {{QStringLiteral("class"), QStringLiteral("h%1").arg(band)}});
        }
        m_html.text(QStringLiteral(" "));
        for (const Severity severity : {Severity::Error, Severity::Warning, Severity::Note})
            m_html.element(QStringLiteral("span"),
                           severityMark(severity) + QLatin1Char(' ') + severityWord(severity),
                           {{QStringLiteral("class"),
                             QStringLiteral("mark ") + toQString(severityName(severity))}});
        m_html.end();
        m_html.newline();
        m_html.start(QStringLiteral("div"), {{QStringLiteral("class"), QStringLiteral("scroll")}});
        m_html.start(QStringLiteral("table"), {{QStringLiteral("class"), QStringLiteral("map")}});
        m_html.newline();
        m_html.start(QStringLiteral("tr"));
        m_html.element(QStringLiteral("th"), QStringLiteral("жанр"),
                       {{QStringLiteral("class"), QStringLiteral("g")}});
        for (qint32 step = kFirstStep; step < kFinaleStep; ++step)
            m_html.element(QStringLiteral("th"), QString::number(step));
        m_html.element(QStringLiteral("th"), QStringLiteral("финал"),
                       {{QStringLiteral("class"), QStringLiteral("f")}});
        m_html.end();
        m_html.newline();
        for (qint32 g = 1; g <= m_index.genreCount(); ++g) {
            m_html.start(QStringLiteral("tr"));
            m_html.element(QStringLiteral("th"), toQString(m_index.genre(g).name),
                           {{QStringLiteral("class"), QStringLiteral("g")}});
            for (qint32 step = kFirstStep; step <= kFinaleStep; ++step)
                writeMapCell(g, step);
            m_html.end();
            m_html.newline();
        }
        m_html.end(); // table
        m_html.end(); // div
        m_html.newline();
        m_html.end(); // section
        m_html.newline();
    }

    void writeMapCell(qint32 g, qint32 step)
    {
        const Genre &genre = m_index.genre(g);
        const QString path = toQString(m_index.path(g, step));
        int told = 0;
        QString content;
        // The cell's tooltip, one line each: the file, its counts, its findings.
        QString title = fileName(path);
        if (step == kFinaleStep) {
            const FinaleFile *file = m_index.finale(g);
            told = m_input.counts ? m_input.counts->finales.value(path) : 0;
            content = file ? QString::number(file->records.size()) : QString();
            title += QStringLiteral(": записей %1").arg(file ? file->records.size() : 0);
        } else {
            const FragmentFile *file = m_index.fragment(g, step);
            told = m_input.counts ? m_input.counts->stepTold(path) : 0;
            content = file ? QString::number(file->variants.size()) : QString();
            title += QStringLiteral(": вариантов %1").arg(file ? file->variants.size() : 0);
        }
        title += QStringLiteral(", рассказан %1").arg(timesText(told));
        QStringList classes{QStringLiteral("h%1").arg(heatBand(told, m_mostTold))};
        for (const Diagnostic *d : m_byPath.value(path)) {
            // Each finding on a line of its own; its own line breaks would read as more.
            title += QLatin1Char('\n') + severityWord(d->severity) + QStringLiteral(": ") +
                     visible(d->text);
        }
        const std::optional<Severity> severity = worst(path);
        if (severity)
            classes.append(
                QStringList{QStringLiteral("e"), QStringLiteral("w"), QStringLiteral("n")}.at(
                    int(*severity)));
        m_html.start(QStringLiteral("td"),
                     {{QStringLiteral("class"), classes.join(QLatin1Char(' '))},
                      {QStringLiteral("data-genre"), toQString(genre.dir)},
                      {QStringLiteral("data-step"), QString::number(step)},
                      {QStringLiteral("data-told"), QString::number(told)},
                      {QStringLiteral("title"), title}});
        m_html.start(QStringLiteral("a"),
                     {{QStringLiteral("href"), QLatin1Char('#') + stepAnchor(step)}});
        m_html.text(content);
        if (severity)
            writeMark(*severity, QStringLiteral("mark ") + toQString(severityName(*severity)));
        m_html.end();
        m_html.end();
    }

    // The lines of one variant or record, each with its line and the findings at it.
    void writeLines(const QString &path, int firstLine, const QStringList &lines, QSet<int> &placed)
    {
        const QList<const Diagnostic *> diagnostics = m_byPath.value(path);
        for (qsizetype j = 0; j < lines.size(); ++j) {
            const int line = firstLine + int(j);
            placed.insert(line);
            m_html.start(QStringLiteral("div"), {{QStringLiteral("class"), QStringLiteral("row")}});
            m_html.element(QStringLiteral("span"), QString::number(placeOf(path, line).line),
                           {{QStringLiteral("class"), QStringLiteral("ln")}});
            // What fits the row, and what runs past its edge.
            const QString &text = lines.at(j);
            m_html.start(QStringLiteral("pre"),
                         {{QStringLiteral("class"), QStringLiteral("text")}});
            m_html.element(QStringLiteral("span"), text.first(qMin(text.size(), kRowWidth)),
                           {{QStringLiteral("class"), QStringLiteral("fit")}});
            if (text.size() > kRowWidth)
                m_html.element(QStringLiteral("span"), text.sliced(kRowWidth),
                               {{QStringLiteral("class"), QStringLiteral("over")}});
            m_html.end();
            for (const Diagnostic *d : diagnostics) {
                if (d->line != line)
                    continue;
                m_html.start(QStringLiteral("span"),
                             {{QStringLiteral("class"),
                               QStringLiteral("diag ") + toQString(severityName(d->severity))}});
                writeMark(d->severity);
                m_html.text(QLatin1Char(' ') + toQString(d->text));
                m_html.end();
            }
            m_html.end();
            m_html.newline();
        }
    }

    // The findings about a file at the lines that where() takes.
    void writeDiagnosticsAt(const QString &path, const std::function<bool(int)> &where)
    {
        QList<const Diagnostic *> items;
        for (const Diagnostic *d : m_byPath.value(path)) {
            if (where(d->line))
                items.append(d);
        }
        if (items.isEmpty())
            return;
        m_html.start(QStringLiteral("ul"), {{QStringLiteral("class"), QStringLiteral("diags")}});
        m_html.newline();
        for (const Diagnostic *d : std::as_const(items))
            writeDiagnosticItem(*d, false);
        m_html.end();
        m_html.newline();
    }

    // " · рассказан 3 раза", or "рассказана" for a record.
    void writeTold(int told, const QString &word = QStringLiteral("рассказан"))
    {
        if (!m_input.counts)
            return;
        if (told > 0) {
            m_html.text(QStringLiteral(" · %1 %2").arg(word, timesText(told)));
            return;
        }
        m_html.text(QStringLiteral(" · "));
        m_html.element(QStringLiteral("span"), QStringLiteral("ни разу не ") + word,
                       {{QStringLiteral("class"), QStringLiteral("never")}});
    }

    // What the heading of a step says of when it is told.
    static QString stepNote(qint32 step)
    {
        switch (step) {
        case kIqStep:
            return QStringLiteral("метка %1 уступает место числу от %2 до %3")
                .arg(kIqMarker)
                .arg(kLowestIq)
                .arg(kHighestIq);
        case kLowBranchStep:
            return QStringLiteral("рассказывается при IQ до %1").arg(kIqThreshold);
        case kHighBranchStep:
            return QStringLiteral("рассказывается при IQ от %1").arg(kIqThreshold + 1);
        default:
            return {};
        }
    }

    void startGenre(qint32 g, const QString &path)
    {
        m_html.start(QStringLiteral("div"), {{QStringLiteral("class"), QStringLiteral("genre")}});
        m_html.newline();
        m_html.start(QStringLiteral("h3"));
        m_html.text(toQString(m_index.genre(g).name) + QLatin1Char(' '));
        m_html.element(QStringLiteral("small"), fileName(path));
        m_html.end();
        m_html.newline();
    }

    void endBlock()
    {
        m_html.end();
        m_html.newline();
    }

    void writeStep(qint32 step)
    {
        m_html.start(QStringLiteral("section"), {{QStringLiteral("class"), QStringLiteral("step")},
                                                 {QStringLiteral("id"), stepAnchor(step)}});
        m_html.newline();
        m_html.start(QStringLiteral("h2"));
        m_html.text(QStringLiteral("Шаг %1").arg(step));
        if (const QString note = stepNote(step); !note.isEmpty()) {
            m_html.text(QStringLiteral(" "));
            m_html.element(QStringLiteral("small"), note);
        }
        endBlock();
        m_html.start(QStringLiteral("div"), {{QStringLiteral("class"), QStringLiteral("genres")}});
        m_html.newline();
        for (qint32 g = 1; g <= m_index.genreCount(); ++g) {
            const QString path = toQString(m_index.path(g, step));
            startGenre(g, path);
            QSet<int> placed;
            if (const FragmentFile *file = m_index.fragment(g, step)) {
                m_html.start(QStringLiteral("p"),
                             {{QStringLiteral("class"), QStringLiteral("file")}});
                m_html.text(QStringLiteral("вариантов %1").arg(file->variantCount));
                writeTold(m_input.counts ? m_input.counts->stepTold(path) : 0);
                endBlock();
                const QList<int> tells = variantTells(path);
                for (qsizetype v = 0; v < qsizetype(file->variants.size()); ++v) {
                    const Variant &variant = file->variants.at(v);
                    m_html.start(QStringLiteral("div"),
                                 {{QStringLiteral("class"), QStringLiteral("variant")}});
                    m_html.newline();
                    m_html.start(QStringLiteral("p"),
                                 {{QStringLiteral("class"), QStringLiteral("vhead")}});
                    m_html.text(
                        QStringLiteral("вариант %1 из %2").arg(v + 1).arg(file->variantCount));
                    writeTold(tells.value(v));
                    endBlock();
                    placed.insert(variant.countLine);
                    writeDiagnosticsAt(path,
                                       [&variant](int line) { return line == variant.countLine; });
                    writeLines(path, variant.countLine + 1, toQStringList(variant.lines), placed);
                    endBlock();
                }
            }
            writeDiagnosticsAt(path, [&placed](int line) { return !placed.contains(line); });
            endBlock();
        }
        endBlock(); // genres
        endBlock(); // section
    }

    void writeFinale()
    {
        const qint32 count = m_index.genreCount();
        const std::vector<std::pair<int, int>> reachable = reachableFinalePairs(count);
        m_html.start(QStringLiteral("section"), {{QStringLiteral("class"), QStringLiteral("step")},
                                                 {QStringLiteral("id"), stepAnchor(kFinaleStep)}});
        m_html.newline();
        m_html.start(QStringLiteral("h2"));
        m_html.text(QStringLiteral("Финал "));
        m_html.element(QStringLiteral("small"),
                       QStringLiteral("строки — наименее, столбцы — наиболее используемый жанр"));
        endBlock();
        m_html.start(QStringLiteral("div"), {{QStringLiteral("class"), QStringLiteral("scroll")}});
        m_html.start(QStringLiteral("table"),
                     {{QStringLiteral("class"), QStringLiteral("matrix")}});
        m_html.newline();
        m_html.start(QStringLiteral("tr"));
        m_html.element(QStringLiteral("th"), QStringLiteral("наименее \\ наиболее"));
        for (qint32 most = 1; most <= count; ++most)
            m_html.element(QStringLiteral("th"),
                           QStringLiteral("%1 ").arg(most) + toQString(m_index.genre(most).name));
        endBlock();
        for (qint32 least = 1; least <= count; ++least) {
            m_html.start(QStringLiteral("tr"));
            m_html.element(QStringLiteral("th"),
                           QStringLiteral("%1 ").arg(least) + toQString(m_index.genre(least).name));
            for (qint32 most = 1; most <= count; ++most)
                writeMatrixCell({least, most},
                                std::find(reachable.begin(), reachable.end(),
                                          std::pair(least, most)) != reachable.end());
            endBlock();
        }
        m_html.end(); // table
        endBlock();   // div
        m_html.start(QStringLiteral("div"), {{QStringLiteral("class"), QStringLiteral("genres")}});
        m_html.newline();
        for (qint32 g = 1; g <= count; ++g) {
            const QString path = toQString(m_index.path(g, kFinaleStep));
            startGenre(g, path);
            QSet<int> placed;
            if (const FinaleFile *file = m_index.finale(g)) {
                const QList<int> tells =
                    m_input.counts ? m_input.counts->records.value(path) : QList<int>();
                for (qsizetype r = 0; r < qsizetype(file->records.size()); ++r) {
                    const FinaleRecord &record = file->records.at(r);
                    m_html.start(QStringLiteral("div"),
                                 {{QStringLiteral("class"), QStringLiteral("variant")}});
                    m_html.newline();
                    m_html.start(QStringLiteral("p"),
                                 {{QStringLiteral("class"), QStringLiteral("vhead")}});
                    m_html.text(QStringLiteral("пара ") + toQString(pairText(record.pair)));
                    writeTold(tells.value(r), QStringLiteral("рассказана"));
                    endBlock();
                    placed << record.line << record.line + 1 << record.countLine;
                    writeDiagnosticsAt(path, [&record](int line) {
                        return line >= record.line && line <= record.countLine;
                    });
                    writeLines(path, record.countLine + 1, toQStringList(record.lines), placed);
                    endBlock();
                }
            }
            writeDiagnosticsAt(path, [&placed](int line) { return !placed.contains(line); });
            endBlock();
        }
        endBlock(); // genres
        endBlock(); // section
    }

    void writeMatrixCell(const FinalePair &pair, bool reachable)
    {
        QStringList without;
        for (qint32 g = 1; g <= m_index.genreCount(); ++g) {
            const FinaleFile *file = m_index.finale(g);
            const bool has =
                file && std::any_of(file->records.begin(), file->records.end(),
                                    [&pair](const FinaleRecord &record) {
                                        return record.pair.matches(pair.first, pair.second);
                                    });
            if (!has)
                without.append(toQString(m_index.genre(g).dir));
        }
        const int told = m_input.counts ? m_input.counts->endings.value(pair) : 0;
        QString records;
        if (without.isEmpty())
            records = QStringLiteral("записи есть");
        else if (without.size() == m_index.genreCount())
            records = QStringLiteral("записей нет");
        else
            records = QStringLiteral("нет записи: ") + without.join(QStringLiteral(", "));
        const bool missing = reachable && !without.isEmpty();
        m_html.start(QStringLiteral("td"),
                     {{QStringLiteral("class"),
                       reachable ? QStringLiteral("reach") : QStringLiteral("unreach")},
                      {QStringLiteral("data-least"), QString::number(pair.first)},
                      {QStringLiteral("data-most"), QString::number(pair.second)},
                      {QStringLiteral("data-told"), QString::number(told)}});
        if (missing)
            m_html.element(QStringLiteral("span"), records,
                           {{QStringLiteral("class"), QStringLiteral("missing")}});
        else
            m_html.element(QStringLiteral("span"), records);
        m_html.empty(QStringLiteral("br"));
        m_html.text(reachable ? QStringLiteral("достижима") : QStringLiteral("недостижима"));
        m_html.empty(QStringLiteral("br"));
        if (m_input.counts)
            m_html.text(QStringLiteral("рассказана %1").arg(timesText(told)));
        m_html.end();
    }

    const ProofSheetInput &m_input;
    const StoryData &m_data;
    const StoryIndex m_index;
    QHash<QString, QList<const Diagnostic *>> m_byPath;
    QSet<QString> m_stepFiles;
    int m_mostTold = 0; // the count of the most told step file
    QString m_page;
    Html m_html;
};

} // namespace

QString proofSheet(const ProofSheetInput &input)
{
    return ProofWriter(input).write();
}

} // namespace vorta::author
