// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "settings_dialog.h"

#include "core/data_files.h"
#include "core/settings_file.h"
#include "core/story_facts.h"
#include "format/folder_tree.h"
#include "format/qt_text.h"
#include "ui/accessibility.h"
#include "ui/controls.h"
#include "ui/message_text.h"
#include "ui/unit_slider.h"
#include "ui/zoom_layout.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QMetaMethod>
#include <QPushButton>
#include <QSlider>

using vorta::ui::makeLabel;
using vorta::ui::setRoleColour;
using vorta::ui::twipsRect;
using vorta::ui::UnitSlider;
using vorta::ui::ZoomLayout;

namespace {

// The dialog's size as designed.
constexpr QSize kDialogTwips(4680, 4725);

// The slider's positions are the settings as the file holds them.
constexpr int kSliderMin = vorta::kSmallestSetting;
constexpr int kSliderMax = vorta::kLargestSetting;

// What the positions stand for, as the story reads the settings file.
int waitingSeconds(int position)
{
    return vorta::autoPeriodMsOf(position).value_or(0) / 1000;
}

int switchPercent(int position)
{
    return vorta::switchPercentOf(position).value_or(0);
}

QString secondsInWords(int seconds)
{
    const int tens = seconds % 100;
    const int units = seconds % 10;
    const QString word = tens >= 11 && tens <= 14   ? QStringLiteral("секунд")
                         : units == 1               ? QStringLiteral("секунда")
                         : units >= 2 && units <= 4 ? QStringLiteral("секунды")
                                                    : QStringLiteral("секунд");
    return QStringLiteral("%1 %2").arg(seconds).arg(word);
}

QString percentInWords(int percent)
{
    return QStringLiteral("%1 %").arg(percent);
}

UnitSlider *makeSlider(const QString &name, int (*amount)(int), QString (*words)(int),
                       QLabel *heading, QWidget *parent)
{
    auto *slider = new UnitSlider(amount, words, parent);
    slider->setObjectName(name);
    // Named after its heading, which the keyboard's focus passes to it.
    slider->setAccessibleName(heading->text());
    heading->setBuddy(slider);
    slider->setRange(kSliderMin, kSliderMax);
    slider->setSingleStep(1);
    slider->setPageStep(5);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setTickInterval(1);
    return slider;
}

QLabel *makeHeading(const QString &name, const QString &caption, QWidget *parent)
{
    auto *label = new QLabel(caption, parent);
    makeLabel(label, name, QRect(), Qt::AlignHCenter);
    label->setWordWrap(true);
    setRoleColour(label, QPalette::WindowText, QColor::fromRgb(0, 0, 192));
    label->setAccessibleName(caption);
    return label;
}

vorta::ui::ScaleLabel *makeScale(const QString &name, const QString &caption, QSlider *slider,
                                 QWidget *parent)
{
    auto *label = new vorta::ui::ScaleLabel(caption, slider, parent);
    makeLabel(label, name, QRect(), Qt::AlignLeft);
    setRoleColour(label, QPalette::WindowText, QColor::fromRgb(0, 0, 0));
    label->setAccessibleName(caption);
    return label;
}

QPushButton *makeButton(const QString &name, const QString &caption, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    button->setDefault(false);
    button->setAccessibleName(caption);
    return button;
}

} // namespace

SettingsDialog::SettingsDialog(const QDir &dataDir, int zoom, QWidget *parent)
    : QWidget(parent, Qt::Dialog | Qt::FramelessWindowHint), m_dataDir(dataDir)
{
    vorta::ui::installAccessibility();
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Установки"));
    ZoomLayout layout;
    layout.fixSize(this, kDialogTwips);
    layout.dialogFont(this);

    m_frame1 = new vorta::ui::EtchedFrame(QStringLiteral("Установки"), this);
    m_frame1->setObjectName(QStringLiteral("Frame1"));
    layout.place(m_frame1, QRect(120, 120, 4455, 4455));
    m_frame1->setAccessibleName(m_frame1->title());

    m_label1 = makeHeading(QStringLiteral("Label1"),
                           QStringLiteral("Период ожидания активности человека, с."), m_frame1);
    m_slider1 =
        makeSlider(QStringLiteral("Slider1"), &waitingSeconds, &secondsInWords, m_label1, m_frame1);
    m_label3 = makeScale(
        QStringLiteral("Label3"),
        QStringLiteral("    0     5     10    15    20    25    30    35    40    45    50"),
        m_slider1, m_frame1);
    m_label2 = makeHeading(QStringLiteral("Label2"),
                           QStringLiteral("Вероятность перемены жанра программой, %"), m_frame1);
    m_slider2 =
        makeSlider(QStringLiteral("Slider2"), &switchPercent, &percentInWords, m_label2, m_frame1);
    m_label4 = makeScale(
        QStringLiteral("Label4"),
        QStringLiteral("    0    10    20    30    40    50    60    70    80    90   100"),
        m_slider2, m_frame1);
    m_command1 = makeButton(QStringLiteral("Command1"), QStringLiteral("Отмена"), m_frame1);
    m_command2 = makeButton(QStringLiteral("Command2"), QStringLiteral("ОК"), m_frame1);
    layout.place(m_label1, QRect(240, 360, 3975, 615));
    layout.place(m_slider1, QRect(240, 1080, 3975, 600));
    layout.place(m_label3, QRect(240, 1680, 4095, 255));
    layout.place(m_label2, QRect(240, 2160, 3975, 615));
    layout.place(m_slider2, QRect(240, 2760, 3975, 600));
    layout.place(m_label4, QRect(240, 3360, 4095, 255));
    layout.place(m_command1, QRect(480, 3960, 1575, 375));
    layout.place(m_command2, QRect(2400, 3960, 1455, 375));
    for (QLabel *heading : {m_label1, m_label2})
        layout.monoFont(heading, 12, false);
    // As large as the window asks, or as the screen holds.
    layout.apply(
        vorta::ui::zoomOnScreen(zoom, this, twipsRect(QRect(QPoint(), kDialogTwips), 100).size()));
    connect(m_command1, &QPushButton::clicked, this, &SettingsDialog::Command1_Click);
    connect(m_command2, &QPushButton::clicked, this, &SettingsDialog::Command2_Click);

    setTabOrder(m_slider1, m_slider2);
    setTabOrder(m_slider2, m_command1);
    setTabOrder(m_command1, m_command2);
    m_slider1->setFocus();
}

void SettingsDialog::Form_Load()
{
    const auto [waitingPeriod, switchProbability] =
        vorta::readSettingsValues(vorta::folderTree(m_dataDir));
    // The program writes only 0 .. 10; anything else shows at the nearer end.
    m_slider1->setValue(qBound(kSliderMin, waitingPeriod, kSliderMax));
    m_slider2->setValue(qBound(kSliderMin, switchProbability, kSliderMax));
}

void SettingsDialog::Command1_Click()
{
    close();
}

void SettingsDialog::Command2_Click()
{
    try {
        vorta::saveSettings(vorta::folderTree(m_dataDir), m_slider1->value(), m_slider2->value());
    } catch (...) {
        const vorta::StoryError error = vorta::currentError();
        if (isSignalConnected(QMetaMethod::fromSignal(&SettingsDialog::writeFailed))) {
            Q_EMIT writeFailed(error);
        } else if (!m_message) {
            m_message = new QMessageBox(QMessageBox::Critical, windowTitle(),
                                        vorta::briefMessage(vorta::messageOf(error)),
                                        QMessageBox::Ok, this);
            m_message->setObjectName(QStringLiteral("errorMessage"));
            m_message->setTextFormat(Qt::PlainText);
            m_message->setAttribute(Qt::WA_DeleteOnClose);
            m_message->open();
        }
        return;
    }
    close();
}

void SettingsDialog::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
        Command1_Click();
    else
        QWidget::keyPressEvent(event);
}

void SettingsDialog::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (!m_closed) {
        m_closed = true;
        Q_EMIT closed();
    }
}
