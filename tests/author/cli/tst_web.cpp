// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/author/author_run.h"
#include "tests/author/manuscript_folder.h"

#include "author/cli/command.h"
#include "author/cli/page_sources.h"
#include "core/story_file.h"
#include "format/file_reader.h"
#include "format/qt_text.h"
#include "format/story_metadata.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace vorta;
using namespace vorta::author;

namespace {

const QStringList kPage{QStringLiteral(".vorta-web"),        QStringLiteral("icon-128.png"),
                        QStringLiteral("icon-256.png"),      QStringLiteral("icon.svg"),
                        QStringLiteral("index.html"),        QStringLiteral("manifest.webmanifest"),
                        QStringLiteral("page.css"),          QStringLiteral("page.js"),
                        QStringLiteral("service-worker.js"), QStringLiteral("story.vorta"),
                        QStringLiteral("vorta-core.js"),     QStringLiteral("vorta-core.wasm")};

QByteArray fileBytes(const QString &path)
{
    return readCappedFile(path, path, kDataFileCap);
}

// Every file of a folder with its bytes.
QMap<QString, QByteArray> contents(const QDir &folder)
{
    QMap<QString, QByteArray> files;
    for (const QString &name : folder.entryList(QDir::Files | QDir::Hidden))
        files.insert(name, fileBytes(folder.filePath(name)));
    return files;
}

} // namespace

class WebTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { setPageSources(std::nullopt); }
    void webWritesAPageOrSaysWhyNot_data();
    void webWritesAPageOrSaysWhyNot();
};

void WebTest::webWritesAPageOrSaysWhyNot_data()
{
    QTest::addColumn<QString>("story");  // a manuscript, its story file, its tree, or broken
    QTest::addColumn<QString>("before"); // what the page's folder holds: nothing, a page, a file
    QTest::addColumn<QString>("module"); // built, or missing from the build tree or the package
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("said");

    const auto row = [](const char *name, const char *story, const char *before, const char *module,
                        ExitStatus status, const QString &said) {
        QTest::newRow(name) << QString::fromLatin1(story) << QString::fromLatin1(before)
                            << QString::fromLatin1(module) << int(status) << said;
    };
    const QString written = QStringLiteral("записано 12 файлов из 12");
    row("a manuscript", "manuscript", "nothing", "built", ExitClean, written);
    row("a story file", "story file", "nothing", "built", ExitClean, written);
    row("the same page again, the same bytes", "manuscript", "page", "built", ExitClean,
        QStringLiteral("записано 0 файлов из 12"));
    row("a tree, which has no story.json", "tree", "nothing", "built", ExitUsage,
        QStringLiteral("нет сведений о рассказе (story.json)"));
    row("a story with errors", "broken", "nothing", "built", ExitErrors,
        QStringLiteral("horror.txt:1: error"));
    row("a folder that web did not write", "manuscript", "file", "built", ExitUsage,
        QStringLiteral("её писал не web"));
    row("no module built", "manuscript", "nothing", "missing", ExitUsage,
        QStringLiteral("его собирает пресет web"));
    row("a package without the module", "manuscript", "nothing", "missing installed", ExitUsage,
        QStringLiteral("переустановите пакет"));
}

void WebTest::webWritesAPageOrSaysWhyNot()
{
    QFETCH(QString, story);
    QFETCH(QString, before);
    QFETCH(QString, module);
    QFETCH(int, status);
    QFETCH(QString, said);

    ManuscriptFolder manuscript;
    manuscript.writeStory(kTwoGenres);
    manuscript.write(toQString(kStoryMetadataFile), kMetadataJson);
    const QTemporaryDir work;
    const QDir workDir(work.path());
    // The story file that pack writes, which the page must carry as it is.
    const QString packed = QStringLiteral("packed.vorta");
    QCOMPARE(runAuthor({QStringLiteral("pack"), manuscript.path(), QStringLiteral("-o"), packed},
                       workDir)
                 .status,
             int(ExitClean));
    QString input = manuscript.path();
    if (story == QStringLiteral("story file"))
        input = packed;
    if (story == QStringLiteral("broken"))
        manuscript.write(QStringLiteral("horror.txt"), {});
    if (story == QStringLiteral("tree")) {
        input = QStringLiteral("tree");
        QCOMPARE(runAuthor({QStringLiteral("build"), manuscript.path(), input}, workDir).status,
                 int(ExitClean));
    }
    QVERIFY(workDir.mkdir(QStringLiteral("module")));
    if (module == QStringLiteral("built")) {
        for (const QString &name :
             {QStringLiteral("vorta-core.js"), QStringLiteral("vorta-core.wasm")}) {
            QFile file(workDir.filePath(QStringLiteral("module/") + name));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(name.toUtf8()) > 0);
        }
    }
    setPageSources(PageSources{QStringLiteral(VORTA_PAGE_SOURCE_DIR),
                               workDir.filePath(QStringLiteral("module")),
                               module == QStringLiteral("missing installed")});

    const QDir site(workDir.filePath(QStringLiteral("two-2.1-web")));
    const QStringList web{QStringLiteral("web"), input};
    if (before == QStringLiteral("page"))
        QCOMPARE(runAuthor(web, workDir).status, int(ExitClean));
    if (before == QStringLiteral("file")) {
        QVERIFY(workDir.mkdir(site.dirName()));
        QFile file(site.filePath(QStringLiteral("notes.txt")));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("заметки") > 0);
    }
    const QMap<QString, QByteArray> was = contents(site);

    const AuthorRun run = runAuthor(web, workDir);
    QCOMPARE(run.status, status);
    QVERIFY2((run.out + run.err).contains(said), qPrintable(run.out + run.err));
    if (status != ExitClean) {
        QCOMPARE(contents(site), was);
        return;
    }
    const QMap<QString, QByteArray> page = contents(site);
    QCOMPARE(page.keys(), kPage);
    if (!was.isEmpty())
        QCOMPARE(page, was);
    QCOMPARE(page.value(QStringLiteral("story.vorta")), fileBytes(workDir.filePath(packed)));
    QCOMPARE(page.value(QStringLiteral("index.html")),
             fileBytes(QStringLiteral(VORTA_PAGE_SOURCE_DIR "/index.html")));
    QCOMPARE(page.value(QStringLiteral("vorta-core.wasm")), QByteArray("vorta-core.wasm"));
    const QJsonObject manifest =
        QJsonDocument::fromJson(page.value(QStringLiteral("manifest.webmanifest"))).object();
    QCOMPARE(manifest.value(QStringLiteral("name")).toString(), QStringLiteral("Два жанра"));
    QCOMPARE(manifest.value(QStringLiteral("lang")).toString(), QStringLiteral("ru"));
}

QTEST_GUILESS_MAIN(WebTest)
#include "tst_web.moc"
