// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

namespace vorta::ui {

// The reader's own preferences for the window, kept from one start to the next in a settings
// file of their own, apart from the story's settings file, whose form is fixed.
class ReaderSettings
{
public:
    // The file in the user's configuration folder.
    static QString defaultPath();

    explicit ReaderSettings(QString path);

    const QString &path() const { return m_path; }
    // The window's zoom in percent; the normal size where the file has none or holds no zoom.
    int zoom() const;
    // Keeps the zoom. Throws a StoryError naming the file when it cannot be written.
    void setZoom(int zoom);

private:
    QString m_path;
};

} // namespace vorta::ui
