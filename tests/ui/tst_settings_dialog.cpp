// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/story_tree.h"
#include "ui/controls.h"
#include "ui/settings_dialog.h"

#include <QAccessible>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QtTest>

#include <memory>

namespace {

const QString kSettings = QStringLiteral("vorta.cfg");

// A settings file and the dialog over it, loaded and shown.
struct Dialog
{
    explicit Dialog(const QByteArray &settings = QByteArray(" 3 \r\n 7 \r\n"))
    {
        tree.writeBytes(kSettings, settings);
        form = std::make_unique<SettingsDialog>(tree.dir());
        form->setAttribute(Qt::WA_DeleteOnClose, false);
        form->Form_Load();
        form->show();
        if (!QTest::qWaitForWindowExposed(form.get()))
            qFatal("the dialog is not shown");
    }

    template <typename T = QWidget> T *control(const char *name) const
    {
        T *widget = form->findChild<T *>(QLatin1String(name));
        if (!widget)
            qFatal("no control %s", name);
        return widget;
    }
    QSlider *slider(int n) const
    {
        return n == 1 ? control<QSlider>("Slider1") : control<QSlider>("Slider2");
    }
    QByteArray file() const { return tree.readBytes(kSettings); }

    StoryTree tree;
    std::unique_ptr<SettingsDialog> form;
};

// The columns of an image that hold ink darker than the background, grouped into runs that
// lie at most `gap` columns apart; gives the middle of each run.
QList<int> inkRuns(const QImage &image, int firstRow, int gap, int threshold)
{
    QList<int> middles;
    int start = -1;
    int last = -1;
    for (int x = 0; x < image.width(); ++x) {
        bool ink = false;
        for (int y = firstRow; y < image.height() && !ink; ++y)
            ink = qGray(image.pixel(x, y)) < threshold;
        if (!ink)
            continue;
        if (start >= 0 && x - last > gap) {
            middles.append((start + last) / 2);
            start = -1;
        }
        if (start < 0)
            start = x;
        last = x;
    }
    if (start >= 0)
        middles.append((start + last) / 2);
    return middles;
}

} // namespace

class SettingsDialogTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void controlStandsAtItsPlaceWithItsCaption_data();
    void controlStandsAtItsPlaceWithItsCaption();
    void isABorderlessWindowWithHeadingsInTheStoryFont();
    void frameCaptionStandsInItsTopBorder();
    void focusStartsOnSlider1AndFollowsTheDesignOrder();
    void loadPlacesTheSlidersFromTheFile_data();
    void loadPlacesTheSlidersFromTheFile();
    void scaleNumbersStandUnderTheTicks_data();
    void scaleNumbersStandUnderTheTicks();
    void okWritesTheFileAndCloses();
    void cancelAndClosingLeaveTheFileUntouched_data();
    void cancelAndClosingLeaveTheFileUntouched();
    void enterConfirmsNothingEscapeCancels_data();
    void enterConfirmsNothingEscapeCancels();
    void slidersAreNamedByTheirHeadingsAndSpeakUnits_data();
    void slidersAreNamedByTheirHeadingsAndSpeakUnits();
    void failedWriteShowsAMessageAndKeepsTheDialogOpen();
};

void SettingsDialogTest::controlStandsAtItsPlaceWithItsCaption_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("caption");
    QTest::newRow("frame") << QStringLiteral("Frame1") << QRect(8, 8, 297, 297)
                           << QStringLiteral("Установки");
    QTest::newRow("waiting heading") << QStringLiteral("Label1") << QRect(16, 24, 265, 41)
                                     << QStringLiteral("Период ожидания активности человека, с.");
    QTest::newRow("waiting slider")
        << QStringLiteral("Slider1") << QRect(16, 72, 265, 40) << QString();
    QTest::newRow("waiting scale")
        << QStringLiteral("Label3") << QRect(16, 112, 273, 17)
        << QStringLiteral("    0     5     10    15    20    25    30    35    40    45    50");
    QTest::newRow("switch heading") << QStringLiteral("Label2") << QRect(16, 144, 265, 41)
                                    << QStringLiteral("Вероятность перемены жанра программой, %");
    QTest::newRow("switch slider")
        << QStringLiteral("Slider2") << QRect(16, 184, 265, 40) << QString();
    QTest::newRow("switch scale")
        << QStringLiteral("Label4") << QRect(16, 224, 273, 17)
        << QStringLiteral("    0    10    20    30    40    50    60    70    80    90   100");
    QTest::newRow("cancel") << QStringLiteral("Command1") << QRect(32, 264, 105, 25)
                            << QStringLiteral("Отмена");
    // Written with the Cyrillic letters О and К.
    QTest::newRow("ok") << QStringLiteral("Command2") << QRect(160, 264, 97, 25)
                        << QStringLiteral("\u041E\u041A");
}

void SettingsDialogTest::controlStandsAtItsPlaceWithItsCaption()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, caption);
    Dialog dialog;
    QWidget *widget = dialog.form->findChild<QWidget *>(name);
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), geometry);
    if (name == QStringLiteral("Frame1"))
        QCOMPARE(widget->parentWidget(), dialog.form.get());
    else
        QCOMPARE(widget->parentWidget()->objectName(), QStringLiteral("Frame1"));
    if (auto *label = qobject_cast<QLabel *>(widget))
        QCOMPARE(label->text(), caption);
    if (auto *button = qobject_cast<QPushButton *>(widget))
        QCOMPARE(button->text(), caption);
    if (auto *frame = qobject_cast<QGroupBox *>(widget))
        QCOMPARE(frame->title(), caption);
    if (!caption.isEmpty())
        QCOMPARE(widget->accessibleName(), caption);
}

void SettingsDialogTest::isABorderlessWindowWithHeadingsInTheStoryFont()
{
    Dialog dialog;
    QCOMPARE(dialog.form->windowTitle(), QStringLiteral("Установки"));
    QCOMPARE(dialog.form->size(), QSize(312, 315));
    QCOMPARE(dialog.form->minimumSize(), dialog.form->maximumSize());
    QVERIFY(dialog.form->windowFlags() & Qt::FramelessWindowHint);
    for (const char *name : {"Label1", "Label2"}) {
        auto *heading = dialog.control<QLabel>(name);
        QCOMPARE(heading->font().family(), vorta::ui::monoFamily());
        QVERIFY(heading->wordWrap());
        // Two lines, each whole inside the box.
        const QFontMetrics metrics(heading->font());
        const QRect text = metrics.boundingRect(
            heading->rect(), Qt::TextWordWrap | Qt::AlignHCenter, heading->text());
        QVERIFY2(text.height() > metrics.height() && text.height() <= heading->height(),
                 qPrintable(QString::number(text.height())));
    }
}

// The frame's top border runs through the middle of its caption, whatever the style draws.
void SettingsDialogTest::frameCaptionStandsInItsTopBorder()
{
    Dialog dialog;
    auto *frame = dialog.control<QGroupBox>("Frame1");
    const QImage image = frame->grab().toImage();
    const int back = qGray(frame->palette().color(QPalette::Window).rgb());
    const auto ink = [&](int x, int y) {
        return qAbs(qGray(image.pixel(x, y)) - back) > 40;
    };
    int border = -1;
    for (int y = 0; y < image.height() && border < 0; ++y) {
        if (ink(image.width() - 20, y))
            border = y;
    }
    const int captionHeight = QFontMetrics(frame->font()).height();
    QVERIFY2(border > 0 && border < captionHeight, qPrintable(QString::number(border)));
    int top = image.height();
    int bottom = -1;
    for (int y = 0; y <= captionHeight; ++y) {
        for (int x = 4; x < image.width() / 2; ++x) {
            if (y != border && ink(x, y)) {
                top = qMin(top, y);
                bottom = qMax(bottom, y);
            }
        }
    }
    QVERIFY2(top < border && bottom > border,
             qPrintable(QStringLiteral("%1 .. %2 about %3").arg(top).arg(bottom).arg(border)));
}

void SettingsDialogTest::focusStartsOnSlider1AndFollowsTheDesignOrder()
{
    Dialog dialog;
    dialog.form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(dialog.form.get()));
    QCOMPARE(QApplication::focusWidget(), dialog.slider(1));
    const QList<QWidget *> order = {dialog.slider(2), dialog.control("Command1"),
                                    dialog.control("Command2"), dialog.slider(1)};
    for (QWidget *next : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
    }
}

void SettingsDialogTest::loadPlacesTheSlidersFromTheFile_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");
    QTest::newRow("written form") << QByteArray(" 3 \r\n 7 \r\n") << 3 << 7;
    QTest::newRow("one line with a comma") << QByteArray("10,0\r\n") << 10 << 0;
    QTest::newRow("out of range, clamped") << QByteArray("12 -4\r\n") << 10 << 0;
}

void SettingsDialogTest::loadPlacesTheSlidersFromTheFile()
{
    QFETCH(QByteArray, settings);
    QFETCH(int, first);
    QFETCH(int, second);
    Dialog dialog(settings);
    QCOMPARE(dialog.slider(1)->value(), first);
    QCOMPARE(dialog.slider(2)->value(), second);
}

void SettingsDialogTest::scaleNumbersStandUnderTheTicks_data()
{
    QTest::addColumn<QByteArray>("slider");
    QTest::addColumn<QByteArray>("scale");
    QTest::newRow("waiting period") << QByteArray("Slider1") << QByteArray("Label3");
    QTest::newRow("switch probability") << QByteArray("Slider2") << QByteArray("Label4");
}

// Read off the drawn pixels: the tick marks under the slider and the ink of each number.
void SettingsDialogTest::scaleNumbersStandUnderTheTicks()
{
    QFETCH(QByteArray, slider);
    QFETCH(QByteArray, scale);
    Dialog dialog(QByteArray("0\r\n0\r\n"));
    QWidget *track = dialog.control(slider.constData());
    QWidget *numbers = dialog.control(scale.constData());
    const QImage trackImage = track->grab().toImage();
    const QImage numbersImage = numbers->grab().toImage();
    const int background = qGray(trackImage.pixel(trackImage.width() / 2, trackImage.height() - 1));
    const QList<int> ticks = inkRuns(trackImage, trackImage.height() - 5, 0, background - 24);
    const QList<int> marks = inkRuns(numbersImage, 0, 5, 128);
    QCOMPARE(ticks.size(), 11);
    QCOMPARE(marks.size(), 11);
    const int offset = track->x() - numbers->x();
    for (int i = 0; i < 11; ++i)
        QVERIFY2(qAbs(ticks.at(i) + offset - marks.at(i)) <= 2,
                 qPrintable(QStringLiteral("number %1: tick at %2, number at %3")
                                .arg(i)
                                .arg(ticks.at(i) + offset)
                                .arg(marks.at(i))));
}

void SettingsDialogTest::okWritesTheFileAndCloses()
{
    Dialog dialog(QByteArray("3,7"));
    QSignalSpy closed(dialog.form.get(), &SettingsDialog::closed);
    dialog.slider(1)->setValue(1);
    dialog.slider(2)->setValue(5);
    QTest::mouseClick(dialog.control("Command2"), Qt::LeftButton);
    QCOMPARE(dialog.file(), QByteArray::fromHex("2031200D0A2035200D0A"));
    QCOMPARE(closed.count(), 1);
    QVERIFY(!dialog.form->isVisible());
}

void SettingsDialogTest::cancelAndClosingLeaveTheFileUntouched_data()
{
    QTest::addColumn<bool>("byCancel");
    QTest::newRow("Отмена") << true;
    QTest::newRow("closed by the desktop") << false;
}

void SettingsDialogTest::cancelAndClosingLeaveTheFileUntouched()
{
    QFETCH(bool, byCancel);
    const QByteArray settings("3,7 and more");
    Dialog dialog(settings);
    QSignalSpy closed(dialog.form.get(), &SettingsDialog::closed);
    dialog.slider(1)->setValue(9);
    if (byCancel)
        QTest::mouseClick(dialog.control("Command1"), Qt::LeftButton);
    else
        QVERIFY(dialog.form->close());
    QCOMPARE(dialog.file(), settings);
    QCOMPARE(closed.count(), 1);
    QVERIFY(!dialog.form->isVisible());
}

void SettingsDialogTest::enterConfirmsNothingEscapeCancels_data()
{
    QTest::addColumn<QByteArray>("focus");
    for (const char *name : {"Command2", "Command1", "Slider1", "Slider2"})
        QTest::newRow(name) << QByteArray(name);
}

void SettingsDialogTest::enterConfirmsNothingEscapeCancels()
{
    QFETCH(QByteArray, focus);
    const QByteArray settings("3,7");
    Dialog dialog(settings);
    QSignalSpy closed(dialog.form.get(), &SettingsDialog::closed);
    dialog.slider(1)->setValue(9);
    QWidget *target = dialog.control(focus.constData());
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter})
        QTest::keyClick(target, key);
    QCOMPARE(closed.count(), 0);
    QVERIFY(dialog.form->isVisible());
    QTest::keyClick(target, Qt::Key_Escape);
    QCOMPARE(closed.count(), 1);
    QVERIFY(!dialog.form->isVisible());
    QCOMPARE(dialog.file(), settings);
}

void SettingsDialogTest::slidersAreNamedByTheirHeadingsAndSpeakUnits_data()
{
    QTest::addColumn<QByteArray>("slider");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("spoken");
    QTest::addColumn<int>("amount");
    // Position 0 of the waiting period is the one second the story waits.
    QTest::newRow("waiting, 0") << QByteArray("Slider1") << 0 << QStringLiteral("1 секунда") << 1;
    QTest::newRow("waiting, 2") << QByteArray("Slider1") << 2 << QStringLiteral("10 секунд") << 10;
    QTest::newRow("waiting, 10") << QByteArray("Slider1") << 10 << QStringLiteral("50 секунд")
                                 << 50;
    QTest::newRow("switch, 0") << QByteArray("Slider2") << 0 << QStringLiteral("0 %") << 0;
    QTest::newRow("switch, 5") << QByteArray("Slider2") << 5 << QStringLiteral("50 %") << 50;
}

void SettingsDialogTest::slidersAreNamedByTheirHeadingsAndSpeakUnits()
{
    QFETCH(QByteArray, slider);
    QFETCH(int, position);
    QFETCH(QString, spoken);
    QFETCH(int, amount);
    Dialog dialog;
    auto *control = dialog.control<QSlider>(slider.constData());
    control->setValue(position);
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(control);
    QCOMPARE(accessible->role(), QAccessible::Slider);
    const QLabel *heading = dialog.control<QLabel>(slider == "Slider1" ? "Label1" : "Label2");
    QCOMPARE(accessible->text(QAccessible::Name), heading->text());
    QCOMPARE(heading->buddy(), control);
    QCOMPARE(accessible->text(QAccessible::Description), spoken);
    QCOMPARE(accessible->valueInterface()->currentValue().toInt(), amount);
}

void SettingsDialogTest::failedWriteShowsAMessageAndKeepsTheDialogOpen()
{
    Dialog dialog;
    // The file's place is taken by a folder, which no write can replace.
    QVERIFY(dialog.tree.remove(kSettings));
    QVERIFY(dialog.tree.dir().mkpath(kSettings + QStringLiteral("/kept")));
    QSignalSpy closed(dialog.form.get(), &SettingsDialog::closed);
    QTest::mouseClick(dialog.control("Command2"), Qt::LeftButton);
    QCOMPARE(closed.count(), 0);
    QVERIFY(dialog.form->isVisible());
    QVERIFY(QFileInfo(dialog.tree.path(kSettings + QStringLiteral("/kept"))).isDir());
    auto *message = dialog.form->findChild<QMessageBox *>();
    QVERIFY(message);
    QVERIFY(message->isVisible());
    QVERIFY(message->text().contains(kSettings));
    // A second try while the message is up opens no second one.
    QMetaObject::invokeMethod(dialog.form.get(), &SettingsDialog::Command2_Click);
    QCOMPARE(dialog.form->findChildren<QMessageBox *>().size(), 1);
}

QTEST_MAIN(SettingsDialogTest)
#include "tst_settings_dialog.moc"
