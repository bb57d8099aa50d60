// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "about_dialog.h"

#include "ui/accessibility.h"
#include "ui/controls.h"
#include "ui/zoom_layout.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>

using vorta::ui::ClickFrame;
using vorta::ui::ClickLabel;
using vorta::ui::makeLabel;
using vorta::ui::setRoleColour;

namespace {

struct AboutLine
{
    const char *name;
    int top;
    int height;
    const char16_t *caption;
    qreal points;
    bool bold;
    Qt::Alignment align;
    void (AboutDialog::*handler)();
};

} // namespace

AboutDialog::AboutDialog(int zoom, const QStringList &storyLines, QWidget *parent)
    : QWidget(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    // Each line of the story two rows high, beneath the program's own; a story cannot grow the
    // dialog past a few of them.
    constexpr qsizetype kMostStoryLines = 8;
    constexpr int kStoryLineStep = 720;
    const QStringList extra = storyLines.mid(0, kMostStoryLines);
    const int grown = int(extra.size()) * kStoryLineStep;
    vorta::ui::installAccessibility();
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("О программе"));
    vorta::ui::ZoomLayout layout;
    layout.fixSize(this, QSize(4680, 4080 + grown));

    m_frame1 = new ClickFrame(this);
    m_frame1->setObjectName(QStringLiteral("Frame1"));
    layout.place(m_frame1, QRect(120, 120, 4455, 3855 + grown));
    // A click anywhere closes the dialog; for the keyboard the frame is the button that does.
    m_frame1->setFocusPolicy(Qt::StrongFocus);
    m_frame1->setAccessibleName(QStringLiteral("Закрыть"));
    connect(m_frame1, &ClickFrame::clicked, this, &AboutDialog::Frame1_Click);

    static const AboutLine lines[] = {
        {"Label4", 240, 375, u"СВЕДЕНИЯ О ПРОГРАММЕ", 12, true, Qt::AlignHCenter,
         &AboutDialog::Label4_Click},
        {"Label1", 720, 615, u"Представитель интерактивной литературы", 12, false, Qt::AlignLeft,
         &AboutDialog::Label1_Click},
        {"Label2", 1440, 615, u"Объект интерактивности - литературный жанр", 12, false,
         Qt::AlignLeft, &AboutDialog::Label2_Click},
        {"Label3", 2160, 615, u"Сделано в начале июля 2008г. Квирлевым Т.", 12, false,
         Qt::AlignLeft, &AboutDialog::Label3_Click},
        {"Label5", 2880, 855, u"УРА!", 36, true, Qt::AlignHCenter, &AboutDialog::Label5_Click},
    };
    for (const AboutLine &line : lines) {
        const QString caption = QString::fromUtf16(line.caption);
        auto *label = new ClickLabel(caption, m_frame1);
        makeLabel(label, QLatin1String(line.name), QRect(), line.align);
        layout.place(label, QRect(120, line.top, 4215, line.height));
        label->setWordWrap(true);
        layout.monoFont(label, line.points, line.bold);
        setRoleColour(label, QPalette::WindowText, QColor::fromRgb(0, 0, 0));
        label->setAccessibleName(caption);
        connect(label, &ClickLabel::clicked, this, line.handler);
    }
    for (qsizetype i = 0; i < extra.size(); ++i) {
        auto *label = new ClickLabel(extra.at(i), m_frame1);
        makeLabel(label, QStringLiteral("Story%1").arg(i + 1), QRect(), Qt::AlignLeft);
        label->setTextFormat(Qt::PlainText);
        layout.place(label, QRect(120, 3855 + int(i) * kStoryLineStep, 4215, 615));
        label->setWordWrap(true);
        layout.monoFont(label, 12, i == 0);
        setRoleColour(label, QPalette::WindowText, QColor::fromRgb(0, 0, 0));
        label->setAccessibleName(extra.at(i));
        connect(label, &ClickLabel::clicked, this, &AboutDialog::close);
    }
    layout.apply(zoom);
    m_frame1->setFocus();
}

void AboutDialog::Frame1_Click()
{
    close();
}

void AboutDialog::Label1_Click()
{
    close();
}

void AboutDialog::Label2_Click()
{
    close();
}

void AboutDialog::Label3_Click()
{
    close();
}

void AboutDialog::Label4_Click()
{
    close();
}

void AboutDialog::Label5_Click()
{
    close();
}

void AboutDialog::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (!m_closed) {
        m_closed = true;
        Q_EMIT closed();
    }
}

void AboutDialog::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
        close();
    else
        QWidget::keyPressEvent(event);
}

void AboutDialog::mousePressEvent(QMouseEvent *event)
{
    event->setAccepted(event->button() == Qt::LeftButton);
}

void AboutDialog::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        close();
}
