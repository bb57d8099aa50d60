// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "main_window.h"

#include "engine/finale.h"
#include "engine/moves.h"
#include "engine/story_buffer.h"
#include "format/story_error.h"
#include "format/story_facts.h"
#include "format/story_file.h"
#include "ui/about_dialog.h"
#include "ui/accessibility.h"
#include "ui/announcer.h"
#include "ui/choice_label.h"
#include "ui/controls.h"
#include "ui/countdown_bar.h"
#include "ui/fixed_window.h"
#include "ui/menu_keys.h"
#include "ui/program_icon.h"
#include "ui/settings_dialog.h"
#include "ui/story_export.h"
#include "ui/story_view.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

#include <cmath>
#include <utility>

using vorta::ui::ChoiceLabel;
using vorta::ui::makeLabel;
using vorta::ui::rgbColour;
using vorta::ui::setRoleColour;
using vorta::ui::setTextIfChanged;
using vorta::ui::StoryView;
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

// What the countdown label says while the countdown is paused.
QString pausedCaption(qint32 countdownMs)
{
    return QStringLiteral("Отсчёт на паузе, осталось %1 с")
        .arg(int(std::floor(countdownMs / 1000.0)));
}

const QString kFinaleAnnouncement =
    QStringLiteral("Рассказ окончен. Новый начнёт кнопка «Начать новый рассказ».");

// Qt's own file dialog reads a name with a double quote in it as a list of quoted names, and
// would save "x \"y\".txt" as "y" in the folder shown. Such a name is refused before the dialog
// reads it, so the story goes nowhere but where the reader named. A desktop's native dialog
// takes every name as it is, and is left to do so.
class StorySaveDialog : public QFileDialog
{
public:
    using QFileDialog::QFileDialog;

    void accept() override
    {
        const auto *name = findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        if (!name || !name->text().contains(QLatin1Char('"'))) {
            QFileDialog::accept();
            return;
        }
        if (m_refusal)
            return;
        m_refusal = new QMessageBox(QMessageBox::Warning, windowTitle(),
                                    QStringLiteral("В имени файла не может быть кавычек (\"): "
                                                   "окно выбора файла читает их как список "
                                                   "файлов. Рассказ не сохранён; выберите другое "
                                                   "имя."),
                                    QMessageBox::Ok, this);
        m_refusal->setObjectName(QStringLiteral("nameRefused"));
        m_refusal->setTextFormat(Qt::PlainText);
        m_refusal->setAttribute(Qt::WA_DeleteOnClose);
        m_refusal->open();
    }

private:
    QPointer<QMessageBox> m_refusal;
};

// The reader picks the file in a dialog of its own, without holding up the story.
void askForSavePath(QWidget *parent, const QString &suggestedPath,
                    const std::function<void(const QString &)> &chosen)
{
    auto *dialog = new StorySaveDialog(parent, QStringLiteral("Сохранить рассказ"), suggestedPath,
                                       QStringLiteral("Текст (*.txt)"));
    dialog->setObjectName(QStringLiteral("saveStoryDialog"));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QFileDialog::fileSelected, parent, chosen);
    dialog->open();
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

MainWindow::MainWindow(vorta::RandomSource &random, const QDir &dataDir, QWidget *parent)
    : QMainWindow(parent), m_random(random), m_dataDir(dataDir), m_journal(dataDir),
      m_pickSavePath(&askForSavePath), m_openStoryFile([this](const QString &path) {
          // The story opens in a window of its own, the way a double-click on it would.
          if (!QProcess::startDetached(QCoreApplication::applicationFilePath(), {path}))
              showError(vorta::StoryError(vorta::ErrorKind::InternalError, path, 0,
                                          QStringLiteral("не удалось запустить программу")));
      })
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kMainWindowTitle);
    setWindowIcon(vorta::ui::programIcon());
    setAcceptDrops(true);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    vorta::ui::installAccessibility();
    buildControls();
    buildActions();

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(1000);
    connect(m_timer1, &QTimer::timeout, this, &MainWindow::Timer1_Timer);
    m_timer2 = new QTimer(this);
    m_timer2->setObjectName(QStringLiteral("Timer2"));
    m_timer2->setInterval(500);
    connect(m_timer2, &QTimer::timeout, this, &MainWindow::Timer2_Timer);

    keepLookWhenDisabled(this);
    keepLookWhenDisabled(menuBar());
    setZoom(vorta::ui::kZoomNormal);
    showState();
}

MainWindow::~MainWindow()
{
    delete m_dialog;
    delete m_message;
}

void MainWindow::buildControls()
{
    // The mnemonics open the commands with Alt; F10 reaches them too (buildActions).
    m_option = menuBar()->addAction(QStringLiteral("&Установки"));
    m_option->setObjectName(QStringLiteral("option"));
    connect(m_option, &QAction::triggered, this, &MainWindow::option_Click);
    m_about = menuBar()->addAction(QStringLiteral("&О программе"));
    m_about->setObjectName(QStringLiteral("about"));
    connect(m_about, &QAction::triggered, this, &MainWindow::about_Click);
    m_menuKeys = new vorta::ui::MenuKeys(menuBar());
    m_layout.dialogFont(menuBar());
    // The menu bar keeps the desktop's colour; the rest of the window, also where it reaches
    // beyond the controls, is the light blue.
    setRoleColour(menuBar(), QPalette::Window, menuBar()->palette().color(QPalette::Window));
    setRoleColour(this, QPalette::Window, kWindowColour);

    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    m_layout.fixSize(client, QSize(8190, 4455));
    client->setAutoFillBackground(true);
    setRoleColour(client, QPalette::Window, kWindowColour);
    setCentralWidget(client);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    m_announcer = new vorta::ui::Announcer(client);

    // The countdown label stands in a bar of its own size, which takes the focus.
    const QRect countdown(240, 120, 4935, 375);
    m_countdown = new vorta::ui::CountdownBar(client);
    m_layout.place(m_countdown, countdown);
    m_countdown->setAutoFillBackground(true);
    setRoleColour(m_countdown, QPalette::Window, kWindowColour);
    m_label11 = new QLabel(m_countdown);
    makeLabel(m_label11, QStringLiteral("Label11"), QRect(), Qt::AlignLeft);
    m_layout.place(m_label11, countdown, countdown);
    m_layout.monoFont(m_label11, 9.75, true);
    setRoleColour(m_label11, QPalette::WindowText, kBlack);

    m_label1 = new QLabel(QStringLiteral("ДЕЙСТВИЯ"), client);
    makeLabel(m_label1, QStringLiteral("Label1"), QRect(), Qt::AlignHCenter);
    m_layout.place(m_label1, QRect(5400, 120, 2655, 375));
    m_layout.monoFont(m_label1, 12, true);
    paintBox(m_label1, kWindowColour);
    m_label1->setAccessibleName(m_label1->text());

    // The rule lies inside the heading's box, so it is raised over the heading's back colour.
    m_line1 = new QWidget(client);
    m_line1->setObjectName(QStringLiteral("Line1"));
    m_layout.place(m_line1, QRect(5400, 480, 8040 - 5400, 15));
    m_line1->setAutoFillBackground(true);
    setRoleColour(m_line1, QPalette::Window, kBlack);
    m_line1->raise();

    // The white page: the margin and the rows, one row every 240 twips.
    const QRect page(90, 600, 5035 - 90, 3615);
    m_story = new StoryView(twipsRect(0, 0, 0, 240).height(), client);
    m_story->setObjectName(QStringLiteral("story"));
    m_layout.place(m_story, page);
    m_story->setAccessibleName(QStringLiteral("Рассказ"));
    connect(m_story, &StoryView::scrollRequested, this,
            [this](int rows) { scrollTo(m_vscroll1->value() + rows); });
    connect(m_story, &StoryView::caretRequested, this, &MainWindow::showCaretLine);

    m_label27 = new QLabel(m_story);
    makeLabel(m_label27, QStringLiteral("Label27"), QRect(), Qt::AlignLeft);
    m_layout.place(m_label27, QRect(90, 600, 70, 3615), page);
    paintBox(m_label27, kWhite);

    QList<QLabel *> rows;
    for (int r = 0; r < vorta::kViewportRows; ++r) {
        auto *row = new QLabel(m_story);
        makeLabel(row, QStringLiteral("Label%1").arg(12 + r), QRect(), Qt::AlignLeft);
        m_layout.place(row, QRect(160, 600 + 240 * r, 4875, 255), page);
        // The fragment files cut their lines to fit the row at the normal size; at every other
        // size the row holds as many characters.
        m_layout.monoFont(row, 9, false, vorta::kRowWidth);
        paintBox(row, kWhite);
        m_rows[std::size_t(r)] = row;
        rows.append(row);
    }
    m_story->setRows(rows);
    // The page takes the wheel and the context menu over its rows.
    for (QLabel *label : m_story->findChildren<QLabel *>())
        label->setAttribute(Qt::WA_TransparentForMouseEvents);

    m_vscroll1 = new QScrollBar(Qt::Vertical, client);
    m_vscroll1->setObjectName(QStringLiteral("VScroll1"));
    m_layout.place(m_vscroll1, QRect(5040, 600, 255, 3615));
    // One row for an arrow and one for the trough; the view follows the thumb when it is let go.
    m_vscroll1->setSingleStep(1);
    m_vscroll1->setPageStep(1);
    m_vscroll1->setTracking(false);
    m_vscroll1->setAccessibleName(QStringLiteral("Прокрутка рассказа"));
    // The wheel scrolls the same over the bar as over the rows.
    m_vscroll1->installEventFilter(this);
    connect(m_vscroll1, &QScrollBar::valueChanged, this, &MainWindow::VScroll1_Change);

    static constexpr std::array<void (MainWindow::*)(), vorta::kChoiceLabels> clickHandlers = {
        &MainWindow::Label2_Click, &MainWindow::Label3_Click, &MainWindow::Label4_Click,
        &MainWindow::Label5_Click, &MainWindow::Label6_Click, &MainWindow::Label7_Click,
        &MainWindow::Label8_Click, &MainWindow::Label9_Click, &MainWindow::Label10_Click};
    for (int k = 0; k < vorta::kChoiceLabels; ++k) {
        auto *choice = new ChoiceLabel(client);
        makeLabel(choice, QStringLiteral("Label%1").arg(2 + k), QRect(), Qt::AlignHCenter);
        m_layout.place(choice, QRect(5400, 600 + 360 * k, 2655, 255));
        m_layout.monoFont(choice, 12, true);
        paintBox(choice, kChoiceColour);
        // The keyboard's, not the mouse's: a click makes the move and leaves the focus where it
        // was.
        choice->setFocusPolicy(Qt::TabFocus);
        connect(choice, &ChoiceLabel::clicked, this, clickHandlers[std::size_t(k)]);
        m_choiceLabels[std::size_t(k)] = choice;
    }

    m_command1 = new vorta::ui::ColourButton(QStringLiteral("Начать новый рассказ"), client);
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_layout.place(m_command1, QRect(5400, 3960, 2655, 375));
    m_layout.monoFont(m_command1, 9.75, true);
    m_command1->setAutoDefault(false);
    setRoleColour(m_command1, QPalette::ButtonText, kBlack);
    m_command1->setAccessibleName(m_command1->text());
    connect(m_command1, &QPushButton::clicked, this, &MainWindow::Command1_Click);

    m_label28 = new QLabel(QStringLiteral("Label28"), client);
    makeLabel(m_label28, QStringLiteral("Label28"), QRect(), Qt::AlignLeft);
    m_layout.place(m_label28, QRect(5400, 4320, 135, 135));
    m_label29 = new QLabel(QStringLiteral("Label29"), client);
    makeLabel(m_label29, QStringLiteral("Label29"), QRect(), Qt::AlignLeft);
    m_layout.place(m_label29, QRect(5640, 4320, 135, 135));
    for (QLabel *holder : {m_label28, m_label29}) {
        paintBox(holder, kWhite);
        holder->setAccessibleName(holder->text());
        holder->hide();
    }

    // Tab goes from the story through the genres on offer to the new-story button, then to
    // the countdown.
    QWidget *previous = m_story;
    for (ChoiceLabel *choice : m_choiceLabels) {
        setTabOrder(previous, choice);
        previous = choice;
    }
    setTabOrder(previous, m_command1);
    setTabOrder(m_command1, m_countdown);
    m_story->setFocus();
}

void MainWindow::buildActions()
{
    m_copyStory = new QAction(QStringLiteral("Копировать рассказ"), this);
    m_copyStory->setObjectName(QStringLiteral("copyStory"));
    m_copyStory->setShortcut(QKeySequence::Copy);
    connect(m_copyStory, &QAction::triggered, this, &MainWindow::copyStory);
    m_saveStory = new QAction(QStringLiteral("Сохранить рассказ…"), this);
    m_saveStory->setObjectName(QStringLiteral("saveStory"));
    m_saveStory->setShortcut(QKeySequence::Save);
    connect(m_saveStory, &QAction::triggered, this, &MainWindow::saveStory);
    // Beside the menu bar, not in it: the shortcuts work in the whole window, the menu is the
    // page's own.
    for (QAction *action : {m_copyStory, m_saveStory}) {
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        m_story->addAction(action);
    }

    // Keys of the whole window that no menu shows.
    const auto windowKey = [this](const char *name, const QList<QKeySequence> &keys,
                                  const std::function<void()> &run) {
        auto *action = new QAction(this);
        action->setObjectName(QLatin1String(name));
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, run);
        addAction(action);
    };
    windowKey("menuKey", {QKeySequence(Qt::Key_F10)}, [this] { m_menuKeys->toggle(); });
    // The key of P, which the Russian layout gives as З.
    windowKey("pauseCountdown", {QKeySequence(Qt::Key_P), QKeySequence(QChar(u'З').unicode())},
              [this] { pauseCountdown(); });
    windowKey("zoomIn",
              {QKeySequence(QKeySequence::ZoomIn), QKeySequence(Qt::CTRL | Qt::Key_Equal)},
              [this] { zoomBy(vorta::ui::kZoomStep); });
    windowKey("zoomOut", {QKeySequence(QKeySequence::ZoomOut)},
              [this] { zoomBy(-vorta::ui::kZoomStep); });
    windowKey("zoomReset", {QKeySequence(Qt::CTRL | Qt::Key_0)},
              [this] { setZoom(vorta::ui::kZoomNormal); });
}

void MainWindow::Form_Load()
{
    // A story unpacked from its file keeps what it says of itself beside the tree; a tree of
    // its own has none, and stays as the program has always shown it.
    const QString metadataPath = m_dataDir.filePath(vorta::kStoryMetadataFile);
    if (QFileInfo::exists(metadataPath) || QFileInfo(metadataPath).isSymLink()) {
        m_metadata = vorta::readStoryMetadataFile(metadataPath, vorta::kStoryMetadataFile);
        setWindowTitle(m_metadata->title);
    }
    vorta::firstStart(m_state, m_random, m_dataDir);
    m_startNotice = m_journal.resume(m_state, QDateTime::currentDateTime());
    showState();
}

void MainWindow::enableMainWindow()
{
    setEnabled(true);
    if (isVisible())
        activateWindow();
}

void MainWindow::disableMainWindow()
{
    setEnabled(false);
}

QWidget *MainWindow::openDialog() const
{
    return m_dialog;
}

QMessageBox *MainWindow::openMessage() const
{
    return m_message;
}

void MainWindow::showError(const vorta::StoryError &error)
{
    if (m_message)
        return;
    // Without a parent: a child of this window would be disabled with it while a dialog is open.
    auto *box = new QMessageBox(QMessageBox::Critical, windowTitle(),
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

bool MainWindow::runEvent(const std::function<void()> &event)
{
    bool done = true;
    try {
        event();
    } catch (...) {
        // Whatever failed, the engine has undone the event: the story goes on.
        showError(vorta::currentError());
        done = false;
    }
    if (const std::optional<vorta::StoryError> failure = m_journal.save(m_state))
        showError(*failure);
    showState();
    return done;
}

void MainWindow::showState()
{
    const vorta::MainWindowModel &w = m_state.window;
    int key = 0;
    for (std::size_t k = 0; k < m_choiceLabels.size(); ++k) {
        const vorta::ChoiceLabel &choice = w.choiceLabels[k];
        m_choiceLabels[k]->setChoice(choice.caption, choice.visible ? ++key : 0);
        m_choiceLabels[k]->setVisible(choice.visible);
    }
    setTextIfChanged(m_label11, m_paused ? pausedCaption(m_state.countdownMs) : w.label11Caption);
    m_countdown->setVisible(w.label11Visible);
    m_label11->setVisible(w.label11Visible);
    for (std::size_t r = 0; r < m_rows.size(); ++r)
        setTextIfChanged(m_rows[r], w.rows[r]);
    {
        // The engine has already followed its own scroll bar: showing it must not call back.
        const QSignalBlocker blocker(m_vscroll1);
        // A thumb the reader holds stays where it is; letting it go moves the view there.
        const bool held = m_vscroll1->isSliderDown();
        const int heldAt = m_vscroll1->sliderPosition();
        m_vscroll1->setRange(w.scrollMin, w.scrollMax);
        m_vscroll1->setValue(w.scrollValue);
        if (held)
            m_vscroll1->setSliderPosition(heldAt);
    }
    setRoleColour(m_command1, QPalette::Button, rgbColour(w.command1BackColour));
    setRoleColour(m_label28, QPalette::Window, rgbColour(w.label28BackColour));
    setRoleColour(m_label29, QPalette::Window, rgbColour(w.label29BackColour));
    followTimer(m_timer1, w.timer1Enabled && !m_message && !m_paused);
    followTimer(m_timer2, w.timer2Enabled);

    const StoryView::Change change =
        m_story->showStory(m_state.storyLines, qMax(0, m_state.nextLine - 1), m_state.topLine);
    QStringList spoken = change.told;
    if (m_state.stepNumber >= vorta::kFinaleStep && m_shownStep < vorta::kFinaleStep)
        spoken.append(kFinaleAnnouncement);
    m_shownStep = m_state.stepNumber;
    // Only a window on the screen speaks: what the first start shows is read with the window.
    if (!spoken.isEmpty() && isVisible())
        m_announcer->announce(spoken.join(QLatin1Char('\n')));
}

void MainWindow::Command1_Click()
{
    // The old story is gone from the screen: the reader who does not see it is told.
    if (runEvent([this] { vorta::newStory(m_state, m_random, m_dataDir); }))
        m_announcer->announce(QStringLiteral("Начат новый рассказ."));
}

void MainWindow::choiceClick(int slot)
{
    const QString caption = m_state.window.choiceLabels[std::size_t(slot)].caption;
    runEvent([this, &caption] { vorta::readerMove(m_state, caption, m_random, m_dataDir); });
}

void MainWindow::Label2_Click()
{
    choiceClick(0);
}

void MainWindow::Label3_Click()
{
    choiceClick(1);
}

void MainWindow::Label4_Click()
{
    choiceClick(2);
}

void MainWindow::Label5_Click()
{
    choiceClick(3);
}

void MainWindow::Label6_Click()
{
    choiceClick(4);
}

void MainWindow::Label7_Click()
{
    choiceClick(5);
}

void MainWindow::Label8_Click()
{
    choiceClick(6);
}

void MainWindow::Label9_Click()
{
    choiceClick(7);
}

void MainWindow::Label10_Click()
{
    choiceClick(8);
}

void MainWindow::Timer1_Timer()
{
    if (m_paused)
        return;
    runEvent([this] {
        if (const auto failure = vorta::Timer1_Timer(m_state, m_random, m_dataDir))
            showError(*failure);
    });
}

void MainWindow::Timer2_Timer()
{
    runEvent([this] { vorta::Timer2_Timer(m_state); });
}

void MainWindow::VScroll1_Change(int value)
{
    runEvent([this, value] {
        vorta::runAtomically(
            m_state, [value](vorta::StoryState &next) { vorta::setScrollValue(next, value); });
    });
}

void MainWindow::option_Click()
{
    if (m_dialog || !isEnabled())
        return;
    SettingsDialog *dialog = nullptr;
    try {
        dialog = new SettingsDialog(m_dataDir, m_zoom);
        dialog->Form_Load();
    } catch (...) {
        // The dialog cannot show what the file holds: it does not open.
        delete dialog;
        showError(vorta::currentError());
        return;
    }
    connect(dialog, &SettingsDialog::closed, this, &MainWindow::enableMainWindow);
    connect(dialog, &SettingsDialog::writeFailed, this, &MainWindow::showError);
    openDialogWindow(dialog);
}

void MainWindow::about_Click()
{
    if (m_dialog || !isEnabled())
        return;
    AboutDialog *dialog = nullptr;
    try {
        // The story the program comes with is the one its own lines tell of.
        QStringList storyLines;
        if (m_metadata && m_metadata->identifier != kSampleStoryIdentifier) {
            storyLines = {m_metadata->title, m_metadata->author};
            storyLines += m_metadata->about.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        }
        dialog = new AboutDialog(m_zoom, storyLines);
    } catch (...) {
        // Out of memory for the dialog: the story goes on without it.
        showError(vorta::currentError());
        return;
    }
    connect(dialog, &AboutDialog::closed, this, &MainWindow::enableMainWindow);
    openDialogWindow(dialog);
}

void MainWindow::setSavePathPicker(SavePathPicker picker)
{
    m_pickSavePath = std::move(picker);
}

void MainWindow::setStoryFileOpener(StoryFileOpener opener)
{
    m_openStoryFile = std::move(opener);
}

namespace {

// The one story file among what is dragged, if that is all there is.
QString droppedStoryFile(const QMimeData *data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1 ||
        !data->urls().first().isLocalFile())
        return {};
    const QString path = data->urls().first().toLocalFile();
    return vorta::isStoryFilePath(path) ? path : QString();
}

} // namespace

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    if (!droppedStoryFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent *event)
{
    const QString path = droppedStoryFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    m_openStoryFile(path);
}

void MainWindow::copyStory()
{
    QGuiApplication::clipboard()->setText(vorta::ui::storyText(m_state));
}

void MainWindow::saveStory()
{
    if (!isEnabled())
        return;
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    const QString suggested =
        QDir(folder).filePath(vorta::ui::storyFileName(QDateTime::currentDateTime()));
    m_pickSavePath(this, suggested, [this](const QString &path) {
        if (!path.isEmpty())
            writeStory(path);
    });
}

void MainWindow::writeStory(const QString &path)
{
    runEvent([this, &path] { vorta::ui::writeStoryFile(path, m_state); });
}

void MainWindow::scrollTo(int position)
{
    // The held thumb belongs to the reader's hand.
    if (!m_vscroll1->isSliderDown())
        m_vscroll1->setValue(position);
}

bool MainWindow::scrollKey(const QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const int now = m_vscroll1->value();
    // A page is the rows in view but one, so the line at the edge is seen again.
    const int page = vorta::kViewportRows - 1;
    // The caret moves with the view, line for line.
    int step = 0;
    int target = 0;
    int caret = 0;
    if (modifiers == Qt::NoModifier) {
        switch (event->key()) {
        case Qt::Key_Up:
            step = -1;
            break;
        case Qt::Key_Down:
            step = 1;
            break;
        case Qt::Key_PageUp:
            step = -page;
            break;
        case Qt::Key_PageDown:
            step = page;
            break;
        default:
            return false;
        }
        target = now + step;
        caret = m_story->caretLine() + step;
    } else if (modifiers == Qt::ControlModifier) {
        switch (event->key()) {
        case Qt::Key_Home:
            target = m_vscroll1->minimum();
            caret = 1;
            break;
        case Qt::Key_End:
            // The end as the story's own moves show it: the last line in the last row but one.
            target = qMax(m_vscroll1->minimum(), m_vscroll1->maximum() - page);
            caret = m_story->lineCount();
            break;
        default:
            return false;
        }
    } else {
        return false;
    }
    moveCaretAndView(caret, target);
    return true;
}

void MainWindow::moveCaretAndView(int line, int top)
{
    // The view goes where the scroll bar can go, and the caret is put in that view before the
    // view moves, so that moving it does not move the caret again.
    if (!m_vscroll1->isSliderDown())
        top = qBound(m_vscroll1->minimum(), top, m_vscroll1->maximum());
    else
        top = m_vscroll1->value();
    m_story->setCaretLine(line, top);
    scrollTo(top);
}

void MainWindow::showCaretLine(int line)
{
    // A line out of view is brought in at the nearer edge, the bottom one being the row where
    // the newest line stands.
    const int top = m_vscroll1->value();
    const int lastRow = vorta::kViewportRows - 2;
    if (line < top)
        moveCaretAndView(line, line);
    else if (line > top + lastRow)
        moveCaretAndView(line, line - lastRow);
    else
        moveCaretAndView(line, top);
}

void MainWindow::pauseCountdown()
{
    const vorta::MainWindowModel &w = m_state.window;
    // Only a countdown that runs and is shown can be paused; after the finale there is none.
    if (!isEnabled() || (!m_paused && !(w.timer1Enabled && w.label11Visible)))
        return;
    m_paused = !m_paused;
    showState();
    m_announcer->announce(m_paused ? QStringLiteral("Отсчёт на паузе.")
                                   : QStringLiteral("Отсчёт продолжается."));
}

void MainWindow::zoomBy(int step)
{
    setZoom(m_zoom + step);
}

void MainWindow::setZoom(int zoom)
{
    zoom = vorta::ui::boundedZoom(zoom);
    const bool changed = zoom != m_zoom;
    const QPoint centre = frameGeometry().center();
    m_zoom = zoom;
    m_layout.apply(m_zoom);
    m_story->setRowPitch(twipsRect(0, 0, 0, 240, m_zoom).height());
    layout()->activate();
    if (isVisible()) {
        // The window grows about its middle, as far as its screen lets it.
        QRect frame = frameGeometry();
        frame.moveCenter(centre);
        if (const QScreen *shown = screen()) {
            const QRect room = shown->availableGeometry();
            frame.moveRight(qMin(frame.right(), room.right()));
            frame.moveBottom(qMin(frame.bottom(), room.bottom()));
            frame.moveLeft(qMax(frame.left(), room.left()));
            frame.moveTop(qMax(frame.top(), room.top()));
        }
        move(frame.topLeft());
    }
    if (changed)
        Q_EMIT zoomChanged(m_zoom);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_vscroll1 && event->type() == QEvent::Wheel) {
        QCoreApplication::sendEvent(m_story, event);
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::openDialogWindow(QWidget *dialog)
{
    disableMainWindow();
    m_dialog = dialog;
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    vorta::ui::centreOnScreen(dialog);
    dialog->show();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (isEnabled())
        event->accept();
    else
        event->ignore();
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    // Before the window is mapped, so the window manager reads it with the rest.
    vorta::ui::offerNoResize(this);
    // Once the window is there to come back to.
    if (m_startNotice)
        QTimer::singleShot(0, this, [this] {
            if (const std::optional<vorta::StoryError> notice = std::exchange(m_startNotice, {}))
                showError(*notice);
        });
}

void MainWindow::keyPressEvent(QKeyEvent *event)
{
    if (scrollKey(event)) {
        event->accept();
        return;
    }
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
