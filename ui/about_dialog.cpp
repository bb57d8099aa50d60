// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "about_dialog.h"

#include "ui/accessibility.h"
#include "ui/controls.h"
#include "ui/zoom_layout.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

using vorta::ui::ClickFrame;
using vorta::ui::ClickLabel;
using vorta::ui::makeLabel;
using vorta::ui::setRoleColour;

namespace {

// The dialog's size as designed, without a story's part.
constexpr QSize kDialogTwips(4680, 4080);
// Room for a few lines of a story's part, in twips, that the zoom leaves on the screen.
constexpr int kFewStoryLines = 1500;

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

AboutDialog::AboutDialog(int zoom, const std::optional<vorta::StoryMetadata> &story,
                         QWidget *parent)
    : QWidget(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    vorta::ui::installAccessibility();
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("О программе"));
    vorta::ui::ZoomLayout layout;
    layout.fixSize(this, kDialogTwips);

    m_frame1 = new ClickFrame(this);
    m_frame1->setObjectName(QStringLiteral("Frame1"));
    layout.place(m_frame1, QRect(120, 120, 4455, 3855));
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
    // A story's part needs a few of its lines on the screen beside the program's.
    const QSize normal =
        vorta::ui::twipsRect(QRect(QPoint(), kDialogTwips), 100).size() +
        QSize(0, story ? vorta::ui::twipsRect(0, 0, 0, kFewStoryLines).height() : 0);
    zoom = vorta::ui::zoomOnScreen(zoom, this, normal);
    layout.apply(zoom);
    if (story)
        addStoryPart(*story, zoom);
    m_frame1->setFocus();
}

void AboutDialog::addStoryPart(const vorta::StoryMetadata &story, int zoom)
{
    using vorta::ui::twipsRect;
    auto *part = new vorta::ui::EtchedFrame(QStringLiteral("Рассказ"), this);
    part->setObjectName(QStringLiteral("storyPart"));
    part->setFont(vorta::ui::monoFont(12, true, zoom));
    part->setAccessibleName(part->title());

    m_storyLines = new QScrollArea(part);
    m_storyLines->setObjectName(QStringLiteral("storyLines"));
    m_storyLines->setFrameShape(QFrame::NoFrame);
    m_storyLines->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_storyLines->setWidgetResizable(true);
    // The frame above stays the one control that takes the focus; the keys scroll the part.
    m_storyLines->setFocusPolicy(Qt::NoFocus);
    m_storyLines->verticalScrollBar()->setFocusPolicy(Qt::NoFocus);
    auto *lines = new QWidget;
    lines->setAutoFillBackground(false);
    auto *column = new QVBoxLayout(lines);
    column->setContentsMargins(0, 0, 0, 0);
    const QStringList texts = {story.title, QStringLiteral("Автор: ") + story.author,
                               QStringLiteral("Версия ") + story.version, story.about};
    const char *const names[] = {"storyTitle", "storyAuthor", "storyVersion", "storyAbout"};
    for (qsizetype i = 0; i < texts.size(); ++i) {
        auto *label = new ClickLabel(texts.at(i), lines);
        makeLabel(label, QLatin1String(names[i]), QRect(), Qt::AlignLeft);
        label->setWordWrap(true);
        label->setFont(vorta::ui::monoFont(12, i == 0, zoom));
        setRoleColour(label, QPalette::WindowText, QColor::fromRgb(0, 0, 0));
        label->setAccessibleName(texts.at(i));
        connect(label, &ClickLabel::clicked, this, &AboutDialog::close);
        column->addWidget(label);
    }
    column->addStretch();
    m_storyLines->setWidget(lines);
    m_storyLines->viewport()->setAutoFillBackground(false);

    // Beneath the program's frame, as wide; as tall as its lines, or as the screen has room for.
    const QRect frame = twipsRect(QRect(120, kDialogTwips.height(), 4455, 0), zoom);
    const QRect inside = twipsRect(QRect(120, 0, 4215, 0), zoom);
    const int top = part->borderTop() + QFontMetrics(part->font()).height();
    const int bottom = twipsRect(0, 0, 0, 120, zoom).height();
    const int margin = twipsRect(0, 0, 0, kDialogTwips.height() - 3975, zoom).height();
    const int linesHeight = lines->heightForWidth(inside.width());
    const QScreen *shown = screen() ? screen() : QGuiApplication::primaryScreen();
    const int room = shown
                         ? shown->availableGeometry().height() - frame.top() - top - bottom - margin
                         : linesHeight;
    const int height = qMax(qMin(linesHeight, room), QFontMetrics(part->font()).height());
    part->setGeometry(frame.left(), frame.top(), frame.width(), top + height + bottom);
    m_storyLines->setGeometry(inside.left(), top, inside.width(), height);
    setFixedHeight(part->geometry().bottom() + 1 + margin);
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
    if (event->modifiers() != Qt::NoModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    QAbstractSlider::SliderAction scroll = QAbstractSlider::SliderNoAction;
    switch (event->key()) {
    case Qt::Key_Escape:
        close();
        return;
    case Qt::Key_Up:
        scroll = QAbstractSlider::SliderSingleStepSub;
        break;
    case Qt::Key_Down:
        scroll = QAbstractSlider::SliderSingleStepAdd;
        break;
    case Qt::Key_PageUp:
        scroll = QAbstractSlider::SliderPageStepSub;
        break;
    case Qt::Key_PageDown:
        scroll = QAbstractSlider::SliderPageStepAdd;
        break;
    case Qt::Key_Home:
        scroll = QAbstractSlider::SliderToMinimum;
        break;
    case Qt::Key_End:
        scroll = QAbstractSlider::SliderToMaximum;
        break;
    default:
        break;
    }
    if (m_storyLines && scroll != QAbstractSlider::SliderNoAction)
        m_storyLines->verticalScrollBar()->triggerAction(scroll);
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
