// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/author/author_run.h"
#include "tests/author/manuscript_folder.h"
#include "tests/support/story_tree.h"

#include "author/check/story_index.h"
#include "author/cli/command_line.h"
#include "author/simulation/story_run.h"
#include "core/story_check.h"

#include <QHash>
#include <QSet>
#include <QTest>
#include <QXmlStreamReader>

using namespace vorta;
using namespace vorta::author;

namespace {

constexpr int kStories = 40;

// Markup, quotes and control characters that must all arrive as text.
const QString kHostileLine = QStringLiteral("<img src=\"http://x\"/>&amp; ' ]]> \x01<script>");

struct Page
{
    QString error;            // of the XML parse, empty when well-formed
    QHash<QString, int> told; // "dir/step" of every map cell, its told count
    int cells = 0;
    QStringList references; // whatever could fetch something or leave the page
    QSet<QString> ids;
    QStringList anchors; // href targets
    QStringList texts;   // every text node
};

Page readPage(const QString &html)
{
    Page page;
    QXmlStreamReader xml(html);
    const QSet<QString> fetching{QStringLiteral("script"), QStringLiteral("link"),
                                 QStringLiteral("img"),    QStringLiteral("iframe"),
                                 QStringLiteral("object"), QStringLiteral("embed"),
                                 QStringLiteral("base")};
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isCharacters()) {
            page.texts.append(xml.text().toString());
            continue;
        }
        if (!xml.isStartElement())
            continue;
        const QString name = xml.name().toString();
        if (fetching.contains(name))
            page.references.append(name);
        for (const QXmlStreamAttribute &attribute : xml.attributes()) {
            const QString key = attribute.name().toString();
            const QString value = attribute.value().toString();
            if (key == QLatin1String("id"))
                page.ids.insert(value);
            else if (key == QLatin1String("href") && value.startsWith(QLatin1Char('#')))
                page.anchors.append(value.mid(1));
            else if (key == QLatin1String("href") || key == QLatin1String("src") ||
                     value.contains(QLatin1String("://")))
                page.references.append(key + QLatin1Char('=') + value);
        }
        if (name == QLatin1String("style")) {
            const QString css = xml.readElementText();
            for (const char *fetch : {"url(", "@import", "http"})
                if (css.contains(QLatin1String(fetch)))
                    page.references.append(QString::fromLatin1(fetch));
        }
        const QString step = xml.attributes().value(QLatin1String("data-step")).toString();
        if (name == QLatin1String("td") && !step.isEmpty()) {
            ++page.cells;
            page.told.insert(xml.attributes().value(QLatin1String("data-genre")).toString() +
                                 QLatin1Char('/') + step,
                             xml.attributes().value(QLatin1String("data-told")).toInt());
        }
    }
    if (xml.hasError())
        page.error = QStringLiteral("line %1: %2").arg(xml.lineNumber()).arg(xml.errorString());
    return page;
}

} // namespace

class ProofSheetTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pageIsSelfContainedAndCountsMatchCoverage_data();
    void pageIsSelfContainedAndCountsMatchCoverage();
    void pageIsHeadedByTheStorysTitle_data();
    void pageIsHeadedByTheStorysTitle();
};

void ProofSheetTest::pageIsSelfContainedAndCountsMatchCoverage_data()
{
    QTest::addColumn<QString>("fault");

    QTest::newRow("clean story") << QString();
    QTest::newRow("hostile text in a line and a name") << QStringLiteral("hostile");
    QTest::newRow("a story stops on a missing file") << QStringLiteral("missing");
    QTest::newRow("a line wider than the row") << QStringLiteral("wide");
}

void ProofSheetTest::pageIsSelfContainedAndCountsMatchCoverage()
{
    QFETCH(QString, fault);

    StoryTree tree;
    QList<StoryTree::Genre> genres = kTwoGenres;
    if (fault == QLatin1String("hostile"))
        genres[1].name = QStringLiteral("<b>\"Ужасы\"</b> %1");
    tree.writeStory(genres, {.variantsPerStep = 2});
    if (fault == QLatin1String("hostile"))
        tree.writeFragment(QStringLiteral("horror"), 3, {{kHostileLine}, {}});
    if (fault == QLatin1String("missing"))
        tree.remove(StoryTree::fragmentFile(QStringLiteral("horror"), 20));
    const QString wide = QString(46, QChar(u'ж')) + QStringLiteral(" хвост");
    if (fault == QLatin1String("wide"))
        tree.writeFragment(QStringLiteral("horror"), 3, {{wide}});

    QString html;
    QString complaints;
    QTextStream out(&html);
    QTextStream err(&complaints);
    const int status = runAuthorProgram({QStringLiteral("proof"), QStringLiteral("--stories"),
                                         QString::number(kStories), tree.path()},
                                        QDir::root(), out, err);
    out.flush();
    QCOMPARE(status, fault == QLatin1String("missing") ? int(ExitErrors) : int(ExitClean));

    const Page page = readPage(html);
    QVERIFY2(page.error.isEmpty(), qPrintable(page.error));
    // A browser reads the style element as it stands: an escaped character would not read back.
    const QString style =
        html.section(QStringLiteral("<style>"), 1).section(QStringLiteral("</style>"), 0, 0);
    QVERIFY(!style.isEmpty() && !style.contains(QLatin1Char('&')));
    // The branch steps say when they are told, as the program tells them.
    QVERIFY(html.contains(QStringLiteral("Шаг 38 <small>рассказывается при IQ до 100</small>")));
    QVERIFY(html.contains(QStringLiteral("Шаг 39 <small>рассказывается при IQ от 101</small>")));
    QCOMPARE(page.references, QStringList());
    for (const QString &anchor : page.anchors)
        QVERIFY2(page.ids.contains(anchor), qPrintable(anchor));

    // Every genre × step cell, its count that of a coverage run with the same seed.
    const CheckResult checked = checkTree(tree.data());
    std::optional<StoryCounts> counts;
    if (fault != QLatin1String("missing"))
        counts = runCoverage(tree.data(), checked.data, kStories).counts;
    const StoryIndex index(checked.data);
    QCOMPARE(page.cells, 2 * 65);
    int toldSteps = 0;
    for (qint32 g = 1; g <= 2; ++g) {
        for (qint32 step = 1; step <= 64; ++step) {
            const QString cell =
                kTwoGenres.at(g - 1).dir + QLatin1Char('/') + QString::number(step);
            QVERIFY2(page.told.contains(cell), qPrintable(cell));
            const int expected = counts ? counts->stepTold(toQString(index.path(g, step))) : 0;
            QCOMPARE(page.told.value(cell), expected);
            toldSteps += expected;
        }
    }
    QCOMPARE(toldSteps, counts ? 63 * kStories : 0);
    // What fits the row, and apart from it what runs past its edge.
    if (fault == QLatin1String("wide")) {
        QVERIFY(page.texts.contains(wide.first(46)));
        QVERIFY(page.texts.contains(QStringLiteral(" хвост")));
    }
    if (fault == QLatin1String("hostile")) {
        QVERIFY(page.texts.contains(QString(kHostileLine).replace(QChar(1), QChar(0x2401))));
        // As written in the map's row and the statistics' row.
        QVERIFY(page.texts.count(genres.at(1).name) >= 2);
    }
}

void ProofSheetTest::pageIsHeadedByTheStorysTitle_data()
{
    QTest::addColumn<QByteArray>("metadata"); // the manuscript's story.json, none when empty
    QTest::addColumn<QString>("title");       // none for the folder's name

    QTest::newRow("story.json's title")
        << QByteArray(R"({"identifier": "t", "version": "1", "title": "Синий фонарь",
                         "author": "А", "about": "О."})")
        << QStringLiteral("Синий фонарь");
    QTest::newRow("no story.json: the folder's name") << QByteArray() << QString();
    QTest::newRow("story.json that does not read: the folder's name")
        << QByteArray("{") << QString();
}

void ProofSheetTest::pageIsHeadedByTheStorysTitle()
{
    QFETCH(QByteArray, metadata);
    QFETCH(QString, title);
    ManuscriptFolder manuscript;
    manuscript.writeStory(kTwoGenres);
    if (!metadata.isEmpty())
        manuscript.write(QStringLiteral("story.json"), metadata);

    const AuthorRun run =
        runAuthor({QStringLiteral("proof"), QStringLiteral("--stories=1"), manuscript.path()});
    const QString heading = title.isEmpty() ? QFileInfo(manuscript.path()).fileName() : title;
    QVERIFY2(run.out.contains(QStringLiteral("<h1>Корректура: %1</h1>").arg(heading)),
             qPrintable(run.out.left(1000)));
}

QTEST_GUILESS_MAIN(ProofSheetTest)
#include "tst_proof_sheet.moc"
