// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <functional>

class QMessageBox;

namespace vorta::ui {

// Asks, under `title`, whether to start a new story in the middle of one, which would be lost:
// «Начать новый» (Return) or «Продолжить этот» (Escape). The question is shown at once, modal
// to the program and without a parent, since a dialog may have disabled the window; `answered`
// is told the reader's choice when it closes.
QMessageBox *askForNewStory(const QString &title,
                            const std::function<void(bool startNew)> &answered);

} // namespace vorta::ui
