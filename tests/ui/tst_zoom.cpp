// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/story_facts.h"
#include "format/qt_text.h"
#include "format/system_error.h"
#include "tests/ui/window_story.h"
#include "ui/about_dialog.h"
#include "ui/announcer.h"
#include "ui/controls.h"
#include "ui/main_window.h"
#include "ui/reader_settings.h"
#include "ui/settings_dialog.h"

#include <QFontMetricsF>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>

namespace {

// Every named control of a zoomed window stands where the zoom puts it in the normal window,
// each edge within the pixel that rounding it may add, and its font grew with it.
void expectScaled(QWidget *normal, QWidget *zoomed, qreal factor)
{
    const auto near = [factor](int normalPixels, int zoomedPixels) {
        return qAbs(normalPixels * factor - zoomedPixels) <= 1.0;
    };
    for (QWidget *before : normal->findChildren<QWidget *>()) {
        auto *after = zoomed->findChild<QWidget *>(before->objectName());
        if (before->objectName().isEmpty() || before->isWindow())
            continue;
        QVERIFY2(after, qPrintable(before->objectName()));
        const QRect was(before->mapTo(normal, QPoint()), before->size());
        const QRect is(after->mapTo(zoomed, QPoint()), after->size());
        QVERIFY2(near(was.left(), is.left()) && near(was.top(), is.top()) &&
                     near(was.right() + 1, is.right() + 1) &&
                     near(was.bottom() + 1, is.bottom() + 1),
                 qPrintable(before->objectName()));
        // At most a pixel less where a row must still hold its line.
        if (before->font().pixelSize() > 0)
            QVERIFY(qAbs(before->font().pixelSize() * factor - after->font().pixelSize()) <= 1.5);
    }
}

} // namespace

class ZoomTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void keysZoomTheWindowInSteps_data();
    void keysZoomTheWindowInSteps();
    void windowAndDialogsKeepTheirProportions();
    void readerSettingsKeepTheZoom_data();
    void readerSettingsKeepTheZoom();
    void largestZoomIsWhatTheScreenHolds_data();
    void largestZoomIsWhatTheScreenHolds();
    void zoomStaysOnASmallScreen();
};

void ZoomTest::keysZoomTheWindowInSteps_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<int>("times");
    QTest::addColumn<int>("zoom");
    QTest::newRow("ctrl+plus twice") << QStringLiteral("Ctrl++, Ctrl++") << 1 << 150;
    QTest::newRow("ctrl+= as plus") << QStringLiteral("Ctrl+=") << 1 << 125;
    QTest::newRow("ctrl+minus back") << QStringLiteral("Ctrl++, Ctrl++, Ctrl+-") << 1 << 125;
    QTest::newRow("not below 100 %") << QStringLiteral("Ctrl+-") << 1 << 100;
    QTest::newRow("not above 300 %") << QStringLiteral("Ctrl++, Ctrl++, Ctrl++") << 4 << 300;
    QTest::newRow("ctrl+0 back to 100 %") << QStringLiteral("Ctrl++, Ctrl+0") << 1 << 100;
}

void ZoomTest::keysZoomTheWindowInSteps()
{
    QFETCH(QString, keys);
    QFETCH(int, times);
    QFETCH(int, zoom);
    WindowStory story;
    story.random.push({0.0});
    story.form->Form_Load();
    story.form->show();
    QVERIFY(QTest::qWaitForWindowActive(story.form.get()));
    QSignalSpy changes(story.form.get(), &MainWindow::zoomChanged);
    const QKeySequence sequence = QKeySequence::fromString(keys);
    for (int time = 0; time < times; ++time) {
        for (int i = 0; i < sequence.count(); ++i)
            QTest::keyClick(story.form.get(), sequence[i].key(), sequence[i].keyboardModifiers());
    }
    QCOMPARE(story.form->zoom(), zoom);
    if (!changes.isEmpty())
        QCOMPARE(changes.last().at(0).toInt(), zoom);
    QCOMPARE(changes.isEmpty(), keys == QStringLiteral("Ctrl+-"));
    // The client area of 8190 by 4455 twips, at the zoom.
    QCOMPARE(story.form->centralWidget()->size(),
             QSize(qRound(8190 * zoom / 1500.0), qRound(4455 * zoom / 1500.0)));
}

// The row still holds its 46 characters at 150 %, and every control stands where 150 % of its
// place is, the dialogs too.
void ZoomTest::windowAndDialogsKeepTheirProportions()
{
    WindowStory normal;
    WindowStory zoomed;
    zoomed.form->setZoom(150);
    expectScaled(normal.form->centralWidget(), zoomed.form->centralWidget(), 1.5);
    for (int n = 12; n <= 26; ++n) {
        QLabel *row = zoomed.control(QStringLiteral("Label%1").arg(n));
        const QFontMetricsF metrics(row->font());
        QVERIFY(metrics.horizontalAdvance(QString(vorta::kRowWidth, u'Ж')) <= row->width());
    }
    AboutDialog about;
    AboutDialog aboutZoomed(150);
    QCOMPARE(aboutZoomed.size(), QSize(468, 408));
    expectScaled(&about, &aboutZoomed, 1.5);
    SettingsDialog settings(normal.tree.dir());
    SettingsDialog settingsZoomed(normal.tree.dir(), 150);
    QCOMPARE(settingsZoomed.size(), QSize(468, 473));
    expectScaled(&settings, &settingsZoomed, 1.5);
    QVERIFY(settingsZoomed.font().pointSizeF() > settings.font().pointSizeF() * 1.4);
}

void ZoomTest::readerSettingsKeepTheZoom_data()
{
    QTest::addColumn<QByteArray>("file"); // the file before; empty for none
    QTest::addColumn<int>("read");
    QTest::newRow("no file yet") << QByteArray() << 100;
    QTest::newRow("a kept zoom") << QByteArray("[window]\nzoom=175\n") << 175;
    QTest::newRow("not a number") << QByteArray("[window]\nzoom=big\n") << 100;
    QTest::newRow("too large") << QByteArray("[window]\nzoom=1000\n") << 300;
    QTest::newRow("off the steps") << QByteArray("[window]\nzoom=140\n") << 125;
    QTest::newRow("the lowest whole number") << QByteArray("[window]\nzoom=-2147483648\n") << 100;
}

void ZoomTest::readerSettingsKeepTheZoom()
{
    QFETCH(QByteArray, file);
    QFETCH(int, read);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("vorta/reader.conf"));
    QVERIFY(QDir(folder.path()).mkpath(QStringLiteral("vorta")));
    QFile out(path);
    QVERIFY(file.isEmpty() || (out.open(QIODevice::WriteOnly) && out.write(file) && out.flush()));
    vorta::ui::ReaderSettings settings(path);
    QCOMPARE(settings.zoom(), read);
    settings.setZoom(250);
    QCOMPARE(vorta::ui::ReaderSettings(path).zoom(), 250);

    // A file that cannot be written is said, naming it and why.
    QVERIFY(QFile::remove(path));
    QVERIFY(QDir(folder.path()).mkpath(QStringLiteral("vorta/reader.conf/kept")));
    try {
        settings.setZoom(150);
        QFAIL("the write did not fail");
    } catch (const vorta::StoryError &error) {
        QVERIFY(vorta::messageOf(error).contains(path));
        QCOMPARE(vorta::toQString(error.detail()), vorta::systemErrorText(EISDIR));
    }
}

void ZoomTest::largestZoomIsWhatTheScreenHolds_data()
{
    QTest::addColumn<QSize>("room");
    QTest::addColumn<int>("largest");
    QTest::newRow("1280 × 800") << QSize(1280, 800) << 225;
    QTest::newRow("1024 × 768") << QSize(1024, 768) << 175;
    QTest::newRow("800 × 600") << QSize(800, 600) << 125;
    QTest::newRow("smaller than the normal size") << QSize(500, 300) << 100;
    QTest::newRow("room for every zoom") << QSize(3840, 2160) << 300;
    QTest::newRow("a tall narrow screen") << QSize(768, 1366) << 125;
}

// A window of 546 × 320 at 100 %, in a frame of 10 × 30 that does not grow.
void ZoomTest::largestZoomIsWhatTheScreenHolds()
{
    QFETCH(QSize, room);
    QFETCH(int, largest);
    QCOMPARE(vorta::ui::largestZoomFitting(QSize(546, 320), QSize(10, 30), room), largest);
}

// On a 1024 × 768 screen the keys stop where the window would leave it, and say so; the window
// and its dialogs stay on the screen, and the normal size brings the window back to its place.
void ZoomTest::zoomStaysOnASmallScreen()
{
    QScreen *small = nullptr;
    for (QScreen *screen : QGuiApplication::screens())
        small = screen->name() == QStringLiteral("small") ? screen : small;
    QVERIFY(small);
    const QRect room = small->availableGeometry();
    WindowStory story;
    story.random.push({0.0});
    story.form->Form_Load();
    story.form->setScreen(small);
    story.form->move(room.topLeft() + QPoint(200, 150));
    story.form->show();
    QVERIFY(QTest::qWaitForWindowActive(story.form.get()));
    const QPoint place = story.form->pos();
    QCOMPARE(story.form->screen(), small);
    auto *announcer = story.control<vorta::ui::Announcer>(QStringLiteral("announcer"));
    QSignalSpy spoken(announcer, &vorta::ui::Announcer::announced);
    for (int press = 0; press < 8; ++press)
        QTest::keyClick(story.form.get(), Qt::Key_Plus, Qt::ControlModifier);
    QVERIFY(story.form->zoom() > 100 && story.form->zoom() < 300);
    QVERIFY2(room.contains(story.form->frameGeometry()),
             qPrintable(QStringLiteral("%1 %").arg(story.form->zoom())));
    QVERIFY(!spoken.isEmpty());
    QCOMPARE(spoken.last().at(0).toString(),
             QStringLiteral("Крупнее окно не поместится на экране."));

    story.form->option_Click();
    QWidget *dialog = story.form->openDialog();
    QVERIFY(dialog);
    QVERIFY(dialog->width() <= room.width() && dialog->height() <= room.height());
    dialog->close();
    flushDeletes();

    QTest::keyClick(story.form.get(), Qt::Key_0, Qt::ControlModifier);
    QCOMPARE(story.form->zoom(), 100);
    QCOMPARE(story.form->pos(), place);
}

QTEST_MAIN(ZoomTest)
#include "tst_zoom.moc"
