// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "main_window.h"

#include "core/finale.h"
#include "core/moves.h"
#include "core/story_buffer.h"
#include "core/story_facts.h"
#include "format/folder_tree.h"
#include "format/qt_text.h"
#include "format/story_file.h"
#include "ui/about_dialog.h"
#include "ui/accessibility.h"
#include "ui/announcer.h"
#include "ui/choice_label.h"
#include "ui/controls.h"
#include "ui/countdown_bar.h"
#include "ui/fixed_window.h"
#include "ui/menu_keys.h"
#include "ui/new_story_question.h"
#include "ui/notice_queue.h"
#include "ui/program_icon.h"
#include "ui/settings_dialog.h"
#include "ui/story_export.h"
#include "ui/story_view.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QTimer>
#include <QUrl>

#include <cmath>
#include <utility>

using vorta::ui::ChoiceLabel;
using vorta::ui::setRoleColour;
using vorta::ui::setTextIfChanged;
using vorta::ui::StoryView;
using vorta::ui::twipsRect;

namespace {

// What the countdown label says while the countdown is paused.
QString pausedCaption(qint32 countdownMs)
{
    return QStringLiteral("Отсчёт на паузе, осталось %1 с")
        .arg(int(std::floor(countdownMs / 1000.0)));
}

const QString kFinaleAnnouncement =
    QStringLiteral("Рассказ окончен. Новый начнёт кнопка «Начать новый рассказ».");

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
    : QMainWindow(parent), m_random(random), m_dataDir(dataDir), m_tree(vorta::folderTree(dataDir)),
      m_journal(dataDir), m_pickSavePath(&vorta::ui::askForSavePath),
      m_openStoryFile([this](const QString &path) {
          // The story opens in a window of its own, the way a double-click on it would.
          if (!QProcess::startDetached(QCoreApplication::applicationFilePath(), {path}))
              showProgramError(vorta::storyError(vorta::ErrorKind::InternalError, path, 0,
                                                 QStringLiteral("не удалось запустить программу")));
      })
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kMainWindowTitle);
    // The program's own icon is set once, for all its windows; a window made without it, as in
    // a test, carries the icon itself.
    if (QGuiApplication::windowIcon().isNull())
        setWindowIcon(vorta::ui::programIcon());
    setAcceptDrops(true);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    vorta::ui::installAccessibility();
    m_ui = vorta::ui::buildMainWindowControls(this, m_layout);
    m_notices = new vorta::ui::NoticeQueue(this);
    // A message closed lets the countdown go on.
    connect(m_notices, &vorta::ui::NoticeQueue::changed, this, &MainWindow::showState);
    connectControls();
    buildActions();
    setZoom(vorta::ui::kZoomNormal);
    showState();
}

MainWindow::~MainWindow()
{
    delete m_dialog;
    delete m_newStoryQuestion;
}

void MainWindow::connectControls()
{
    connect(m_ui.option, &QAction::triggered, this, &MainWindow::option_Click);
    connect(m_ui.about, &QAction::triggered, this, &MainWindow::about_Click);
    static constexpr std::array<void (MainWindow::*)(), vorta::kOfferedSlots> clickHandlers = {
        &MainWindow::Label2_Click, &MainWindow::Label3_Click, &MainWindow::Label4_Click,
        &MainWindow::Label5_Click, &MainWindow::Label6_Click, &MainWindow::Label7_Click,
        &MainWindow::Label8_Click, &MainWindow::Label9_Click, &MainWindow::Label10_Click};
    for (std::size_t k = 0; k < clickHandlers.size(); ++k)
        connect(m_ui.choiceLabels[k], &ChoiceLabel::clicked, this, clickHandlers[k]);
    connect(m_ui.command1, &QPushButton::clicked, this, &MainWindow::Command1_Click);
    connect(m_ui.vscroll1, &QScrollBar::valueChanged, this, &MainWindow::VScroll1_Change);
    connect(m_ui.timer1, &QTimer::timeout, this, &MainWindow::Timer1_Timer);
    connect(m_ui.timer2, &QTimer::timeout, this, &MainWindow::Timer2_Timer);
    connect(m_ui.countdown, &vorta::ui::CountdownBar::clicked, this, &MainWindow::pauseCountdown);
}

void MainWindow::buildActions()
{
    auto *copy = new QAction(QStringLiteral("Копировать рассказ"), this);
    copy->setObjectName(QStringLiteral("copyStory"));
    copy->setShortcut(QKeySequence::Copy);
    connect(copy, &QAction::triggered, this, &MainWindow::copyStory);
    auto *save = new QAction(QStringLiteral("Сохранить рассказ…"), this);
    save->setObjectName(QStringLiteral("saveStory"));
    save->setShortcut(QKeySequence::Save);
    connect(save, &QAction::triggered, this, &MainWindow::saveStory);
    // Beside the menu bar, not in it: the shortcuts work in the whole window, the menu is the
    // page's own.
    for (QAction *action : {copy, save}) {
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        m_ui.story->addAction(action);
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
    windowKey("menuKey", {QKeySequence(Qt::Key_F10)}, [this] { m_ui.menuKeys->toggle(); });
    // The key of P, which the Russian layout gives as З; the story's context menu offers it to
    // the mouse, as a click on the countdown does.
    m_pause = new QAction(QStringLiteral("Пауза отсчёта"), this);
    m_pause->setObjectName(QStringLiteral("pauseCountdown"));
    m_pause->setCheckable(true);
    m_pause->setShortcuts({QKeySequence(Qt::Key_P), QKeySequence(QChar(u'З').unicode())});
    m_pause->setShortcutContext(Qt::WindowShortcut);
    connect(m_pause, &QAction::triggered, this, &MainWindow::pauseCountdown);
    addAction(m_pause);
    m_ui.story->addAction(m_pause);
    windowKey("zoomIn",
              {QKeySequence(QKeySequence::ZoomIn), QKeySequence(Qt::CTRL | Qt::Key_Equal)},
              [this] { zoomBy(vorta::ui::kZoomStep); });
    windowKey("zoomOut", {QKeySequence(QKeySequence::ZoomOut)},
              [this] { zoomBy(-vorta::ui::kZoomStep); });
    windowKey("zoomReset", {QKeySequence(Qt::CTRL | Qt::Key_0)},
              [this] { setZoom(vorta::ui::kZoomNormal); });
}

void MainWindow::Form_Load(std::optional<vorta::FolderLock> hold)
{
    m_hold = hold ? std::move(hold) : vorta::FolderLock::forReading(m_dataDir.absolutePath());
    if (m_hold->heldElsewhere())
        throw vorta::storyError(vorta::ErrorKind::StoryRefused, m_dataDir.absolutePath(), 0,
                                QStringLiteral("другая программа всё ещё заменяет файлы повести"));
    // A story unpacked from its file keeps what it says of itself beside the tree; a tree of
    // its own has none, and stays as the program has always shown it.
    const QString metadataFile = vorta::toQString(vorta::kStoryMetadataFile);
    const QString metadataPath = m_dataDir.filePath(metadataFile);
    if (QFileInfo::exists(metadataPath) || QFileInfo(metadataPath).isSymLink()) {
        m_metadata = vorta::readStoryMetadataFile(metadataPath, metadataFile);
        setWindowTitle(m_metadata->title);
    }
    vorta::firstStart(m_state, m_random, m_tree);
    // What the resume has to say waits for the window to show.
    if (const std::optional<vorta::StoryError> notice =
            m_journal.resume(m_state, QDateTime::currentDateTime()))
        showError(*notice);
    keepStory();
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
    if (QMessageBox *notice = m_notices->shown())
        return notice;
    return m_newStoryQuestion;
}

void MainWindow::showError(const vorta::StoryError &error)
{
    m_notices->post(windowTitle(), vorta::messageOf(error));
}

void MainWindow::showProgramError(const vorta::StoryError &error)
{
    m_notices->post(kProgramName, vorta::messageOf(error));
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
    keepStory();
    showState();
    return done;
}

void MainWindow::keepStory()
{
    const std::optional<vorta::StoryError> failure = m_journal.save(m_state);
    if (!m_journal.lastSaveFailed()) {
        m_saveFailure = SaveFailure::None;
        return;
    }
    if (!failure || m_saveFailure != SaveFailure::None)
        return;
    m_saveFailure = SaveFailure::Told;
    m_notices->post(windowTitle(), vorta::messageOf(*failure), [this] {
        if (m_saveFailure == SaveFailure::Told)
            m_saveFailure = SaveFailure::Seen;
    });
}

void MainWindow::showState()
{
    const vorta::StoryWindow &w = m_state.window;
    int key = 0;
    for (std::size_t k = 0; k < m_ui.choiceLabels.size(); ++k) {
        const vorta::OfferedPlace &place = w.offered[k];
        m_ui.choiceLabels[k]->setChoice(vorta::toQString(place.caption), place.visible ? ++key : 0);
        m_ui.choiceLabels[k]->setVisible(place.visible);
    }
    // The finale ends the countdown, and its pause with it.
    const bool counting = w.countdownRunning && w.countdownShown;
    m_paused = m_paused && counting;
    m_pause->setEnabled(counting);
    m_pause->setChecked(m_paused);
    setTextIfChanged(m_ui.label11, m_paused ? pausedCaption(m_state.countdownMs)
                                            : vorta::toQString(w.countdownText));
    m_ui.countdown->setVisible(w.countdownShown);
    m_ui.label11->setVisible(w.countdownShown);
    for (std::size_t r = 0; r < m_ui.rows.size(); ++r)
        setTextIfChanged(m_ui.rows[r], vorta::toQString(vorta::storyLine(
                                           m_state, qint64(m_state.topLine) + qint64(r))));
    {
        // The story has already followed its own scroll bar: showing it must not call back.
        const QSignalBlocker blocker(m_ui.vscroll1);
        // A thumb the reader holds stays where it is; letting it go moves the view there.
        const bool held = m_ui.vscroll1->isSliderDown();
        const int heldAt = m_ui.vscroll1->sliderPosition();
        // The range runs from the first line to the empty entry after the last.
        m_ui.vscroll1->setRange(1, qMax(1, m_state.nextLine));
        m_ui.vscroll1->setValue(m_state.topLine);
        if (held)
            m_ui.vscroll1->setSliderPosition(heldAt);
    }
    setRoleColour(m_ui.command1, QPalette::Button,
                  w.blinkLit ? vorta::ui::kBlinkColour : vorta::ui::kButtonColour);
    followTimer(m_ui.timer1, w.countdownRunning && !openMessage() && !m_paused);
    followTimer(m_ui.timer2, w.blinking);

    const StoryView::Change change =
        m_ui.story->showStory(m_state.storyLines, qMax(0, m_state.nextLine - 1), m_state.topLine);
    QStringList spoken = change.told;
    if (m_state.stepNumber >= vorta::kFinaleStep && m_shownStep < vorta::kFinaleStep)
        spoken.append(kFinaleAnnouncement);
    m_shownStep = m_state.stepNumber;
    // Only a window on the screen speaks: what the first start shows is read with the window.
    if (!spoken.isEmpty() && isVisible())
        m_ui.announcer->announce(spoken.join(QLatin1Char('\n')));
}

void MainWindow::Command1_Click()
{
    const qint32 step = m_state.stepNumber;
    if (step > 0 && step < vorta::kFinaleStep)
        askForNewStory();
    else
        startNewStory();
}

void MainWindow::startNewStory()
{
    // The old story is gone from the screen: the reader who does not see it is told.
    if (runEvent([this] { vorta::newStory(m_state, m_random, m_tree); }))
        m_ui.announcer->announce(QStringLiteral("Начат новый рассказ."));
}

void MainWindow::askForNewStory()
{
    if (openMessage())
        return;
    m_newStoryQuestion = vorta::ui::askForNewStory(windowTitle(), [this](bool startNew) {
        m_newStoryQuestion = nullptr;
        if (startNew)
            startNewStory();
        else
            showState();
    });
    // No move of the program's own while the reader is asked.
    showState();
}

void MainWindow::choiceClick(int slot)
{
    const std::u16string caption = m_state.window.offered[std::size_t(slot)].caption;
    runEvent([this, &caption] { vorta::readerMove(m_state, caption, m_random, m_tree); });
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
    // The countdown stands while it is paused, and while a message waits for the reader.
    if (m_paused || openMessage())
        return;
    runEvent([this] {
        if (const auto failure = vorta::countdownTick(m_state, m_random, m_tree))
            showError(*failure);
    });
}

void MainWindow::Timer2_Timer()
{
    runEvent([this] { vorta::blinkTick(m_state); });
}

void MainWindow::VScroll1_Change(int value)
{
    runEvent([this, value] {
        vorta::runAtomically(
            m_state, [value](vorta::StoryState &next) { vorta::followScrollBar(next, value); });
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
        const bool ownStory = m_metadata && m_metadata->identifier != kSampleStoryIdentifier;
        dialog = new AboutDialog(m_zoom, ownStory ? m_metadata : std::nullopt);
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
    m_pickSavePath(this, vorta::ui::suggestedStoryPath(QDateTime::currentDateTime()),
                   [this](const QString &path) {
                       if (!path.isEmpty())
                           writeStory(path);
                   });
}

void MainWindow::writeStory(const QString &path)
{
    runEvent([this, &path] { vorta::ui::writeStoryFile(path, m_state); });
}

void MainWindow::pauseCountdown()
{
    const vorta::StoryWindow &w = m_state.window;
    // Only a countdown that runs and is shown can be paused; after the finale there is none.
    if (!isEnabled() || (!m_paused && !(w.countdownRunning && w.countdownShown))) {
        m_pause->setChecked(m_paused);
        return;
    }
    m_paused = !m_paused;
    showState();
    m_ui.announcer->announce(m_paused ? QStringLiteral("Отсчёт на паузе.")
                                      : QStringLiteral("Отсчёт продолжается."));
}

void MainWindow::zoomBy(int step)
{
    const int largest = largestZoom();
    if (step > 0 && m_zoom + step > largest) {
        // Nothing changes on the screen: a reader who does not see it is told why.
        m_ui.announcer->announce(largest < vorta::ui::kZoomMax
                                     ? QStringLiteral("Крупнее окно не поместится на экране.")
                                     : QStringLiteral("Крупнее окно не бывает."));
        return;
    }
    setZoom(m_zoom + step);
}

int MainWindow::largestZoom() const
{
    const auto atNormal = [this](int pixels) {
        return int(std::ceil(pixels * double(vorta::ui::kZoomNormal) / m_zoom));
    };
    // The frame does not grow with the zoom. Before the window is shown it has none to measure:
    // a title bar is allowed for.
    QSize frame = frameGeometry().size() - size();
    if (frame.height() <= 0)
        frame = QSize(0, style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this));
    return vorta::ui::zoomOnScreen(vorta::ui::kZoomMax, this,
                                   QSize(atNormal(width()), atNormal(height())), frame);
}

void MainWindow::setZoom(int zoom)
{
    zoom = vorta::ui::boundedZoom(zoom);
    if (zoom > vorta::ui::kZoomNormal)
        zoom = qMin(zoom, largestZoom());
    const bool changed = zoom != m_zoom;
    // The window keeps the reader's place across zoom steps: where it stands, unless it stands
    // where the last step had to push it to stay on the screen.
    if (isVisible() && pos() != m_placedAt)
        m_place = frameGeometry().center();
    m_zoom = zoom;
    m_layout.apply(m_zoom);
    m_ui.story->setRowPitch(twipsRect(0, 0, 0, 240, m_zoom).height());
    layout()->activate();
    if (isVisible()) {
        // The window grows about its place, as far as its screen lets it.
        QRect frame = frameGeometry();
        frame.moveCenter(m_place);
        if (const QScreen *shown = screen())
            frame = vorta::ui::keptWithin(frame, shown->availableGeometry());
        move(frame.topLeft());
        m_placedAt = frame.topLeft();
    }
    if (changed)
        Q_EMIT zoomChanged(m_zoom);
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
    // What waits to be said shows once the window is there to come back to.
    QTimer::singleShot(0, m_notices, &vorta::ui::NoticeQueue::showNext);
}

void MainWindow::keyPressEvent(QKeyEvent *event)
{
    if (m_ui.story->scrollKey(event)) {
        event->accept();
        return;
    }
    const int digit = event->key() - Qt::Key_1;
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (!plain || digit < 0 || digit >= vorta::kOfferedSlots) {
        QMainWindow::keyPressEvent(event);
        return;
    }
    event->accept();
    if (!isEnabled())
        return;
    // The n-th key picks the n-th choice label on show, top to bottom.
    int shown = 0;
    for (int k = 0; k < vorta::kOfferedSlots; ++k) {
        if (!m_state.window.offered[std::size_t(k)].visible)
            continue;
        if (shown == digit) {
            choiceClick(k);
            return;
        }
        ++shown;
    }
}
