#include "settings_dialog.h"

#include "engine/data_files.h"
#include "format/story_error.h"
#include "ui/controls.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QMetaMethod>
#include <QPushButton>
#include <QSlider>

using vorta::ui::makeLabel;
using vorta::ui::monoFont;
using vorta::ui::setRoleColour;
using vorta::ui::twipsRect;

namespace {

constexpr int kSliderMin = 0;
constexpr int kSliderMax = 10;

QSlider *makeSlider(const QString &name, const QRect &geometry, QWidget *parent)
{
    auto *slider = new QSlider(Qt::Horizontal, parent);
    slider->setObjectName(name);
    slider->setGeometry(geometry);
    slider->setRange(kSliderMin, kSliderMax);
    slider->setSingleStep(1);
    slider->setPageStep(5);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setTickInterval(1);
    return slider;
}

QLabel *makeHeading(const QString &name, const QString &caption, const QRect &geometry,
                    QWidget *parent)
{
    auto *label = new QLabel(caption, parent);
    makeLabel(label, name, geometry, Qt::AlignHCenter);
    label->setWordWrap(true);
    label->setFont(monoFont(12, false));
    setRoleColour(label, QPalette::WindowText, QColor::fromRgb(0, 0, 192));
    label->setAccessibleName(caption);
    return label;
}

vorta::ui::ScaleLabel *makeScale(const QString &name, const QString &caption, QSlider *slider,
                                 const QRect &geometry, QWidget *parent)
{
    auto *label = new vorta::ui::ScaleLabel(caption, slider, parent);
    makeLabel(label, name, geometry, Qt::AlignLeft);
    setRoleColour(label, QPalette::WindowText, QColor::fromRgb(0, 0, 0));
    label->setAccessibleName(caption);
    return label;
}

QPushButton *makeButton(const QString &name, const QString &caption, const QRect &geometry,
                        QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    button->setAutoDefault(false);
    button->setDefault(false);
    button->setAccessibleName(caption);
    return button;
}

} // namespace

Form3::Form3(const QDir &dataDir, QWidget *parent)
    : QWidget(parent, Qt::Dialog | Qt::FramelessWindowHint), m_dataDir(dataDir)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Установки"));
    setFixedSize(312, 315);

    m_frame1 = new vorta::ui::EtchedFrame(QStringLiteral("Установки"), this);
    m_frame1->setObjectName(QStringLiteral("Frame1"));
    m_frame1->setGeometry(twipsRect(120, 120, 4455, 4455));
    m_frame1->setAccessibleName(m_frame1->title());

    m_label1 = makeHeading(QStringLiteral("Label1"),
                           QStringLiteral("Период ожидания активности человека, с."),
                           twipsRect(240, 360, 3975, 615), m_frame1);
    m_slider1 = makeSlider(QStringLiteral("Slider1"), twipsRect(240, 1080, 3975, 600), m_frame1);
    m_label3 = makeScale(
        QStringLiteral("Label3"),
        QStringLiteral("    0     5     10    15    20    25    30    35    40    45    50"),
        m_slider1, twipsRect(240, 1680, 4095, 255), m_frame1);
    m_label2 = makeHeading(QStringLiteral("Label2"),
                           QStringLiteral("Вероятность перемены жанра программой, %"),
                           twipsRect(240, 2160, 3975, 615), m_frame1);
    m_slider2 = makeSlider(QStringLiteral("Slider2"), twipsRect(240, 2760, 3975, 600), m_frame1);
    m_label4 = makeScale(
        QStringLiteral("Label4"),
        QStringLiteral("    0    10    20    30    40    50    60    70    80    90   100"),
        m_slider2, twipsRect(240, 3360, 4095, 255), m_frame1);
    m_command1 = makeButton(QStringLiteral("Command1"), QStringLiteral("Отмена"),
                            twipsRect(480, 3960, 1575, 375), m_frame1);
    m_command2 = makeButton(QStringLiteral("Command2"), QStringLiteral("ОК"),
                            twipsRect(2400, 3960, 1455, 375), m_frame1);
    connect(m_command1, &QPushButton::clicked, this, &Form3::Command1_Click);
    connect(m_command2, &QPushButton::clicked, this, &Form3::Command2_Click);

    setTabOrder(m_slider1, m_slider2);
    setTabOrder(m_slider2, m_command1);
    setTabOrder(m_command1, m_command2);
    m_slider1->setFocus();
}

void Form3::Form_Load()
{
    const auto [waitingPeriod, switchProbability] = vorta::readSettingsValues(m_dataDir);
    // The program writes only 0 .. 10; anything else shows at the nearer end.
    m_slider1->setValue(qBound(kSliderMin, waitingPeriod, kSliderMax));
    m_slider2->setValue(qBound(kSliderMin, switchProbability, kSliderMax));
}

void Form3::Command1_Click()
{
    close();
}

void Form3::Command2_Click()
{
    try {
        vorta::saveSettings(m_dataDir, m_slider1->value(), m_slider2->value());
    } catch (...) {
        const vorta::StoryError error = vorta::currentError();
        if (isSignalConnected(QMetaMethod::fromSignal(&Form3::writeFailed))) {
            Q_EMIT writeFailed(error);
        } else if (!m_message) {
            m_message =
                new QMessageBox(QMessageBox::Critical, windowTitle(),
                                vorta::briefMessage(error.message()), QMessageBox::Ok, this);
            m_message->setObjectName(QStringLiteral("errorMessage"));
            m_message->setTextFormat(Qt::PlainText);
            m_message->setAttribute(Qt::WA_DeleteOnClose);
            m_message->open();
        }
        return;
    }
    close();
}

void Form3::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (!m_closed) {
        m_closed = true;
        Q_EMIT closed();
    }
}
