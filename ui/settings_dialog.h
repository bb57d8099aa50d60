// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "format/qt_text.h"

#include <QDir>
#include <QPointer>
#include <QWidget>

class QGroupBox;
class QLabel;
class QMessageBox;
class QPushButton;
class QSlider;

namespace vorta::ui {
class ScaleLabel;
class UnitSlider;
class ZoomLayout;
} // namespace vorta::ui

// The settings dialog: two sliders for the two values of the settings file. It knows the story
// only through that file. A plain window rather than a dialog class, so that Enter confirms
// nothing; Escape cancels, as «Отмена» does.
class SettingsDialog : public QWidget
{
    Q_OBJECT
public:
    // zoom: the size, in percent of the designed one, as the main window has it.
    explicit SettingsDialog(const QDir &dataDir, int zoom = 100, QWidget *parent = nullptr);

    // Places the sliders from the settings file as it stands. Throws if the file cannot be
    // read; the dialog is then not to be shown.
    void Form_Load();

public Q_SLOTS:
    // "Отмена": closes without writing.
    void Command1_Click();
    // "ОК": writes the file, then closes; a failed write leaves the dialog open.
    void Command2_Click();

Q_SIGNALS:
    // The dialog has closed, whichever way.
    void closed();
    // "ОК" could not write the file; the dialog stays open. The owner reports it, so that the
    // message is the one its countdown waits for; a dialog without one shows its own.
    void writeFailed(const vorta::StoryError &error);

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QDir m_dataDir;
    QGroupBox *m_frame1 = nullptr;
    QLabel *m_label1 = nullptr;
    QLabel *m_label2 = nullptr;
    vorta::ui::ScaleLabel *m_label3 = nullptr;
    vorta::ui::ScaleLabel *m_label4 = nullptr;
    vorta::ui::UnitSlider *m_slider1 = nullptr;
    vorta::ui::UnitSlider *m_slider2 = nullptr;
    QPushButton *m_command1 = nullptr;
    QPushButton *m_command2 = nullptr;
    QPointer<QMessageBox> m_message;
    bool m_closed = false;
};
