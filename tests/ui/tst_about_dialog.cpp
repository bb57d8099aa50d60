// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ui/about_dialog.h"
#include "ui/controls.h"

#include <QAccessible>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

std::unique_ptr<AboutDialog> shownDialog()
{
    auto dialog = std::make_unique<AboutDialog>();
    dialog->setAttribute(Qt::WA_DeleteOnClose, false);
    dialog->show();
    if (!QTest::qWaitForWindowExposed(dialog.get()))
        qFatal("the dialog is not shown");
    return dialog;
}

} // namespace

class AboutDialogTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void labelStandsAtItsPlaceWithItsCaptionWhole_data();
    void labelStandsAtItsPlaceWithItsCaptionWhole();
    void isABorderlessWindowWithACaptionlessFrame();
    void clickAnywhereCloses_data();
    void clickAnywhereCloses();
    void keysThatClose_data();
    void keysThatClose();
};

void AboutDialogTest::labelStandsAtItsPlaceWithItsCaptionWhole_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("caption");
    QTest::newRow("heading") << QStringLiteral("Label4") << QRect(8, 16, 281, 25)
                             << QStringLiteral("СВЕДЕНИЯ О ПРОГРАММЕ");
    QTest::newRow("what") << QStringLiteral("Label1") << QRect(8, 48, 281, 41)
                          << QStringLiteral("Представитель интерактивной литературы");
    QTest::newRow("object") << QStringLiteral("Label2") << QRect(8, 96, 281, 41)
                            << QStringLiteral("Объект интерактивности - литературный жанр");
    QTest::newRow("made") << QStringLiteral("Label3") << QRect(8, 144, 281, 41)
                          << QStringLiteral("Сделано в начале июля 2008г. Квирлевым Т.");
    QTest::newRow("hurray") << QStringLiteral("Label5") << QRect(8, 192, 281, 57)
                            << QStringLiteral("УРА!");
}

void AboutDialogTest::labelStandsAtItsPlaceWithItsCaptionWhole()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, caption);
    const auto dialog = shownDialog();
    auto *label = dialog->findChild<QLabel *>(name);
    QVERIFY(label);
    QCOMPARE(label->parentWidget()->objectName(), QStringLiteral("Frame1"));
    QCOMPARE(label->geometry(), geometry);
    QCOMPARE(label->text(), caption);
    QCOMPARE(label->accessibleName(), caption);
    QCOMPARE(label->font().family(), vorta::ui::monoFamily());
    // Whole inside its box: a two-line caption breaks at a word, never inside one.
    const QFontMetrics metrics(label->font());
    const QRect text =
        metrics.boundingRect(label->rect(), Qt::TextWordWrap | Qt::AlignLeft, caption);
    QVERIFY(text.height() <= label->height());
    QVERIFY(text.width() <= label->width());
}

void AboutDialogTest::isABorderlessWindowWithACaptionlessFrame()
{
    const auto dialog = shownDialog();
    QCOMPARE(dialog->windowTitle(), QStringLiteral("О программе"));
    QCOMPARE(dialog->size(), QSize(312, 272));
    QVERIFY(dialog->windowFlags() & Qt::FramelessWindowHint);
    auto *frame = dialog->findChild<QGroupBox *>(QStringLiteral("Frame1"));
    QVERIFY(frame);
    QCOMPARE(frame->geometry(), QRect(8, 8, 297, 257));
    QCOMPARE(frame->title(), QString());
    // Its border is drawn from its very top, 8 pixels down.
    const QImage image = dialog->grab().toImage();
    const int back = qGray(dialog->palette().color(QPalette::Window).rgb());
    int border = -1;
    for (int y = 0; y < image.height() && border < 0; ++y) {
        if (qAbs(qGray(image.pixel(image.width() / 2, y)) - back) > 40)
            border = y;
    }
    QCOMPARE(border, 8);
    // Only the frame takes the focus, as the button that closes the dialog.
    for (QWidget *child : dialog->findChildren<QWidget *>())
        QCOMPARE(child->focusPolicy() != Qt::NoFocus, child == frame);
    QAccessibleInterface *close = QAccessible::queryAccessibleInterface(frame);
    QCOMPARE(close->role(), QAccessible::Button);
    QCOMPARE(close->text(QAccessible::Name), QStringLiteral("Закрыть"));
}

void AboutDialogTest::clickAnywhereCloses_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QPoint>("at");
    for (const char *name : {"Label1", "Label2", "Label3", "Label4", "Label5"})
        QTest::newRow(name) << QString::fromLatin1(name) << QPoint(-1, -1);
    QTest::newRow("the frame between the texts") << QStringLiteral("Frame1") << QPoint(150, 92);
    QTest::newRow("the margin") << QStringLiteral("Form2") << QPoint(3, 3);
}

void AboutDialogTest::clickAnywhereCloses()
{
    QFETCH(QString, target);
    QFETCH(QPoint, at);
    const auto dialog = shownDialog();
    QSignalSpy closed(dialog.get(), &AboutDialog::closed);
    QWidget *widget =
        target == dialog->objectName() ? dialog.get() : dialog->findChild<QWidget *>(target);
    QVERIFY(widget);
    const QPoint point = at == QPoint(-1, -1) ? widget->rect().center() : at;
    // Through the window, so the click lands on whatever stands at that point.
    QTest::mouseClick(dialog->windowHandle(), Qt::LeftButton, {},
                      widget->mapTo(dialog.get(), point));
    QCOMPARE(closed.count(), 1);
    QVERIFY(!dialog->isVisible());
}

void AboutDialogTest::keysThatClose_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("closes");
    QTest::newRow("Escape") << int(Qt::Key_Escape) << true;
    QTest::newRow("Space on the frame") << int(Qt::Key_Space) << true;
    QTest::newRow("Return on the frame") << int(Qt::Key_Return) << true;
    QTest::newRow("a letter") << int(Qt::Key_A) << false;
    QTest::newRow("Tab") << int(Qt::Key_Tab) << false;
}

void AboutDialogTest::keysThatClose()
{
    QFETCH(int, key);
    QFETCH(bool, closes);
    const auto dialog = shownDialog();
    QSignalSpy closed(dialog.get(), &AboutDialog::closed);
    QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
    QCOMPARE(QApplication::focusWidget(), dialog->findChild<QWidget *>(QStringLiteral("Frame1")));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
    QCOMPARE(closed.count(), closes ? 1 : 0);
    QCOMPARE(dialog->isVisible(), !closes);
}

QTEST_MAIN(AboutDialogTest)
#include "tst_about_dialog.moc"
