// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/story_state.h"
#include "core/story_tree.h"
#include "format/story_journal.h"
#include "format/story_metadata.h"
#include "ui/main_window_controls.h"
#include "ui/zoom_layout.h"

#include <QDir>
#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>

#include <functional>
#include <optional>

namespace vorta {
class RandomSource;
class StoryError;
namespace ui {
class NoticeQueue;
}
} // namespace vorta

inline const QString kMainWindowTitle = QStringLiteral("Повесть о синем фонаре");
// The program's own name: the title of what it says of itself rather than of a story.
inline const QString kProgramName = QStringLiteral("Ворта");
// The story the program comes with: its about dialog already tells of it.
inline const QString kSampleStoryIdentifier = QStringLiteral("vorta-sample");

// The main window: holds the story, turns every event into the engine's call and shows the
// result. Its controls are built in main_window_controls.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    MainWindow(vorta::RandomSource &random, const QDir &dataDir, QWidget *parent = nullptr);
    ~MainWindow() override;

    // The window's load: the first start of the story, or the saved story resumed. Runs before
    // the window is first shown; a failure here is thrown, since the program cannot start
    // without its files. The folder is read under the lock given, held while the window lives;
    // without one the window takes it.
    void Form_Load(std::optional<vorta::FolderLock> hold = std::nullopt);

    const vorta::StoryState &state() const { return m_state; }
    const QDir &dataDir() const { return m_dataDir; }

    // The input switch that the dialogs use: a disabled window takes no input but is drawn
    // exactly as before, and its timers go on.
    void enableMainWindow();
    void disableMainWindow();

    // The dialog or the message open over the window, if any.
    QWidget *openDialog() const;
    QMessageBox *openMessage() const;

    // Reports a failure of the story, under its title, or of the program itself, under the
    // program's name. Every message is shown, one at a time, and no countdown tick counts while
    // one is.
    void showError(const vorta::StoryError &error);
    void showProgramError(const vorta::StoryError &error);

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

    // The whole window, layout and fonts together, at a zoom in percent of its designed size,
    // as large as its screen's available area holds; the dialogs it opens come at the same zoom,
    // or as large as they fit.
    int zoom() const { return m_zoom; }
    void setZoom(int zoom);

    // While the countdown is paused the window's timer does not tick: no second is counted and
    // the program makes no move. The story itself goes on as the reader moves.
    bool countdownPaused() const { return m_paused; }

Q_SIGNALS:
    // The reader changed the zoom.
    void zoomChanged(int zoom);

public Q_SLOTS:
    // In the middle of a story the reader is asked first; before its first step and after its
    // finale a new story starts at once.
    void Command1_Click();
    // Starts a new story without asking.
    void startNewStory();
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
    // Pauses the countdown, or resumes it: the key P, a click on the countdown, or the story's
    // context menu.
    void pauseCountdown();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void connectControls();
    void buildActions();
    void choiceClick(int slot);
    // Runs one event of the engine, reports its failure, keeps the story, then shows the state.
    // Tells whether the event succeeded.
    bool runEvent(const std::function<void()> &event);
    // Saves the story; a failure is told until the reader has seen it, then not again until a
    // save goes through.
    void keepStory();
    // The one road from the engine's state to the widgets, and to the screen reader: the lines
    // just told and the finale are announced.
    void showState();
    void openDialogWindow(QWidget *dialog);
    void askForNewStory();
    void zoomBy(int step);
    int largestZoom() const;
    void writeStory(const QString &path);

    vorta::StoryState m_state;
    vorta::RandomSource &m_random;
    QDir m_dataDir;
    vorta::DataTree m_tree;                  // the story's files in m_dataDir
    std::optional<vorta::FolderLock> m_hold; // the story's folder, held for reading
    vorta::StoryJournal m_journal;
    enum class SaveFailure
    {
        None, // the story on the disk is the one told
        Told, // a failure is on its way to the reader
        Seen, // the reader has closed the message of a failure that still stands
    };
    SaveFailure m_saveFailure = SaveFailure::None;

    vorta::ui::ZoomLayout m_layout;
    vorta::ui::MainWindowControls m_ui;
    QAction *m_pause = nullptr;
    SavePathPicker m_pickSavePath;
    StoryFileOpener m_openStoryFile;
    std::optional<vorta::StoryMetadata> m_metadata;

    int m_zoom = vorta::ui::kZoomNormal;
    // Where the window's middle stands for the reader, and where the last zoom step put it.
    QPoint m_place;
    std::optional<QPoint> m_placedAt;
    bool m_paused = false;
    // The step last shown, so that the finale is announced once, when it is reached.
    qint32 m_shownStep = 0;

    QPointer<QWidget> m_dialog;
    QPointer<QMessageBox> m_newStoryQuestion;
    vorta::ui::NoticeQueue *m_notices = nullptr;
};
