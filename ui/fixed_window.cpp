// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "fixed_window.h"

#include <QGuiApplication>
#include <QWidget>

#ifdef VORTA_HAVE_XCB
#include <xcb/xcb.h>

#include <cstdlib>
#endif

namespace vorta::ui {

void offerNoResize(QWidget *window)
{
#ifdef VORTA_HAVE_XCB
    // Other platforms may answer for X11 too (the offscreen one does), without a connection.
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (QGuiApplication::platformName() != QLatin1String("xcb") || !x11 || !x11->connection() ||
        !window->windowHandle())
        return;
    xcb_connection_t *connection = x11->connection();
    static const char name[] = "_MOTIF_WM_HINTS";
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, sizeof name - 1, name), nullptr);
    if (!reply)
        return;
    const xcb_atom_t atom = reply->atom;
    std::free(reply);
    // The fields: which of the next two count, the functions offered (move, close), the
    // decorations (border, title, window menu), the input mode and the status.
    const quint32 hints[5] = {1 | 2, 4 | 32, 2 | 8 | 16, 0, 0};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, xcb_window_t(window->winId()), atom,
                        atom, 32, 5, hints);
    xcb_flush(connection);
#else
    Q_UNUSED(window);
#endif
}

} // namespace vorta::ui
