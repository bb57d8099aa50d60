// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QFileDevice>
#include <QString>

// What the system or Qt says of a failed file operation, in the reader's words. The system's
// own texts are in the language of its locale, English on most machines, and Qt passes them on
// untranslated; every message of the program is in Russian.
namespace vorta {

// The cause that an errno value names.
QString systemErrorText(int errorNumber);

// The cause of a failed operation of a QFile: the system's error when it names one (errno as it
// stood right after the failure), else the kind of failure that Qt reports.
QString fileErrorText(QFileDevice::FileError error, int errorNumber);

} // namespace vorta
