// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "engine/story_journal.h"
#include "engine/story_state.h"
#include "format/story_metadata.h"
#include "ui/zoom_layout.h"

#include <QDir>
#include <QMainWindow>
#include <QPointer>

#include <array>
#include <functional>
#include <optional>

class QAction;
class QLabel;
class QMessageBox;
class QPushButton;
class QScrollBar;
class QTimer;

namespace vorta {
class RandomSource;
class StoryError;
namespace ui {
class Announcer;
class ChoiceLabel;
class CountdownBar;
class MenuKeys;
class StoryView;
} // namespace ui
} // namespace vorta

inline const QString kMainWindowTitle = QStringLiteral("Повесть о синем фонаре");
// The story the program comes with: its about dialog already tells of it.
inline const QString kSampleStoryIdentifier = QStringLiteral("vorta-sample");

// The main window: holds the story, forwards every event to the engine and shows the result.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    MainWindow(vorta::RandomSource &random, const QDir &dataDir, QWidget *parent = nullptr);
    ~MainWindow() override;

    // The window's load: the first start of the story, or the saved story resumed. Runs before
    // the window is first shown; a failure here is thrown, since the program cannot start
    // without its files.
    void Form_Load();

    const vorta::StoryState &state() const { return m_state; }
    const QDir &dataDir() const { return m_dataDir; }

    // The input switch that the dialogs use: a disabled window takes no input but is drawn
    // exactly as before, and its timers go on.
    void enableMainWindow();
    void disableMainWindow();

    // The dialog or the error message open over the window, if any.
    QWidget *openDialog() const;
    QMessageBox *openMessage() const;

    // Reports an event that failed: one message at a time, and no countdown tick while it is
    // shown.
    void showError(const vorta::StoryError &error);

    // Asks the reader where to keep the story, offering a suggested path, and calls `chosen`
    // with the path picked, if any. Tests put one in that asks nobody.
    using SavePathPicker =
        std::function<void(QWidget *parent, const QString &suggestedPath,
                           const std::function<void(const QString &path)> &chosen)>;
    void setSavePathPicker(SavePathPicker picker);

    // Opens a story file dropped on the window: by default the program starts again on it, in
    // a window of its own. Tests put one in that records the file.
    using StoryFileOpener = std::function<void(const QString &path)>;
    void setStoryFileOpener(StoryFileOpener opener);

    // What the story says of itself, when its folder keeps that beside the tree.
    const std::optional<vorta::StoryMetadata> &storyMetadata() const { return m_metadata; }

    // The whole window, layout and fonts together, at a zoom in percent of its designed size;
    // the dialogs it opens come at the same zoom.
    int zoom() const { return m_zoom; }
    void setZoom(int zoom);

    // While the countdown is paused the window's timer does not tick: no second is counted and
    // the program makes no move. The story itself goes on as the reader moves.
    bool countdownPaused() const { return m_paused; }

Q_SIGNALS:
    // The reader changed the zoom.
    void zoomChanged(int zoom);

public Q_SLOTS:
    void Command1_Click();
    void Label2_Click();
    void Label3_Click();
    void Label4_Click();
    void Label5_Click();
    void Label6_Click();
    void Label7_Click();
    void Label8_Click();
    void Label9_Click();
    void Label10_Click();
    void Timer1_Timer();
    void Timer2_Timer();
    void VScroll1_Change(int value);
    void option_Click();
    void about_Click();
    // Keeping the story: every line told so far, to the clipboard or to a file.
    void copyStory();
    void saveStory();
    // Pauses the countdown, or resumes it.
    void pauseCountdown();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void buildActions();
    void choiceClick(int slot);
    // Runs one event of the engine, reports its failure, keeps the story, then shows the state.
    // Tells whether the event succeeded.
    bool runEvent(const std::function<void()> &event);
    // The one road from the engine's state to the widgets, and to the screen reader: the lines
    // just told and the finale are announced.
    void showState();
    void openDialogWindow(QWidget *dialog);
    // Every way the reader scrolls moves the scroll bar, whose change the engine follows.
    void scrollTo(int position);
    bool scrollKey(const QKeyEvent *event);
    // Puts the caret on a story line and the view at `top`, so that the screen reader hears of
    // the caret once, on the line in view.
    void moveCaretAndView(int line, int top);
    void showCaretLine(int line);
    void zoomBy(int step);
    void writeStory(const QString &path);

    vorta::StoryState m_state;
    vorta::RandomSource &m_random;
    QDir m_dataDir;
    vorta::StoryJournal m_journal;
    // What the load has to tell the reader once the window shows.
    std::optional<vorta::StoryError> m_startNotice;

    QAction *m_option = nullptr;
    QAction *m_about = nullptr;
    QLabel *m_label1 = nullptr;
    QLabel *m_label11 = nullptr;
    vorta::ui::CountdownBar *m_countdown = nullptr;
    vorta::ui::Announcer *m_announcer = nullptr;
    QLabel *m_label27 = nullptr;
    QLabel *m_label28 = nullptr;
    QLabel *m_label29 = nullptr;
    QWidget *m_line1 = nullptr;
    std::array<vorta::ui::ChoiceLabel *, vorta::kChoiceLabels> m_choiceLabels{};
    vorta::ui::StoryView *m_story = nullptr;
    std::array<QLabel *, vorta::kViewportRows> m_rows{};
    QScrollBar *m_vscroll1 = nullptr;
    QPushButton *m_command1 = nullptr;
    QTimer *m_timer1 = nullptr;
    QTimer *m_timer2 = nullptr;
    QAction *m_copyStory = nullptr;
    QAction *m_saveStory = nullptr;
    vorta::ui::MenuKeys *m_menuKeys = nullptr;
    SavePathPicker m_pickSavePath;
    StoryFileOpener m_openStoryFile;
    std::optional<vorta::StoryMetadata> m_metadata;

    vorta::ui::ZoomLayout m_layout;
    int m_zoom = vorta::ui::kZoomNormal;
    bool m_paused = false;
    // The step last shown, so that the finale is announced once, when it is reached.
    qint32 m_shownStep = 0;

    QPointer<QWidget> m_dialog;
    QPointer<QMessageBox> m_message;
};
