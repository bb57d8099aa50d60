// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "reader_settings.h"

#include "format/qt_text.h"
#include "format/system_error.h"
#include "format/xdg_home.h"
#include "ui/zoom_layout.h"

#include <QSettings>

#include <cerrno>

namespace vorta::ui {

namespace {

const QString kZoomKey = QStringLiteral("window/zoom");

} // namespace

QString ReaderSettings::defaultPath()
{
    return xdgHome("XDG_CONFIG_HOME", QStringLiteral(".config")) +
           QStringLiteral("/vorta/reader.conf");
}

ReaderSettings::ReaderSettings(QString path) : m_path(std::move(path)) {}

int ReaderSettings::zoom() const
{
    const QSettings settings(m_path, QSettings::IniFormat);
    bool ok = false;
    const int zoom = settings.value(kZoomKey).toInt(&ok);
    return ok ? boundedZoom(zoom) : kZoomNormal;
}

void ReaderSettings::setZoom(int zoom)
{
    // QSettings writes the file whole beside the old one and renames it over, and creates its
    // folder.
    QSettings settings(m_path, QSettings::IniFormat);
    settings.setValue(kZoomKey, zoom);
    // QSettings says only that the write failed; the system's error as the write left it says
    // why.
    errno = 0;
    settings.sync();
    const int cause = errno;
    if (settings.status() != QSettings::NoError)
        throw storyError(ErrorKind::FileNotWritten, m_path, 0,
                         cause != 0 ? systemErrorText(cause)
                                    : QStringLiteral("нет доступа к файлу или к его папке"));
}

} // namespace vorta::ui
