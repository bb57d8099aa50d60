// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "format/qt_text.h"
#include "format/story_file.h"
#include "tests/ui/window_story.h"
#include "ui/about_dialog.h"

#include <QDropEvent>
#include <QGroupBox>
#include <QMimeData>
#include <QScreen>
#include <QUrl>

class StoryWindowTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void showsWhatTheStorySays_data();
    void showsWhatTheStorySays();
    void dropOpensAStoryFile_data();
    void dropOpensAStoryFile();
};

void StoryWindowTest::showsWhatTheStorySays_data()
{
    QTest::addColumn<QByteArray>("metadata"); // empty: the folder keeps none
    QTest::addColumn<QString>("title");       // empty: as the window had it
    QTest::addColumn<QStringList>("storyLines");
    QTest::newRow("a tree of its own") << QByteArray() << QString() << QStringList();
    QTest::newRow("the story the program comes with")
        << vorta::storyMetadataJson({kSampleStoryIdentifier, QStringLiteral("1"),
                                     QStringLiteral("Повесть"), QStringLiteral("Автор"),
                                     QStringLiteral("Строка")})
        << QStringLiteral("Повесть") << QStringList();
    QTest::newRow("another story")
        << vorta::storyMetadataJson({QStringLiteral("other"), QStringLiteral("2.1"),
                                     QStringLiteral("Другая повесть"), QStringLiteral("Некто"),
                                     QStringLiteral("Первая строка\nВторая строка")})
        << QStringLiteral("Другая повесть")
        << QStringList{QStringLiteral("Другая повесть"), QStringLiteral("Автор: Некто"),
                       QStringLiteral("Версия 2.1"),
                       QStringLiteral("Первая строка\nВторая строка")};
    const QString longTitle = QStringLiteral("Повесть о том, как фонарь на башне горел семь ночей");
    QStringList many;
    for (int i = 1; i <= 14; ++i)
        many << QStringLiteral("Строка %1 о рассказе, длиннее, чем ширина окна.").arg(i);
    QTest::newRow("a long title and many lines")
        << vorta::storyMetadataJson({QStringLiteral("long"), QStringLiteral("1"), longTitle,
                                     QStringLiteral("Некто"), many.join(u'\n')})
        << longTitle
        << QStringList{longTitle, QStringLiteral("Автор: Некто"), QStringLiteral("Версия 1"),
                       many.join(u'\n')};
}

// The window's title and the about dialog tell of the story the folder holds; the program's own
// lines stay as they are, and the story's come whole in a part of their own beneath them, which
// scrolls where the screen cannot hold it.
void StoryWindowTest::showsWhatTheStorySays()
{
    QFETCH(QByteArray, metadata);
    QFETCH(QString, title);
    QFETCH(QStringList, storyLines);
    WindowStory story;
    const QString titleBefore = story.form->windowTitle();
    if (!metadata.isEmpty())
        story.tree.writeBytes(vorta::toQString(vorta::kStoryMetadataFile), metadata);
    story.form->Form_Load();
    QCOMPARE(story.form->windowTitle(), title.isEmpty() ? titleBefore : title);

    const AboutDialog plain;
    story.form->show();
    story.form->about_Click();
    auto *dialog = qobject_cast<AboutDialog *>(story.form->openDialog());
    QVERIFY(dialog);
    QCOMPARE(dialog->width(), plain.width());
    QCOMPARE(dialog->height() > plain.height(), !storyLines.isEmpty());
    QCOMPARE(dialog->findChildren<QLabel *>().size(),
             plain.findChildren<QLabel *>().size() + storyLines.size());
    QVERIFY(dialog->height() <= dialog->screen()->availableGeometry().height());
    const char *const names[] = {"storyTitle", "storyAuthor", "storyVersion", "storyAbout"};
    for (qsizetype i = 0; i < storyLines.size(); ++i) {
        auto *label = dialog->findChild<QLabel *>(QLatin1String(names[i]));
        QVERIFY(label);
        QCOMPARE(label->text(), storyLines.at(i));
        QCOMPARE(label->accessibleName(), storyLines.at(i));
        // Wrapped, never cut.
        QVERIFY(label->wordWrap());
        QVERIFY(label->heightForWidth(label->width()) <= label->height());
    }
    if (auto *part = dialog->findChild<QGroupBox *>(QStringLiteral("storyPart"))) {
        QCOMPARE(part->title(), QStringLiteral("Рассказ"));
        QVERIFY(part->geometry().top() >
                dialog->findChild<QWidget *>(QStringLiteral("Frame1"))->geometry().bottom());
        QVERIFY(dialog->rect().contains(part->geometry()));
    }
    dialog->close();
}

void StoryWindowTest::dropOpensAStoryFile_data()
{
    QTest::addColumn<QList<QUrl>>("urls");
    QTest::addColumn<QString>("opened"); // empty: the drop is refused
    const QString file = QStringLiteral("/somewhere/tale.vorta");
    QTest::newRow("a story file") << QList<QUrl>{QUrl::fromLocalFile(file)} << file;
    QTest::newRow("two story files")
        << QList<QUrl>{QUrl::fromLocalFile(file), QUrl::fromLocalFile(file)} << QString();
    QTest::newRow("not a story file")
        << QList<QUrl>{QUrl::fromLocalFile(QStringLiteral("/somewhere/notes.txt"))} << QString();
    QTest::newRow("a remote address")
        << QList<QUrl>{QUrl(QStringLiteral("https://example.invalid/tale.vorta"))} << QString();
}

void StoryWindowTest::dropOpensAStoryFile()
{
    QFETCH(QList<QUrl>, urls);
    QFETCH(QString, opened);
    WindowStory story;
    story.form->Form_Load();
    QStringList asked;
    story.form->setStoryFileOpener([&](const QString &path) { asked.append(path); });
    QMimeData data;
    data.setUrls(urls);
    const QPoint at = story.form->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(story.form.get(), &enter);
    QCOMPARE(enter.isAccepted(), !opened.isEmpty());
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(story.form.get(), &drop);
    QCOMPARE(asked, opened.isEmpty() ? QStringList() : QStringList{opened});
}

QTEST_MAIN(StoryWindowTest)
#include "tst_story_window.moc"
