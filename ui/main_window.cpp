#include "main_window.h"

#include "about_dialog.h"
#include "controls.h"
#include "finale.h"
#include "moves.h"
#include "settings_dialog.h"
#include "story_buffer.h"
#include "story_error.h"

#include <QAction>
#include <QCloseEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTimer>

using vorta::ui::ClickLabel;
using vorta::ui::makeLabel;
using vorta::ui::monoFont;
using vorta::ui::rgbColour;
using vorta::ui::setRoleColour;
using vorta::ui::twipsRect;

namespace {

const QColor kWindowColour = QColor::fromRgb(192, 192, 255);
const QColor kWhite = QColor::fromRgb(255, 255, 255);
const QColor kBlack = QColor::fromRgb(0, 0, 0);
// The desktop's colour for the text of an inactive title bar, as the classic desktop had it.
const QColor kChoiceColour = QColor::fromRgb(212, 208, 200);

// A disabled window must look exactly like an enabled one: the disabled colours are the
// active ones.
void keepLookWhenDisabled(QWidget *widget)
{
    QPalette palette = widget->palette();
    for (int role = 0; role < QPalette::NColorRoles; ++role) {
        const auto r = QPalette::ColorRole(role);
        palette.setColor(QPalette::Disabled, r, palette.color(QPalette::Active, r));
    }
    widget->setPalette(palette);
}

void paintBox(QLabel *label, const QColor &back)
{
    label->setAutoFillBackground(true);
    setRoleColour(label, QPalette::Window, back);
    setRoleColour(label, QPalette::WindowText, kBlack);
}

void setCaption(QLabel *label, const QString &caption)
{
    if (label->text() != caption)
        label->setText(caption);
    label->setAccessibleName(caption);
}

// Starting a timer that already runs would restart its rhythm.
void followTimer(QTimer *timer, bool enabled)
{
    if (enabled && !timer->isActive())
        timer->start();
    else if (!enabled && timer->isActive())
        timer->stop();
}

} // namespace

Form1::Form1(vorta::RandomSource &random, const QDir &dataDir, QWidget *parent)
    : QMainWindow(parent), m_random(random), m_dataDir(dataDir)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kMainWindowTitle);
    setWindowIcon(QIcon(QStringLiteral(":/vorta/vorta_icon.xpm")));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    buildControls();

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(1000);
    connect(m_timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
    m_timer2 = new QTimer(this);
    m_timer2->setObjectName(QStringLiteral("Timer2"));
    m_timer2->setInterval(500);
    connect(m_timer2, &QTimer::timeout, this, &Form1::Timer2_Timer);

    keepLookWhenDisabled(this);
    keepLookWhenDisabled(menuBar());
    showState();
}

Form1::~Form1()
{
    delete m_dialog;
    delete m_message;
}

void Form1::buildControls()
{
    m_option = menuBar()->addAction(QStringLiteral("Установки"));
    m_option->setObjectName(QStringLiteral("option"));
    connect(m_option, &QAction::triggered, this, &Form1::option_Click);
    m_about = menuBar()->addAction(QStringLiteral("О программе"));
    m_about->setObjectName(QStringLiteral("about"));
    connect(m_about, &QAction::triggered, this, &Form1::about_Click);

    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(546, 297);
    client->setAutoFillBackground(true);
    setRoleColour(client, QPalette::Window, kWindowColour);
    setCentralWidget(client);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    m_label11 = new QLabel(client);
    makeLabel(m_label11, QStringLiteral("Label11"), twipsRect(240, 120, 4935, 375), Qt::AlignLeft);
    m_label11->setFont(monoFont(9.75, true));
    paintBox(m_label11, kWindowColour);

    m_label1 = new QLabel(QStringLiteral("ДЕЙСТВИЯ"), client);
    makeLabel(m_label1, QStringLiteral("Label1"), twipsRect(5400, 120, 2655, 375),
              Qt::AlignHCenter);
    m_label1->setFont(monoFont(12, true));
    paintBox(m_label1, kWindowColour);
    m_label1->setAccessibleName(m_label1->text());

    // The rule lies inside the heading's box, so it is raised over the heading's back colour.
    m_line1 = new QWidget(client);
    m_line1->setObjectName(QStringLiteral("Line1"));
    m_line1->setGeometry(twipsRect(5400, 480, 8040 - 5400, 15));
    m_line1->setAutoFillBackground(true);
    setRoleColour(m_line1, QPalette::Window, kBlack);
    m_line1->raise();

    m_label27 = new QLabel(client);
    makeLabel(m_label27, QStringLiteral("Label27"), twipsRect(90, 600, 70, 3615), Qt::AlignLeft);
    paintBox(m_label27, kWhite);

    for (int r = 0; r < vorta::kViewportRows; ++r) {
        auto *row = new QLabel(client);
        makeLabel(row, QStringLiteral("Label%1").arg(12 + r),
                  twipsRect(160, 600 + 240 * r, 4875, 255), Qt::AlignLeft);
        row->setFont(monoFont(9, false));
        paintBox(row, kWhite);
        m_rows[std::size_t(r)] = row;
    }

    m_vscroll1 = new QScrollBar(Qt::Vertical, client);
    m_vscroll1->setObjectName(QStringLiteral("VScroll1"));
    m_vscroll1->setGeometry(twipsRect(5040, 600, 255, 3615));
    // One row for an arrow and one for the trough; the view follows the thumb when it is let go.
    m_vscroll1->setSingleStep(1);
    m_vscroll1->setPageStep(1);
    m_vscroll1->setTracking(false);
    connect(m_vscroll1, &QScrollBar::valueChanged, this, &Form1::VScroll1_Change);

    static constexpr std::array<void (Form1::*)(), vorta::kChoiceLabels> clickHandlers = {
        &Form1::Label2_Click, &Form1::Label3_Click, &Form1::Label4_Click,
        &Form1::Label5_Click, &Form1::Label6_Click, &Form1::Label7_Click,
        &Form1::Label8_Click, &Form1::Label9_Click, &Form1::Label10_Click};
    for (int k = 0; k < vorta::kChoiceLabels; ++k) {
        auto *choice = new ClickLabel(client);
        makeLabel(choice, QStringLiteral("Label%1").arg(2 + k),
                  twipsRect(5400, 600 + 360 * k, 2655, 255), Qt::AlignHCenter);
        choice->setFont(monoFont(12, true));
        paintBox(choice, kChoiceColour);
        connect(choice, &ClickLabel::clicked, this, clickHandlers[std::size_t(k)]);
        m_choiceLabels[std::size_t(k)] = choice;
    }

    m_command1 = new vorta::ui::ColourButton(QStringLiteral("Начать новый рассказ"), client);
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command1->setGeometry(twipsRect(5400, 3960, 2655, 375));
    m_command1->setFont(monoFont(9.75, true));
    m_command1->setAutoDefault(false);
    setRoleColour(m_command1, QPalette::ButtonText, kBlack);
    m_command1->setAccessibleName(m_command1->text());
    connect(m_command1, &QPushButton::clicked, this, &Form1::Command1_Click);

    m_label28 = new QLabel(QStringLiteral("Label28"), client);
    makeLabel(m_label28, QStringLiteral("Label28"), twipsRect(5400, 4320, 135, 135), Qt::AlignLeft);
    m_label29 = new QLabel(QStringLiteral("Label29"), client);
    makeLabel(m_label29, QStringLiteral("Label29"), twipsRect(5640, 4320, 135, 135), Qt::AlignLeft);
    for (QLabel *holder : {m_label28, m_label29}) {
        paintBox(holder, kWhite);
        holder->setAccessibleName(holder->text());
        holder->hide();
    }
}

void Form1::Form_Load()
{
    vorta::firstStart(m_state, m_random, m_dataDir);
    showState();
}

void Form1::enableMainWindow()
{
    setEnabled(true);
    if (isVisible())
        activateWindow();
}

void Form1::disableMainWindow()
{
    setEnabled(false);
}

QWidget *Form1::openDialog() const
{
    return m_dialog;
}

QMessageBox *Form1::openMessage() const
{
    return m_message;
}

void Form1::showError(const vorta::StoryError &error)
{
    if (m_message)
        return;
    // Without a parent: a child of this window would be disabled with it while a dialog is open.
    auto *box = new QMessageBox(QMessageBox::Critical, kMainWindowTitle,
                                vorta::briefMessage(error.message()), QMessageBox::Ok);
    box->setObjectName(QStringLiteral("errorMessage"));
    box->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::ApplicationModal);
    connect(box, &QMessageBox::finished, this, [this] {
        m_message = nullptr;
        showState();
    });
    m_message = box;
    m_timer1->stop();
    box->show();
}

void Form1::runEvent(const std::function<void()> &event)
{
    try {
        event();
    } catch (...) {
        // Whatever failed, the engine has undone the event: the story goes on.
        showError(vorta::currentError());
    }
    showState();
}

void Form1::showState()
{
    const vorta::MainWindowModel &w = m_state.window;
    for (std::size_t k = 0; k < m_choiceLabels.size(); ++k) {
        setCaption(m_choiceLabels[k], w.choiceLabels[k].caption);
        m_choiceLabels[k]->setVisible(w.choiceLabels[k].visible);
    }
    setCaption(m_label11, w.label11Caption);
    m_label11->setVisible(w.label11Visible);
    for (std::size_t r = 0; r < m_rows.size(); ++r)
        setCaption(m_rows[r], w.rows[r]);
    {
        // The engine has already followed its own scroll bar: showing it must not call back.
        const QSignalBlocker blocker(m_vscroll1);
        m_vscroll1->setRange(w.scrollMin, w.scrollMax);
        m_vscroll1->setValue(w.scrollValue);
    }
    setRoleColour(m_command1, QPalette::Button, rgbColour(w.command1BackColour));
    setRoleColour(m_label28, QPalette::Window, rgbColour(w.label28BackColour));
    setRoleColour(m_label29, QPalette::Window, rgbColour(w.label29BackColour));
    followTimer(m_timer1, w.timer1Enabled && !m_message);
    followTimer(m_timer2, w.timer2Enabled);
}

void Form1::Command1_Click()
{
    runEvent([this] { vorta::newStory(m_state, m_random, m_dataDir); });
}

void Form1::choiceClick(int slot)
{
    const QString caption = m_state.window.choiceLabels[std::size_t(slot)].caption;
    runEvent([this, &caption] { vorta::readerMove(m_state, caption, m_random, m_dataDir); });
}

void Form1::Label2_Click()
{
    choiceClick(0);
}

void Form1::Label3_Click()
{
    choiceClick(1);
}

void Form1::Label4_Click()
{
    choiceClick(2);
}

void Form1::Label5_Click()
{
    choiceClick(3);
}

void Form1::Label6_Click()
{
    choiceClick(4);
}

void Form1::Label7_Click()
{
    choiceClick(5);
}

void Form1::Label8_Click()
{
    choiceClick(6);
}

void Form1::Label9_Click()
{
    choiceClick(7);
}

void Form1::Label10_Click()
{
    choiceClick(8);
}

void Form1::Timer1_Timer()
{
    runEvent([this] {
        if (const auto failure = vorta::Timer1_Timer(m_state, m_random, m_dataDir))
            showError(*failure);
    });
}

void Form1::Timer2_Timer()
{
    runEvent([this] { vorta::Timer2_Timer(m_state); });
}

void Form1::VScroll1_Change(int value)
{
    runEvent([this, value] {
        vorta::runAtomically(
            m_state, [value](vorta::StoryState &next) { vorta::setScrollValue(next, value); });
    });
}

void Form1::option_Click()
{
    if (m_dialog || !isEnabled())
        return;
    Form3 *dialog = nullptr;
    try {
        dialog = new Form3(m_dataDir);
        dialog->Form_Load();
    } catch (...) {
        // The dialog cannot show what the file holds: it does not open.
        delete dialog;
        showError(vorta::currentError());
        return;
    }
    connect(dialog, &Form3::closed, this, &Form1::enableMainWindow);
    connect(dialog, &Form3::writeFailed, this, &Form1::showError);
    openDialogWindow(dialog);
}

void Form1::about_Click()
{
    if (m_dialog || !isEnabled())
        return;
    auto *dialog = new Form2;
    connect(dialog, &Form2::closed, this, &Form1::enableMainWindow);
    openDialogWindow(dialog);
}

void Form1::openDialogWindow(QWidget *dialog)
{
    disableMainWindow();
    m_dialog = dialog;
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    vorta::ui::centreOnScreen(dialog);
    dialog->show();
}

void Form1::closeEvent(QCloseEvent *event)
{
    if (isEnabled())
        event->accept();
    else
        event->ignore();
}

void Form1::keyPressEvent(QKeyEvent *event)
{
    const int digit = event->key() - Qt::Key_1;
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (!plain || digit < 0 || digit >= vorta::kChoiceLabels) {
        QMainWindow::keyPressEvent(event);
        return;
    }
    event->accept();
    if (!isEnabled())
        return;
    // The n-th key picks the n-th choice label on show, top to bottom.
    int shown = 0;
    for (int k = 0; k < vorta::kChoiceLabels; ++k) {
        if (!m_state.window.choiceLabels[std::size_t(k)].visible)
            continue;
        if (shown == digit) {
            choiceClick(k);
            return;
        }
        ++shown;
    }
}
