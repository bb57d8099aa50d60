#pragma once

#include <QIcon>

namespace vorta::ui {

// The program's icon, the same drawing the desktop shows in its menu, at every size it ships in.
QIcon programIcon();

} // namespace vorta::ui
