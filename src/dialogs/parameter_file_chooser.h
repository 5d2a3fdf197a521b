// The open-file dialog of Run > Linking and Load Linking Ini: "Initial Files (*.ini)", default
// extension "ini", owned by the main window. Returns the chosen absolute path, or an empty
// text when the user cancels.
#pragma once

#include <QString>

class QWidget;

QString chooseParameterFile(QWidget* owner, const QString& title);
