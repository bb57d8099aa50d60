// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The floor of the program's start: Qt Widgets showing an empty window of the main window's
// size, with a menu bar of two commands, ending once it is painted.
#include "start_probe.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QuitOnFirstPaint quit;
    QMainWindow window;
    window.menuBar()->addAction(QStringLiteral("Установки"));
    window.menuBar()->addAction(QStringLiteral("О программе"));
    auto *client = new QWidget(&window);
    client->setFixedSize(546, 297);
    window.setCentralWidget(client);
    window.show();
    return execAndReportPeakMemory();
}
