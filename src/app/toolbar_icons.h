// Toolbar and window icons, drawn at run time (no image files to find or install).
#pragma once

#include <QIcon>

class QStyle;

// The toolbar icon of a command ID; a null icon for a command without one.
QIcon toolbarIcon(int commandId, const QStyle* style);
// The main window's icon: a small chart of two scales joined by a line.
QIcon applicationIcon();
